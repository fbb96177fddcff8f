#include "platform/FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <unistd.h>
#include <utility>

namespace lumarra {

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
