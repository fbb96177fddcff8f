#include "platform/RegistryKey.h"

#include "platform/CodePage.h"

#include <cstring>
#include <exception>
#include <utility>

namespace lumarra {

namespace {

// Splits "a\b\c" into names. One trailing backslash is allowed; a leading one
// or an empty name between two is not.
RegistryStatus SplitKeyPath(std::string_view path, std::vector<std::string>& names)
{
    CodePage codePage = GetSystemCodePage();
    size_t start = 0;
    for (size_t pos = 0; pos < path.size();) {
        if (path[pos] != '\\') {
            pos += CharLength(path, pos, codePage);
            continue;
        }
        if (pos == start)
            return RegistryStatus::BadPath;
        names.emplace_back(path.substr(start, pos - start));
        start = ++pos;
    }
    if (start < path.size())
        names.emplace_back(path.substr(start));
    for (const std::string& name : names)
        if (name.size() > kMaxRegistryKeyNameBytes)
            return RegistryStatus::BadPath;
    return RegistryStatus::Success;
}

std::vector<std::string> JoinPaths(const std::vector<std::string>& head, const std::vector<std::string>& tail)
{
    std::vector<std::string> path = head;
    path.insert(path.end(), tail.begin(), tail.end());
    return path;
}

}

RegistryKey::RegistryKey(RegistryRoot root)
    : m_root(root)
    , m_access(KEY_ALL_ACCESS)
{
}

RegistryKey::RegistryKey(RegistryRoot root, std::vector<std::string> path, uint32_t access)
    : m_root(root)
    , m_path(std::move(path))
    , m_access(access)
{
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : m_root(std::exchange(other.m_root, RegistryRoot::None))
    , m_path(std::move(other.m_path))
    , m_access(std::exchange(other.m_access, 0))
{
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    if (this != &other) {
        m_root = std::exchange(other.m_root, RegistryRoot::None);
        m_path = std::move(other.m_path);
        m_access = std::exchange(other.m_access, 0);
    }
    return *this;
}

void RegistryKey::Close()
{
    m_root = RegistryRoot::None;
    m_path.clear();
    m_access = 0;
}

template <typename Visit>
RegistryStatus RegistryKey::ReadKey(uint32_t right, Visit visit) const
{
    if (!IsOpen())
        return RegistryStatus::InvalidHandle;
    if ((m_access & right) != right)
        return RegistryStatus::AccessDenied;
    // Only memory can run out in here; that fails the call like any other
    // store that cannot be read.
    try {
        RegistryNode tree;
        if (!RegistryFile(m_root).Load(tree))
            return RegistryStatus::ReadFailed;
        const RegistryNode* key = tree.FindPath(m_path);
        return key ? visit(*key) : RegistryStatus::KeyDeleted;
    } catch (const std::exception&) {
        return RegistryStatus::ReadFailed;
    }
}

template <typename Change>
RegistryStatus RegistryKey::ChangeKey(uint32_t right, Change change) const
{
    if (!IsOpen())
        return RegistryStatus::InvalidHandle;
    if ((m_access & right) != right)
        return RegistryStatus::AccessDenied;
    try {
        return RegistryFile(m_root).Update([&](RegistryNode& tree, bool& modified) {
            RegistryNode* key = tree.FindPath(m_path);
            return key ? change(*key, modified) : RegistryStatus::KeyDeleted;
        });
    } catch (const std::exception&) {
        return RegistryStatus::WriteFailed;
    }
}

RegistryStatus RegistryKey::Open(std::string_view subKey, uint32_t access, RegistryKey& result) const
{
    std::vector<std::string> names;
    if (RegistryStatus status = SplitKeyPath(subKey, names); status != RegistryStatus::Success)
        return status;
    // A root key always exists; opening it needs no look at the store.
    RegistryStatus status = RegistryStatus::Success;
    if (!IsOpen())
        status = RegistryStatus::InvalidHandle;
    else if (!m_path.empty() || !names.empty())
        status = ReadKey(0, [&](const RegistryNode& key) {
            return key.FindPath(names) ? RegistryStatus::Success : RegistryStatus::NotFound;
        });
    if (status == RegistryStatus::Success)
        result = RegistryKey(m_root, JoinPaths(m_path, names), access);
    return status;
}

RegistryStatus RegistryKey::Create(std::string_view subKey, uint32_t access, RegistryKey& result) const
{
    std::vector<std::string> names;
    if (RegistryStatus status = SplitKeyPath(subKey, names); status != RegistryStatus::Success)
        return status;
    if (m_path.size() + names.size() > kMaxRegistryDepth)
        return RegistryStatus::TooLarge;
    // Most creates find the key already there; that needs no lock and no write.
    RegistryStatus status = ReadKey(0, [&](const RegistryNode& key) {
        return key.FindPath(names) ? RegistryStatus::Success : RegistryStatus::NotFound;
    });
    if (status == RegistryStatus::NotFound) {
        status = ChangeKey(0, [&](RegistryNode& key, bool& modified) {
            if (key.FindPath(names))
                return RegistryStatus::Success;
            if (!(m_access & KEY_CREATE_SUB_KEY))
                return RegistryStatus::AccessDenied;
            RegistryNode* node = &key;
            for (const std::string& name : names)
                node = &node->AddSubKey(name);
            modified = true;
            return RegistryStatus::Success;
        });
    }
    if (status == RegistryStatus::Success)
        result = RegistryKey(m_root, JoinPaths(m_path, names), access);
    return status;
}

RegistryStatus RegistryKey::DeleteKey(std::string_view subKey) const
{
    std::vector<std::string> names;
    if (RegistryStatus status = SplitKeyPath(subKey, names); status != RegistryStatus::Success)
        return status;
    if (names.empty())
        return RegistryStatus::BadPath;
    std::string last = std::move(names.back());
    names.pop_back();
    return ChangeKey(0, [&](RegistryNode& key, bool& modified) {
        RegistryNode* parent = key.FindPath(names);
        RegistryNode* target = parent ? parent->FindSubKey(last) : nullptr;
        if (!target)
            return RegistryStatus::NotFound;
        if (target->GetSubKeyCount() > 0)
            return RegistryStatus::AccessDenied;
        parent->RemoveSubKey(last);
        modified = true;
        return RegistryStatus::Success;
    });
}

RegistryStatus RegistryKey::EnumKey(uint32_t index, std::string& name) const
{
    return ReadKey(KEY_ENUMERATE_SUB_KEYS, [&](const RegistryNode& key) {
        const RegistryNode* subKey = key.SubKeyAt(index);
        if (!subKey)
            return RegistryStatus::NoMoreItems;
        name = subKey->GetName();
        return RegistryStatus::Success;
    });
}

RegistryStatus RegistryKey::QueryValue(std::string_view name, uint32_t* type, void* data, uint32_t* size) const
{
    if (data && !size)
        return RegistryStatus::InvalidParameter;
    return ReadKey(KEY_QUERY_VALUE, [&](const RegistryNode& key) {
        const RegistryValue* value = key.FindValue(name);
        if (!value)
            return RegistryStatus::NotFound;
        if (type)
            *type = value->type;
        if (!size)
            return RegistryStatus::Success;
        auto stored = static_cast<uint32_t>(value->data.size());
        bool fits = *size >= stored;
        *size = stored;
        if (!data)
            return RegistryStatus::Success;
        if (!fits)
            return RegistryStatus::MoreData;
        if (stored > 0)
            std::memcpy(data, value->data.data(), stored);
        return RegistryStatus::Success;
    });
}

RegistryStatus RegistryKey::SetValue(std::string_view name, uint32_t type, const void* data, uint32_t size) const
{
    if (!data && size > 0)
        return RegistryStatus::InvalidParameter;
    if (name.size() > kMaxRegistryValueNameBytes || size > kMaxRegistryValueBytes)
        return RegistryStatus::TooLarge;
    RegistryValue value { std::string(name), type, {} };
    if (size > 0) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        value.data.assign(bytes, bytes + size);
    }
    return ChangeKey(KEY_SET_VALUE, [&](RegistryNode& key, bool& modified) {
        modified = key.SetValue(std::move(value));
        return RegistryStatus::Success;
    });
}

RegistryStatus RegistryKey::DeleteValue(std::string_view name) const
{
    return ChangeKey(KEY_SET_VALUE, [&](RegistryNode& key, bool& modified) {
        modified = key.RemoveValue(name);
        return modified ? RegistryStatus::Success : RegistryStatus::NotFound;
    });
}

}
