#include "platform/RegistryNode.h"

#include "platform/CodePage.h"

#include <iterator>

namespace lumarra {

RegistryNode::RegistryNode(std::string name)
    : m_name(std::move(name))
{
}

std::string RegistryNode::FoldName(std::string_view name)
{
    return UpperCaseAscii(name, GetSystemCodePage());
}

RegistryNode* RegistryNode::FindSubKey(std::string_view name)
{
    auto it = m_subKeys.find(FoldName(name));
    return it == m_subKeys.end() ? nullptr : it->second.get();
}

const RegistryNode* RegistryNode::FindSubKey(std::string_view name) const
{
    return const_cast<RegistryNode*>(this)->FindSubKey(name);
}

RegistryNode& RegistryNode::AddSubKey(std::string_view name)
{
    auto& slot = m_subKeys[FoldName(name)];
    if (!slot)
        slot = std::make_unique<RegistryNode>(std::string(name));
    return *slot;
}

bool RegistryNode::RemoveSubKey(std::string_view name)
{
    return m_subKeys.erase(FoldName(name)) != 0;
}

const RegistryNode* RegistryNode::SubKeyAt(size_t index) const
{
    if (index >= m_subKeys.size())
        return nullptr;
    return std::next(m_subKeys.begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

RegistryNode* RegistryNode::FindPath(const std::vector<std::string>& path)
{
    RegistryNode* node = this;
    for (const std::string& name : path) {
        node = node->FindSubKey(name);
        if (!node)
            return nullptr;
    }
    return node;
}

const RegistryNode* RegistryNode::FindPath(const std::vector<std::string>& path) const
{
    return const_cast<RegistryNode*>(this)->FindPath(path);
}

const RegistryValue* RegistryNode::FindValue(std::string_view name) const
{
    auto it = m_values.find(FoldName(name));
    return it == m_values.end() ? nullptr : &it->second;
}

bool RegistryNode::SetValue(RegistryValue value)
{
    auto [it, added] = m_values.try_emplace(FoldName(value.name));
    RegistryValue& slot = it->second;
    if (!added) {
        // The name keeps the case it was first written with.
        if (slot.type == value.type && slot.data == value.data)
            return false;
        value.name = slot.name;
    }
    slot = std::move(value);
    return true;
}

bool RegistryNode::RemoveValue(std::string_view name)
{
    return m_values.erase(FoldName(name)) != 0;
}

}
