#include "app/CGameApp.h"

#include <string>

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            commandLine.push_back(' ');
        commandLine.append(argv[i]);
    }
    lumarra::CGameApp app(commandLine);
    app.Run();
    return app.GetExitCode();
}
