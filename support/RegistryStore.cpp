#include "support/RegistryStore.h"

#include "platform/Clock.h"
#include "support/FilePaths.h"

#include <cstring>
#include <string_view>
#include <strings.h>

namespace lumarra {

namespace {

// Rights for opening a key to read it, create sub-keys and change values.
constexpr uint32_t kKeyReadWrite = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;
// DeleteKeyTree copies the part of a name before its last backslash into a
// buffer of this many characters, terminator included.
constexpr size_t kKeyNameBufferSize = 256;
// Pause after each pass of DeleteKeyTree.
constexpr uint32_t kDeletePassPauseMs = 10;
constexpr const char* kWhiteSpace = " \t\r\n\v\f";

struct KnownRoot {
    std::string_view name;
    RegistryRoot root;
    // Characters before the sub-key: the name and its separator.
    size_t skip;
};

constexpr KnownRoot kKnownRoots[] = {
    { "HKEY_CLASSES_ROOT", RegistryRoot::HKEY_CLASSES_ROOT, 18 },
    { "HKEY_CURRENT_USER", RegistryRoot::HKEY_CURRENT_USER, 18 },
    { "HKEY_LOCAL_MACHINE", RegistryRoot::HKEY_LOCAL_MACHINE, 19 },
    { "HKEY_USERS", RegistryRoot::HKEY_USERS, 11 },
};

// Top-level keys DeleteKey refuses, as whole names only.
constexpr const char* kProtectedKeys[] = {
    "AppEvent",
    "Control Panel",
    "EUDC",
    "Software",
    "Hardware",
    "CLSID",
    "Network",
    "System",
    "Security",
    ".Default",
};

const char* OrEmpty(const char* text)
{
    return text ? text : "";
}

int Succeeded(RegistryStatus status)
{
    return status == RegistryStatus::Success ? 1 : 0;
}

bool IsProtectedKey(const std::string& subKey)
{
    if (subKey.empty() || subKey == "\\")
        return true;
    for (const char* name : kProtectedKeys)
        if (::strcasecmp(subKey.c_str(), name) == 0)
            return true;
    return false;
}

}

RegistryStore::RegistryStore(const std::string& path)
{
    SetPath(path);
}

// Path handling.

int RegistryStore::SetPath(const std::string& path)
{
    std::string normal = NormalizeKeyPath(path);
    RegistryRoot root;
    std::string subKey;
    if (ParsePath(normal, root, subKey)) {
        m_valid = 1;
        m_root = root;
        m_path = normal;
        m_subKey = subKey;
    } else {
        m_valid = 0;
        m_root = RegistryRoot::None;
        m_path.clear();
        m_subKey.clear();
    }
    return m_valid;
}

std::string RegistryStore::GetPath() const
{
    return m_path;
}

std::string RegistryStore::NormalizeKeyPath(const std::string& text) const
{
    size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return {};
    std::string_view trimmed(text.data() + first, text.find_last_not_of(kWhiteSpace) - first + 1);
    while (!trimmed.empty() && trimmed.front() == '\\')
        trimmed.remove_prefix(1);
    // Step through whole characters so that the trail byte of a double-byte
    // character at the end is not taken for a backslash.
    size_t end = 0;
    for (size_t pos = 0; pos < trimmed.size();) {
        size_t length = PathCharLength(trimmed, pos);
        if (length != 1 || trimmed[pos] != '\\')
            end = pos + length;
        pos += length;
    }
    return std::string(trimmed.substr(0, end));
}

int RegistryStore::ParsePath(const std::string& text, RegistryRoot& root, std::string& subKey) const
{
    root = RegistryRoot::None;
    subKey.clear();
    std::string normal = NormalizeKeyPath(text);
    if (normal.empty())
        return 0;
    // Only the start is compared: a root name followed by any character still
    // names that root.
    for (const KnownRoot& known : kKnownRoots) {
        if (normal.size() < known.name.size()
            || ::strncasecmp(normal.c_str(), known.name.data(), known.name.size()) != 0)
            continue;
        root = known.root;
        if (normal.size() > known.skip)
            subKey = normal.substr(known.skip);
        return 1;
    }
    if (m_root == RegistryRoot::None)
        return 0;
    root = m_root;
    subKey = normal;
    return 1;
}

int RegistryStore::ResolvePath(const char* relative, RegistryRoot& root, std::string& subKey) const
{
    if (!m_valid)
        return 0;
    std::string text = NormalizeKeyPath(OrEmpty(relative));
    if (text.empty()) {
        root = m_root;
        subKey = m_subKey;
        return 1;
    }
    std::string parsed;
    if (!ParsePath(text, root, parsed) || root == RegistryRoot::None)
        return 0;
    subKey = m_subKey.empty() ? parsed : m_subKey + "\\" + parsed;
    return 1;
}

int RegistryStore::IsValid() const
{
    return m_valid;
}

// Handle layer.

int RegistryStore::DeleteValue(const RegistryKey& key, const char* name)
{
    return Succeeded(key.DeleteValue(OrEmpty(name)));
}

int RegistryStore::WriteString(const RegistryKey& key, const char* name, const char* text)
{
    if (!text)
        return 0;
    // The terminating zero is part of the value.
    auto size = static_cast<uint32_t>(std::strlen(text) + 1);
    return Succeeded(key.SetValue(OrEmpty(name), REG_SZ, text, size));
}

int RegistryStore::ReadString(const RegistryKey& key, const char* name, std::string& text)
{
    uint32_t size = 0;
    if (key.QueryValue(OrEmpty(name), nullptr, nullptr, &size) != RegistryStatus::Success)
        return 0;
    std::string buffer(size, '\0');
    if (key.QueryValue(OrEmpty(name), nullptr, buffer.data(), &size) != RegistryStatus::Success)
        return 0;
    buffer.resize(size);
    text = buffer.substr(0, buffer.find('\0'));
    return 1;
}

int RegistryStore::WriteDword(const RegistryKey& key, const char* name, uint32_t value)
{
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return Succeeded(key.SetValue(OrEmpty(name), REG_DWORD, bytes, sizeof bytes));
}

int RegistryStore::ReadDword(const RegistryKey& key, const char* name, uint32_t& value)
{
    // Read into a zeroed word and hand it over only on success, so a failed
    // read never touches the caller's variable and a shorter value is
    // widened with zeros instead of mixing with what the variable held.
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    if (key.QueryValue(OrEmpty(name), nullptr, bytes, &size) != RegistryStatus::Success)
        return 0;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return 1;
}

int RegistryStore::WriteDword(const RegistryKey& key, const char* name, int32_t value)
{
    return WriteDword(key, name, static_cast<uint32_t>(value));
}

int RegistryStore::ReadDword(const RegistryKey& key, const char* name, int32_t& value)
{
    uint32_t word;
    if (!ReadDword(key, name, word))
        return 0;
    value = static_cast<int32_t>(word);
    return 1;
}

int RegistryStore::WriteWord(const RegistryKey& key, const char* name, uint16_t value)
{
    return WriteDword(key, name, static_cast<uint32_t>(value));
}

int RegistryStore::ReadWord(const RegistryKey& key, const char* name, uint16_t& value)
{
    uint32_t word;
    if (!ReadDword(key, name, word))
        return 0;
    value = static_cast<uint16_t>(word);
    return 1;
}

int RegistryStore::WriteBinary(const RegistryKey& key, const char* name, const void* data, uint32_t size)
{
    if (!data)
        return 0;
    return Succeeded(key.SetValue(OrEmpty(name), REG_BINARY, data, size));
}

int RegistryStore::ReadBinary(const RegistryKey& key, const char* name, void* data, uint32_t& size)
{
    if (!data)
        return 0;
    return Succeeded(key.QueryValue(OrEmpty(name), nullptr, data, &size));
}

int RegistryStore::QueryValueType(const RegistryKey& key, const char* name, uint32_t& type)
{
    uint32_t found;
    if (key.QueryValue(OrEmpty(name), &found, nullptr, nullptr) != RegistryStatus::Success)
        return 0;
    type = found;
    return 1;
}

int RegistryStore::CreateKey(const RegistryKey& key, const char* subKey)
{
    RegistryKey created;
    return Succeeded(key.Create(OrEmpty(subKey), KEY_ALL_ACCESS, created));
}

int RegistryStore::DeleteKeyTree(const RegistryKey& key, const char* name)
{
    std::string path = OrEmpty(name);
    for (;;) {
        RegistryKey opened;
        if (key.Open(path, kKeyReadWrite, opened) != RegistryStatus::Success)
            return DeleteValueByPath(key, path);
        std::string first;
        bool hasSubKey = opened.EnumKey(0, first) == RegistryStatus::Success;
        if (hasSubKey && !DeleteKeyTree(opened, first.c_str()))
            return 0;
        opened.Close();
        Sleep(kDeletePassPauseMs);
        if (!hasSubKey)
            return Succeeded(key.DeleteKey(path));
    }
}

// A name that opens no key may name a value: "Key\Sub\Value" or "Value".
int RegistryStore::DeleteValueByPath(const RegistryKey& key, const std::string& path)
{
    size_t slash = FindLastChar(path, '\\');
    if (slash == std::string::npos)
        return DeleteValue(key, path.c_str());
    if (slash >= kKeyNameBufferSize)
        return 0;
    RegistryKey parent;
    if (key.Open(std::string_view(path).substr(0, slash), kKeyReadWrite, parent) != RegistryStatus::Success)
        return 0;
    return DeleteValue(parent, path.c_str() + slash + 1);
}

// Sub-key layer.

template <typename Operation>
int RegistryStore::WithOpenedSubKey(const RegistryKey& key, const char* subKey, uint32_t access, Operation operation)
{
    RegistryKey opened;
    if (key.Open(OrEmpty(subKey), access, opened) != RegistryStatus::Success)
        return 0;
    return operation(opened);
}

template <typename Operation>
int RegistryStore::WithCreatedSubKey(const RegistryKey& key, const char* subKey, Operation operation)
{
    RegistryKey created;
    if (key.Create(OrEmpty(subKey), KEY_ALL_ACCESS, created) != RegistryStatus::Success)
        return 0;
    return operation(created);
}

int RegistryStore::DeleteValue(const RegistryKey& key, const char* subKey, const char* name)
{
    return WithOpenedSubKey(key, subKey, kKeyReadWrite,
        [&](const RegistryKey& opened) { return DeleteValue(opened, name); });
}

int RegistryStore::WriteString(const RegistryKey& key, const char* subKey, const char* name, const char* text)
{
    if (!text)
        return 0;
    return WithCreatedSubKey(key, subKey, [&](const RegistryKey& created) { return WriteString(created, name, text); });
}

int RegistryStore::ReadString(const RegistryKey& key, const char* subKey, const char* name, std::string& text)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return ReadString(opened, name, text); });
}

