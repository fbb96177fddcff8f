#include "app/ProgramVersion.h"

#include "platform/NativePath.h"
#include "platform/ProgramFolder.h"
#include "support/FileIo.h"

namespace lumarra {

ProgramVersion ProgramVersion::Read()
{
    ProgramVersion version;
    int build = 0;
    int revision = 0;
    std::string executable = GetExecutablePath();
    if (!executable.empty())
        GetFileVersion(ToInternalPath(executable), version.major, version.minor, build, revision);
    return version;
}

}
