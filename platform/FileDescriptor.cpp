#include "platform/FileDescriptor.h"

#include "platform/ProgramFolder.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumarra {

namespace {

FileDescriptor KeepIfRegular(FileDescriptor fd)
{
    struct stat status { };
    if (!fd.IsOpen() || ::fstat(fd.Get(), &status) != 0)
        return FileDescriptor();
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : ENXIO;
        return FileDescriptor();
    }
    return fd;
}

}

FileDescriptor FileDescriptor::OpenRegular(const std::string& namedPath, int flags)
{
    bool writes = (flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT);
    const std::string nativePath = writes ? MapFileForWriting(namedPath) : MapFileForReading(namedPath);
    flags |= O_NONBLOCK | O_CLOEXEC;
    if (!(flags & O_CREAT))
        return KeepIfRegular(FileDescriptor(::open(nativePath.c_str(), flags)));
    flags &= ~O_CREAT;
    for (;;) {
        FileDescriptor created(::open(nativePath.c_str(), flags | O_CREAT | O_EXCL, kSharedFileMode));
        if (created.IsOpen()) {
            // The umask may have taken bits away.
            ::fchmod(created.Get(), kSharedFileMode);
            return created;
        }
        if (errno != EEXIST)
            return FileDescriptor();
        FileDescriptor existing(::open(nativePath.c_str(), flags));
        if (existing.IsOpen() || errno != ENOENT)
            return KeepIfRegular(std::move(existing));
        // Removed between the two opens: create it after all.
    }
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDescriptor::Close()
{
    int fd = std::exchange(m_fd, -1);
    return fd >= 0 && ::close(fd) == 0;
}

ssize_t FileDescriptor::ReadAt(void* buffer, size_t count, uint64_t offset) const
{
    if (count > static_cast<size_t>(SSIZE_MAX) || offset > static_cast<uint64_t>(INT64_MAX) - count)
        return -1;
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(m_fd, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool FileDescriptor::WriteAll(const void* data, size_t count) const
{
    auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t written = ::write(m_fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

}
