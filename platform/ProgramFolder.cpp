#include "platform/ProgramFolder.h"

#include <cerrno>
#include <cstdlib>
#include <limits.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

// The data folder of an installed copy, relative to its executable's folder
// ("../share/lumarra"); the build sets it from its install layout.
constexpr const char* kInstalledDataDir = LUMARRA_INSTALLED_DATA_DIR;

// Below the user's data folder.
constexpr const char* kUserFolderName = "lumarra";
constexpr const char* kDefaultDataHome = "/.local/share";
// Folders made on the way to a written file; the umask narrows it.
constexpr mode_t kUserFolderMode = 0777;

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

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string HomeOverride()
{
    const char* home = std::getenv("LUMARRA_HOME");
    return home && *home ? WithoutTrailingSlashes(home) : std::string();
}

// The installed data folder beside `executableFolder`, resolved; empty when
// there is none, as in a build folder.
std::string InstalledDataFolder(const std::string& executableFolder)
{
    if (executableFolder.empty())
        return {};
    std::string candidate = Join(executableFolder, kInstalledDataDir);
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(candidate.c_str(), nullptr), &std::free);
    struct stat status { };
    if (!resolved || ::stat(resolved.get(), &status) != 0 || !S_ISDIR(status.st_mode))
        return {};
    return resolved.get();
}

std::string UserHome()
{
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return WithoutTrailingSlashes(home);
    struct passwd entry { };
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found || !found->pw_dir
        || *found->pw_dir != '/')
        return {};
    return WithoutTrailingSlashes(found->pw_dir);
}

// The part of `nativePath` below the program folder, when the program folder
// is one the user cannot write; empty otherwise.
std::string RelativeToReadOnlyFolder(const std::string& nativePath)
{
    std::string folder = GetProgramFolder();
    if (folder.empty())
        return {};
    std::string prefix = folder == "/" ? folder : folder + "/";
    if (nativePath.size() <= prefix.size() || nativePath.compare(0, prefix.size(), prefix) != 0)
        return {};
    if (::access(folder.c_str(), W_OK) == 0)
        return {};
    return nativePath.substr(prefix.size());
}

bool Exists(const std::string& nativePath)
{
    struct stat status { };
    return ::lstat(nativePath.c_str(), &status) == 0;
}

// Makes every missing folder on the way to `nativePath`; an existing one of
// another kind is left for the open to fail on.
void MakeFoldersFor(const std::string& nativePath)
{
    for (size_t slash = nativePath.find('/', 1); slash != std::string::npos; slash = nativePath.find('/', slash + 1)) {
        std::string folder = nativePath.substr(0, slash);
        if (::mkdir(folder.c_str(), kUserFolderMode) != 0 && errno != EEXIST)
            return;
    }
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
    if (!home.empty())
        return home;
    std::string executableFolder = FolderOf(GetExecutablePath());
    // Resolving it once is enough: the install does not move while it runs.
    static const std::string installed = InstalledDataFolder(executableFolder);
    return installed.empty() ? executableFolder : installed;
}

std::string GetProgramPath()
{
    std::string executable = GetExecutablePath();
    std::string folder = GetProgramFolder();
    if (folder.empty() || executable.empty() || folder == FolderOf(executable))
        return executable;
    return Join(folder, executable.substr(executable.rfind('/') + 1));
}

std::string GetUserDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // Relative values are to be ignored, as the base directory rules say.
    std::string base = dataHome && *dataHome == '/' ? WithoutTrailingSlashes(dataHome) : std::string();
    if (base.empty()) {
        std::string home = UserHome();
        if (home.empty())
            return {};
        base = home + kDefaultDataHome;
    }
    return Join(base, kUserFolderName);
}

std::string MapFileForReading(const std::string& nativePath)
{
    std::string relative = RelativeToReadOnlyFolder(nativePath);
    std::string userFolder = relative.empty() ? std::string() : GetUserDataFolder();
    if (userFolder.empty())
        return nativePath;
    std::string own = Join(userFolder, relative);
    return Exists(own) ? own : nativePath;
}

std::string MapFileForWriting(const std::string& nativePath)
{
    std::string relative = RelativeToReadOnlyFolder(nativePath);
    std::string userFolder = relative.empty() ? std::string() : GetUserDataFolder();
    if (userFolder.empty())
        return nativePath;
    std::string own = Join(userFolder, relative);
    MakeFoldersFor(own);
    return own;
}

}
