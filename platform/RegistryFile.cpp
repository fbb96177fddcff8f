#include "platform/RegistryFile.h"

#include "platform/AtomicFile.h"
#include "platform/RegistryText.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

constexpr std::string_view kStoreExtension = ".reg";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDamagedSuffix = ".damaged";
// Temporary files of WriteFileAtomically carry this after the target's name.
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr int kMaxDamagedCopies = 100;
constexpr mode_t kFolderMode = 0700;

enum class StoreState {
    Loaded,
    Damaged,
    Unreadable,
};

// Holds an exclusive flock on the lock file for its lifetime.
class StoreLock {
public:
    explicit StoreLock(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd < 0)
            return;
        int rc;
        do
            rc = ::flock(m_fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~StoreLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool Held() const { return m_fd >= 0; }

private:
    int m_fd;
};

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

bool CreateFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string prefix = folder.substr(0, slash);
        if (::mkdir(prefix.c_str(), kFolderMode) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

StoreState ReadStore(const std::string& path, std::string_view rootName, RegistryNode& tree)
{
    tree = RegistryNode(std::string(rootName));
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? StoreState::Loaded : StoreState::Unreadable;
    // Reading one chunk past the limit is enough to tell the file is too large.
    std::string text;
    char chunk[64 * 1024];
    while (text.size() <= kMaxRegistryFileBytes) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return StoreState::Unreadable;
        }
        if (got == 0)
            break;
        text.append(chunk, static_cast<size_t>(got));
    }
    ::close(fd);
    return ParseRegistryText(text, rootName, tree) ? StoreState::Loaded : StoreState::Damaged;
}

// Renames the store to the first free "<name>.damaged", ".damaged.2", ...
bool MoveAside(const std::string& path)
{
    for (int copy = 1; copy <= kMaxDamagedCopies; ++copy) {
        std::string target = path;
        target += kDamagedSuffix;
        if (copy > 1) {
            target += '.';
            target += std::to_string(copy);
        }
        struct stat info;
        if (::lstat(target.c_str(), &info) == 0 || errno != ENOENT)
            continue;
        return ::rename(path.c_str(), target.c_str()) == 0;
    }
    return false;
}

}

std::string_view RegistryRootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case RegistryRoot::HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::HKEY_USERS:
        return "HKEY_USERS";
    case RegistryRoot::None:
        break;
    }
    return {};
}

RegistryFile::RegistryFile(RegistryRoot root)
    : m_root(root)
    , m_folder(Folder())
{
}

std::string RegistryFile::Folder()
{
    const char* own = std::getenv("LUMARRA_REGISTRY_DIR");
    if (own && *own)
        return own;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    if (config && config[0] == '/')
        return std::string(config) + "/lumarra";
    return HomeFolder() + "/.config/lumarra";
}

std::string RegistryFile::Path() const
{
    return m_folder + "/" + std::string(RegistryRootName(m_root)) + std::string(kStoreExtension);
}

std::string RegistryFile::LockPath() const
{
    return Path() + std::string(kLockSuffix);
}

bool RegistryFile::Load(RegistryNode& tree) const
{
    StoreState state = ReadStore(Path(), RegistryRootName(m_root), tree);
    if (state != StoreState::Damaged)
        return state == StoreState::Loaded;
    // Another program may have replaced the file meanwhile: look again under
    // the lock before moving it aside.
    StoreLock lock(LockPath());
    if (!lock.Held())
        return true;
    state = ReadStore(Path(), RegistryRootName(m_root), tree);
    if (state == StoreState::Damaged)
        MoveAside(Path());
    return state != StoreState::Unreadable;
}

RegistryStatus RegistryFile::Update(const Change& change) const
{
    if (!CreateFolders(m_folder))
        return RegistryStatus::WriteFailed;
    StoreLock lock(LockPath());
    if (!lock.Held())
        return RegistryStatus::WriteFailed;
    RegistryNode tree;
    switch (ReadStore(Path(), RegistryRootName(m_root), tree)) {
    case StoreState::Loaded:
        break;
    case StoreState::Damaged:
        if (!MoveAside(Path()))
            return RegistryStatus::WriteFailed;
        break;
    case StoreState::Unreadable:
        return RegistryStatus::WriteFailed;
    }
    bool modified = false;
    RegistryStatus status = change(tree, modified);
    if (status != RegistryStatus::Success || !modified)
        return status;
    std::string text = PrintRegistryText(tree, RegistryRootName(m_root));
    if (text.size() > kMaxRegistryFileBytes)
        return RegistryStatus::TooLarge;
    RemoveStaleTemporaries();
    return WriteFileAtomically(Path(), { text }) ? RegistryStatus::Success : RegistryStatus::WriteFailed;
}

// A writer killed between creating its temporary file and renaming it leaves
// the temporary behind. Only lock holders create them, so under the lock any
// that exist are stale.
void RegistryFile::RemoveStaleTemporaries() const
{
    std::string prefix = std::string(RegistryRootName(m_root)) + std::string(kStoreExtension) + std::string(kTemporarySuffix);
    std::error_code error;
    std::filesystem::directory_iterator entry(m_folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (entry->path().filename().string().starts_with(prefix))
            ::unlink(entry->path().c_str());
    }
}

}
