#pragma once

#include "platform/RegistryFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// Access rights of a key handle.
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr uint32_t KEY_NOTIFY = 0x0010;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// An open key of the registry store, the stand-in for a Win32 HKEY. The handle
// holds the key's path and the rights it was opened with; every call reads the
// store afresh, and every change goes through RegistryFile::Update, so
// handles in different programs see each other's changes. A handle whose key
// has been deleted reports KeyDeleted.
//
// Sub-key paths are names separated by backslashes, stepped through in the
// system code page so a double-byte character is never split. Names compare
// without regard to letter case.
class RegistryKey {
public:
    RegistryKey() = default;
    // The predefined root key, open with every right.
    explicit RegistryKey(RegistryRoot root);
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() = default;

    bool IsOpen() const { return m_root != RegistryRoot::None; }
    RegistryRoot GetRoot() const { return m_root; }
    void Close();

    // Opens an existing key below this one (an empty path opens this key).
    RegistryStatus Open(std::string_view subKey, uint32_t access, RegistryKey& result) const;
    // Opens the key, creating it and any missing key on its path.
    RegistryStatus Create(std::string_view subKey, uint32_t access, RegistryKey& result) const;
    // Deletes a sub-key that has no sub-keys of its own.
    RegistryStatus DeleteKey(std::string_view subKey) const;
    // The name of the sub-key at `index`; NoMoreItems past the last one.
    RegistryStatus EnumKey(uint32_t index, std::string& name) const;

    // Any of `type`, `data` and `size` may be null. With `data`, `*size` is
    // the buffer size in; the value's size comes out in `*size` even when the
    // buffer is too small (MoreData), in which case `data` is left alone.
    RegistryStatus QueryValue(std::string_view name, uint32_t* type, void* data, uint32_t* size) const;
    RegistryStatus SetValue(std::string_view name, uint32_t type, const void* data, uint32_t size) const;
    RegistryStatus DeleteValue(std::string_view name) const;

private:
    RegistryKey(RegistryRoot root, std::vector<std::string> path, uint32_t access);

    template <typename Visit>
    RegistryStatus ReadKey(uint32_t right, Visit visit) const;
    template <typename Change>
    RegistryStatus ChangeKey(uint32_t right, Change change) const;

    RegistryRoot m_root = RegistryRoot::None;
    std::vector<std::string> m_path;
    uint32_t m_access = 0;
};

}
