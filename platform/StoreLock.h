#pragma once

#include "platform/FileDescriptor.h"

#include <string>

namespace lumarra {

// Holds an exclusive flock on a lock file for its lifetime, so that two
// programs reading, changing and replacing the same file take turns. The
// lock file is created with the shared mode: every user who may write the
// guarded file may take its lock.
class StoreLock {
public:
    explicit StoreLock(const std::string& nativePath);
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool Held() const { return m_fd.IsOpen(); }

private:
    FileDescriptor m_fd;
};

}