int RegistryStore::WriteDword(const RegistryKey& key, const char* subKey, const char* name, uint32_t value)
{
    return WithCreatedSubKey(key, subKey, [&](const RegistryKey& created) { return WriteDword(created, name, value); });
}

int RegistryStore::ReadDword(const RegistryKey& key, const char* subKey, const char* name, uint32_t& value)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return ReadDword(opened, name, value); });
}

int RegistryStore::WriteDword(const RegistryKey& key, const char* subKey, const char* name, int32_t value)
{
    return WithCreatedSubKey(key, subKey, [&](const RegistryKey& created) { return WriteDword(created, name, value); });
}

int RegistryStore::ReadDword(const RegistryKey& key, const char* subKey, const char* name, int32_t& value)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return ReadDword(opened, name, value); });
}

int RegistryStore::WriteWord(const RegistryKey& key, const char* subKey, const char* name, uint16_t value)
{
    return WithCreatedSubKey(key, subKey, [&](const RegistryKey& created) { return WriteWord(created, name, value); });
}

int RegistryStore::ReadWord(const RegistryKey& key, const char* subKey, const char* name, uint16_t& value)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return ReadWord(opened, name, value); });
}

int RegistryStore::WriteBinary(const RegistryKey& key, const char* subKey, const char* name, const void* data,
    uint32_t size)
{
    if (!data)
        return 0;
    return WithCreatedSubKey(key, subKey,
        [&](const RegistryKey& created) { return WriteBinary(created, name, data, size); });
}

