#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// Limits of the registry store. Every key the store writes stays within them,
// and the store file parser refuses anything beyond them.
inline constexpr size_t kMaxRegistryKeyNameBytes = 255;
inline constexpr size_t kMaxRegistryValueNameBytes = 16383;
inline constexpr size_t kMaxRegistryValueBytes = 256 * 1024;
inline constexpr size_t kMaxRegistryDepth = 512;

// Value types. Others are kept as they come, as bytes with their number.
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

struct RegistryValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// One key of a registry tree: its values and sub-keys, both looked up by name
// without regard to letter case. Names keep the case they were created with.
class RegistryNode {
public:
    explicit RegistryNode(std::string name = {});

    // Folds ASCII letters of single-byte characters to upper case, stepping
    // over multibyte characters of the system code page whole, so a trail
    // byte that happens to be a letter is never folded.
    static std::string FoldName(std::string_view name);

    const std::string& GetName() const { return m_name; }

    RegistryNode* FindSubKey(std::string_view name);
    const RegistryNode* FindSubKey(std::string_view name) const;
    // The sub-key of that name, created when missing.
    RegistryNode& AddSubKey(std::string_view name);
    bool RemoveSubKey(std::string_view name);
    size_t GetSubKeyCount() const { return m_subKeys.size(); }
    // Sub-keys in the order of their folded names.
    const RegistryNode* SubKeyAt(size_t index) const;

    // Follows `path` down from this key; null when a key on the way is missing.
    RegistryNode* FindPath(const std::vector<std::string>& path);
    const RegistryNode* FindPath(const std::vector<std::string>& path) const;

    size_t GetValueCount() const { return m_values.size(); }
    const RegistryValue* FindValue(std::string_view name) const;
    // Stores `value`, replacing one of the same name; false when an equal
    // value was already there. A replaced value keeps its name's case.
    bool SetValue(RegistryValue value);
    bool RemoveValue(std::string_view name);

    template <typename Visit>
    void ForEachValue(Visit visit) const
    {
        for (const auto& [folded, value] : m_values)
            visit(value);
    }

    template <typename Visit>
    void ForEachSubKey(Visit visit) const
    {
        for (const auto& [folded, node] : m_subKeys)
            visit(*node);
    }

private:
    std::string m_name;
    std::map<std::string, RegistryValue> m_values;
    std::map<std::string, std::unique_ptr<RegistryNode>> m_subKeys;
};

}
