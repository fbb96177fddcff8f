#include <cstdio>

int main()
{
    std::puts("Lumarra");
    return 0;
}
