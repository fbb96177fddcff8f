#pragma once

#include "platform/RegistryNode.h"

#include <functional>
#include <string>
#include <string_view>

namespace lumarra {

// The four predefined root keys, each kept in a file of its own name.
enum class RegistryRoot {
    None,
    HKEY_CLASSES_ROOT,
    HKEY_CURRENT_USER,
    HKEY_LOCAL_MACHINE,
    HKEY_USERS,
};

// Results of the registry platform calls, after the Win32 error codes they
// stand in for.
enum class RegistryStatus {
    Success,
    NotFound,
    AccessDenied,
    InvalidHandle,
    InvalidParameter,
    BadPath,
    MoreData,
    NoMoreItems,
    KeyDeleted,
    TooLarge,
    ReadFailed,
    WriteFailed,
};

// "HKEY_CURRENT_USER" for RegistryRoot::HKEY_CURRENT_USER; empty for None.
std::string_view RegistryRootName(RegistryRoot root);

// The store file of one root key: "<root name>.reg" in the registry folder,
// beside a "<root name>.reg.lock" file that writers lock while they read,
// change and replace the store. Readers take no lock: the store is replaced
// whole by a rename, so a reader sees either the old or the new file.
class RegistryFile {
public:
    explicit RegistryFile(RegistryRoot root);

    // LUMARRA_REGISTRY_DIR when set, else $XDG_CONFIG_HOME/lumarra, else
    // ~/.config/lumarra.
    static std::string GetFolder();
    std::string GetPath() const;

    // Reads the store into `tree`. A missing file is an empty store. A file
    // that cannot be parsed is moved aside to "<name>.damaged" (the newest few
    // such copies are kept) and reads as empty. False when the file exists
    // but cannot be read, or is no regular file.
    bool Load(RegistryNode& tree) const;

    // Under the lock: loads the store, lets `change` modify the tree and,
    // when it reports a modification and succeeds, writes the tree back
    // atomically. Two programs updating the same store never lose each
    // other's changes.
    using Change = std::function<RegistryStatus(RegistryNode& tree, bool& modified)>;
    RegistryStatus Update(const Change& change) const;

private:
    std::string GetLockPath() const;

    RegistryRoot m_root;
    std::string m_folder;
};

}
