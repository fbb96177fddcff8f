#include "platform/RegistryFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/RegistryText.h"
#include "platform/StoreLock.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarra {

namespace {

constexpr std::string_view kStoreExtension = ".reg";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDamagedSuffix = ".damaged";
// Damaged stores kept beside the store, oldest first: "<name>.damaged",
// ".damaged.2" ... ".damaged.5". Past that the oldest goes, so a damaged
// store can always be replaced.
constexpr int kKeptDamagedCopies = 5;
constexpr mode_t kFolderMode = 0700;

enum class StoreState {
    Loaded,
    Damaged,
    Unreadable,
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
    FileDescriptor fd = FileDescriptor::OpenRegular(path, O_RDONLY);
    if (!fd.IsOpen())
        return errno == ENOENT || errno == ENOTDIR ? StoreState::Loaded : StoreState::Unreadable;
    // Reading one chunk past the limit is enough to tell the file is too large.
    std::string text;
    char chunk[64 * 1024];
    while (text.size() <= kMaxRegistryFileBytes) {
        ssize_t got = fd.ReadAt(chunk, sizeof chunk, text.size());
        if (got < 0)
            return StoreState::Unreadable;
        if (got == 0)
            break;
        text.append(chunk, static_cast<size_t>(got));
    }
    return ParseRegistryText(text, rootName, tree) ? StoreState::Loaded : StoreState::Damaged;
}

std::string DamagedCopyPath(const std::string& path, int copy)
{
    std::string target = path;
    target += kDamagedSuffix;
    if (copy > 1) {
        target += '.';
        target += std::to_string(copy);
    }
    return target;
}

bool IsFree(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

// Makes room for one more damaged copy when all are taken: the oldest goes,
// the others move down one, and copies past the limit (left by versions that
// kept more) are removed.
void DropOldestDamagedCopy(const std::string& path)
{
    ::unlink(DamagedCopyPath(path, 1).c_str());
    for (int copy = 2; copy <= kKeptDamagedCopies; ++copy)
        ::rename(DamagedCopyPath(path, copy).c_str(), DamagedCopyPath(path, copy - 1).c_str());
    std::filesystem::path store(path);
    std::string prefix = DamagedCopyPath(store.filename().native(), 1) + '.';
    std::error_code error;
    std::filesystem::directory_iterator entry(store.parent_path(), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().native();
        if (!name.starts_with(prefix))
            continue;
        std::string_view digits = std::string_view(name).substr(prefix.size());
        int copy = 0;
        auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), copy);
        if (fault == std::errc() && end == digits.data() + digits.size() && copy > kKeptDamagedCopies)
            ::unlink(entry->path().c_str());
    }
}

// Renames the store to the first free of its damaged copies' names.
bool MoveAside(const std::string& path)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (int copy = 1; copy <= kKeptDamagedCopies; ++copy) {
            std::string target = DamagedCopyPath(path, copy);
            if (IsFree(target))
                return ::rename(path.c_str(), target.c_str()) == 0;
        }
        DropOldestDamagedCopy(path);
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
    , m_folder(GetFolder())
{
}

std::string RegistryFile::GetFolder()
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

std::string RegistryFile::GetPath() const
{
    return m_folder + "/" + std::string(RegistryRootName(m_root)) + std::string(kStoreExtension);
}

std::string RegistryFile::GetLockPath() const
{
    return GetPath() + std::string(kLockSuffix);
}

bool RegistryFile::Load(RegistryNode& tree) const
{
    StoreState state = ReadStore(GetPath(), RegistryRootName(m_root), tree);
    if (state != StoreState::Damaged)
        return state == StoreState::Loaded;
    // Another program may have replaced the file meanwhile: look again under
    // the lock before moving it aside.
    StoreLock lock(GetLockPath());
    if (!lock.Held())
        return true;
    state = ReadStore(GetPath(), RegistryRootName(m_root), tree);
    if (state == StoreState::Damaged)
        MoveAside(GetPath());
    return state != StoreState::Unreadable;
}

RegistryStatus RegistryFile::Update(const Change& change) const
{
    if (!CreateFolders(m_folder))
        return RegistryStatus::WriteFailed;
    StoreLock lock(GetLockPath());
    if (!lock.Held())
        return RegistryStatus::WriteFailed;
    RegistryNode tree;
    switch (ReadStore(GetPath(), RegistryRootName(m_root), tree)) {
    case StoreState::Loaded:
        break;
    case StoreState::Damaged:
        // Kept aside when it can be; either way the write below replaces it.
        MoveAside(GetPath());
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
    return WriteFileAtomically(GetPath(), { text }) ? RegistryStatus::Success : RegistryStatus::WriteFailed;
}

}
