#include "support/SystemInfo.h"

#include <cstring>
#include <sys/utsname.h>

namespace lumarra {

// Linux reports 30: above every NT-family code, so files are written usable
// by every user as on NT.
constexpr int kOsCodeLinux = 30;

int GetOsCode()
{
    utsname name {};
    if (uname(&name) != 0)
        return 0;
    return std::strcmp(name.sysname, "Linux") == 0 ? kOsCodeLinux : 0;
}

}
