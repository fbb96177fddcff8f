#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <limits.h>
#include <unistd.h>

namespace lumarra {

namespace {

std::string ReadExecutableLink()
{
    std::string path(PATH_MAX, '\0');
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string WithoutTrailingSlashes(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string HomeOverride()
{
    const char* home = std::getenv("LUMARRA_HOME");
    return home && *home ? WithoutTrailingSlashes(home) : std::string();
}

}

std::string GetExecutablePath()
{
    // The executable cannot change while the process runs.
    static const std::string path = ReadExecutableLink();
    return path;
}

std::string GetProgramFolder()
{
    std::string home = HomeOverride();
    return home.empty() ? FolderOf(GetExecutablePath()) : home;
}

std::string GetProgramPath()
{
    std::string executable = GetExecutablePath();
    std::string home = HomeOverride();
    if (home.empty() || executable.empty())
        return executable;
    std::string name = executable.substr(executable.rfind('/') + 1);
    return home == "/" ? "/" + name : home + "/" + name;
}

}
