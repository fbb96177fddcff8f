#include "platform/AtomicFile.h"

#include "platform/ProgramFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

// A temporary is named "<target name>.tmp" and six characters that mkostemp
// picks from letters and digits.
constexpr std::string_view kTemporaryInfix = ".tmp";
constexpr std::string_view kTemporaryPattern = "XXXXXX";
// A cleaner may remove a fresh temporary in the moment before its writer
// locks it; the writer then starts over with a new one.
constexpr int kTemporaryAttempts = 8;

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string_view NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

bool IsAlphanumeric(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether `name` is a temporary of `target`, or of any target when `target`
// is empty.
bool IsTemporaryName(std::string_view name, std::string_view target)
{
    size_t suffixLength = kTemporaryInfix.size() + kTemporaryPattern.size();
    if (name.size() <= suffixLength || (!target.empty() && name.size() != target.size() + suffixLength))
        return false;
    std::string_view suffix = name.substr(name.size() - suffixLength);
    if (!name.starts_with(target) || !suffix.starts_with(kTemporaryInfix))
        return false;
    for (char c : suffix.substr(kTemporaryInfix.size())) {
        if (!IsAlphanumeric(c))
            return false;
    }
    return true;
}

bool LockExclusive(int fd, int flags)
{
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | flags);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Removes the temporary at `path` when it is ours and no writer holds it: a
// regular file of this user whose lock is free. It stays locked while it is
// removed, so a writer that created it a moment ago and locks it next finds
// it gone and starts over.
bool RemoveIfStale(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened { };
    if (!fd.IsOpen() || ::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid())
        return false;
    if (!LockExclusive(fd.Get(), LOCK_NB))
        return false;
    // Between the open and the lock its writer may have finished and renamed
    // it into place; then the name is gone or names another file.
    struct stat named { };
    if (::lstat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
        return false;
    return ::unlink(path.c_str()) == 0;
}

size_t RemoveTemporaries(const std::string& folder, std::string_view target)
{
    size_t removed = 0;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (IsTemporaryName(entry->path().filename().native(), target) && RemoveIfStale(entry->path().native()))
            ++removed;
    }
    return removed;
}

// Creates a temporary for `nativePath` and locks it against cleaners for as
// long as `temp` is open.
FileDescriptor CreateTemporary(const std::string& nativePath, std::string& temp)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temp = nativePath;
        temp += kTemporaryInfix;
        temp += kTemporaryPattern;
        FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
        if (!fd.IsOpen())
            return fd;
        // A file system without locks still gets its write, unguarded.
        if (!LockExclusive(fd.Get(), 0))
            return fd;
        struct stat status { };
        if (::fstat(fd.Get(), &status) == 0 && status.st_nlink > 0)
            return fd;
    }
    errno = EAGAIN;
    return FileDescriptor();
}

void SyncFolder(const std::string& folder)
{
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

}

bool WriteFileAtomically(const std::string& namedPath, std::initializer_list<std::string_view> parts)
{
    if (namedPath.empty() || namedPath.back() == '/') {
        errno = EINVAL;
        return false;
    }
    // The temporary goes beside the file's real place, so the rename stays
    // within one folder.
    const std::string nativePath = MapFileForWriting(namedPath);
    std::string folder = FolderOf(nativePath);
    RemoveTemporaries(folder, NameOf(nativePath));
    std::string temp;
    FileDescriptor fd = CreateTemporary(nativePath, temp);
    if (!fd.IsOpen())
        return false;
    bool ok = ::fchmod(fd.Get(), kSharedFileMode) == 0;
    for (std::string_view part : parts)
        ok = ok && fd.WriteAll(part.data(), part.size());
    // Write errors surface at the flush; the file stays open (and locked)
    // until it has its name, so no cleaner takes it for a killed write's.
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = ok && ::rename(temp.c_str(), nativePath.c_str()) == 0;
    if (!ok) {
        int error = errno;
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    fd.Close();
    SyncFolder(folder);
    return true;
}

size_t RemoveStaleTemporaries(const std::string& nativeFolder)
{
    // Killed writes leave their temporaries where the files are written.
    return RemoveTemporaries(MapFileForReading(nativeFolder), {});
}

}
