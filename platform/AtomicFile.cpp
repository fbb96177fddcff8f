#include "platform/AtomicFile.h"

#include "platform/FileDescriptor.h"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder)
{
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

}

bool WriteFileAtomically(const std::string& nativePath, std::initializer_list<std::string_view> parts)
{
    if (nativePath.empty() || nativePath.back() == '/')
        return false;
    std::string temp = nativePath + ".tmpXXXXXX";
    FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return false;
    bool ok = ::fchmod(fd.Get(), kSharedFileMode) == 0;
    for (std::string_view part : parts)
        ok = ok && fd.WriteAll(part.data(), part.size());
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temp.c_str(), nativePath.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(nativePath));
    return true;
}

}
