#include "platform/StoreLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace lumarra {

StoreLock::StoreLock(const std::string& nativePath)
    : m_fd(FileDescriptor::OpenRegular(nativePath, O_RDWR | O_CREAT))
{
    if (!m_fd.IsOpen())
        return;
    int rc;
    do
        rc = ::flock(m_fd.Get(), LOCK_EX);
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        m_fd.Close();
}

}