int RegistryStore::ReadBinary(const RegistryKey& key, const char* subKey, const char* name, void* data, uint32_t& size)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return ReadBinary(opened, name, data, size); });
}

int RegistryStore::QueryValueType(const RegistryKey& key, const char* subKey, const char* name, uint32_t& type)
{
    return WithOpenedSubKey(key, subKey, KEY_READ,
        [&](const RegistryKey& opened) { return QueryValueType(opened, name, type); });
}

// Store layer: resolve the relative path, open the root, and hand over to the
// sub-key layer.

template <typename Operation>
int RegistryStore::WithStoreRoot(const char* relative, Operation operation)
{
    RegistryRoot root;
    std::string subKey;
    if (!ResolvePath(relative, root, subKey))
        return 0;
    RegistryKey rootKey;
    if (RegistryKey(root).Open("", kKeyReadWrite, rootKey) != RegistryStatus::Success)
        return 0;
    return operation(rootKey, subKey.c_str());
}

int RegistryStore::DeleteValue(const char* relative, const char* name)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return DeleteValue(root, subKey, name); });
}

int RegistryStore::WriteString(const char* relative, const char* name, const char* text)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return WriteString(root, subKey, name, text); });
}

int RegistryStore::ReadString(const char* relative, const char* name, std::string& text)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return ReadString(root, subKey, name, text); });
}

