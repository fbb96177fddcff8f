#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <utility>

namespace lumarra {

// Mode of every file the program creates: usable by every user, whatever the
// umask.
inline constexpr unsigned kSharedFileMode = 0666;

// Owns a POSIX file descriptor and closes it when it leaves scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // Opens `nativePath` only when it names a regular file, and never blocks:
    // a folder, a pipe or a device in its place fails (errno EISDIR, or ENXIO
    // for the others) instead of hanging on it or reading forever. With
    // O_CREAT in `flags` a missing file is created usable by every user. A
    // file beside the program is opened where MapFileForReading, or for a
    // write MapFileForWriting, says it lies.
    static FileDescriptor OpenRegular(const std::string& nativePath, int flags);

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // Reads at `offset` until `count` bytes are in or the file ends; the
    // number read, or -1 on an error or an offset beyond what files allow.
    ssize_t ReadAt(void* buffer, size_t count, uint64_t offset) const;

    // Writes all `count` bytes at the current position.
    bool WriteAll(const void* data, size_t count) const;

    // Closes now, reporting whether the close succeeded (a late write error
    // can surface only here).
    bool Close();

private:
    int m_fd;
};

}