int RegistryStore::WriteDword(const char* relative, const char* name, uint32_t value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return WriteDword(root, subKey, name, value); });
}

int RegistryStore::ReadDword(const char* relative, const char* name, uint32_t& value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return ReadDword(root, subKey, name, value); });
}

int RegistryStore::WriteDword(const char* relative, const char* name, int32_t value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return WriteDword(root, subKey, name, value); });
}

int RegistryStore::ReadDword(const char* relative, const char* name, int32_t& value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return ReadDword(root, subKey, name, value); });
}

int RegistryStore::WriteWord(const char* relative, const char* name, uint16_t value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return WriteWord(root, subKey, name, value); });
}

int RegistryStore::ReadWord(const char* relative, const char* name, uint16_t& value)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return ReadWord(root, subKey, name, value); });
}

int RegistryStore::WriteBinary(const char* relative, const char* name, const void* data, uint32_t size)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return WriteBinary(root, subKey, name, data, size); });
}

int RegistryStore::ReadBinary(const char* relative, const char* name, void* data, uint32_t& size)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return ReadBinary(root, subKey, name, data, size); });
}

int RegistryStore::QueryValueType(const char* relative, const char* name, uint32_t& type)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return QueryValueType(root, subKey, name, type); });
}

int RegistryStore::CreateKey(const char* relative)
{
    return WithStoreRoot(relative,
        [&](const RegistryKey& root, const char* subKey) { return CreateKey(root, subKey); });
}

int RegistryStore::DeleteKey(const char* relative)
{
    RegistryRoot root;
    std::string subKey;
    if (!ResolvePath(relative, root, subKey) || IsProtectedKey(subKey))
        return 0;
    RegistryKey rootKey;
    if (RegistryKey(root).Open("", kKeyReadWrite, rootKey) != RegistryStatus::Success)
        return 0;
    return DeleteKeyTree(rootKey, subKey.c_str());
}

// Convenience members.

int RegistryStore::DeleteValue(const std::string& relative, const std::string& name)
{
    return DeleteValue(relative.c_str(), name.c_str());
}

int RegistryStore::WriteString(const std::string& relative, const std::string& name, const std::string& text)
{
    return WriteString(relative.c_str(), name.c_str(), text.c_str());
}

int RegistryStore::ReadString(const std::string& relative, const std::string& name, std::string& text)
{
    return ReadString(relative.c_str(), name.c_str(), text);
}

int RegistryStore::WriteDword(const std::string& relative, const std::string& name, uint32_t value)
{
    return WriteDword(relative.c_str(), name.c_str(), value);
}

int RegistryStore::ReadDword(const std::string& relative, const std::string& name, uint32_t& value)
{
    return ReadDword(relative.c_str(), name.c_str(), value);
}

int RegistryStore::WriteDword(const std::string& relative, const std::string& name, int32_t value)
{
    return WriteDword(relative.c_str(), name.c_str(), value);
}

int RegistryStore::ReadDword(const std::string& relative, const std::string& name, int32_t& value)
{
    return ReadDword(relative.c_str(), name.c_str(), value);
}

int RegistryStore::WriteWord(const std::string& relative, const std::string& name, uint16_t value)
{
    return WriteWord(relative.c_str(), name.c_str(), value);
}

int RegistryStore::ReadWord(const std::string& relative, const std::string& name, uint16_t& value)
{
    return ReadWord(relative.c_str(), name.c_str(), value);
}

int RegistryStore::QueryValueType(const std::string& relative, const std::string& name, uint32_t& type)
{
    return QueryValueType(relative.c_str(), name.c_str(), type);
}

int RegistryStore::DeleteKey(const std::string& relative)
{
    return DeleteKey(relative.c_str());
}

int RegistryStore::Open()
{
    return 1;
}

int RegistryStore::Close()
{
    return 1;
}

int RegistryStore::Flush()
{
    return 1;
}

}
