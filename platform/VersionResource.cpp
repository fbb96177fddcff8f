#include "platform/VersionResource.h"

#include "platform/ElfSection.h"

#include <algorithm>
#include <strings.h>

namespace lumarra {

namespace {

constexpr std::string_view kRootKey = "VS_VERSION_INFO";
constexpr size_t kBlockHeaderSize = 6;
constexpr uint16_t kTypeText = 1;

struct Block {
    size_t end = 0;
    std::string key;
    size_t valueStart = 0;
    size_t valueSize = 0;
    size_t childrenStart = 0;
};

size_t AlignUp(size_t offset)
{
    return (offset + 3) & ~size_t(3);
}

uint16_t Read16(std::span<const uint8_t> data, size_t at)
{
    return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16LE up to the first zero unit or the end; unpaired surrogates become
// '?'.
std::string Utf16ToUtf8(std::span<const uint8_t> bytes)
{
    std::string out;
    size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t unit = Read16(bytes, 2 * i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            char32_t low = Read16(bytes, 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? U'?' : unit);
    }
    return out;
}

// The block at `start`, which must lie within `limit`. Values reaching past
// their block are cut at its end.
std::optional<Block> ParseBlock(std::span<const uint8_t> data, size_t start, size_t limit)
{
    if (start > limit || limit - start < kBlockHeaderSize)
        return std::nullopt;
    size_t length = Read16(data, start);
    size_t valueLength = Read16(data, start + 2);
    uint16_t type = Read16(data, start + 4);
    if (length < kBlockHeaderSize || length > limit - start)
        return std::nullopt;
    Block block;
    block.end = start + length;
    size_t keyEnd = start + kBlockHeaderSize;
    for (;; keyEnd += 2) {
        if (keyEnd + 2 > block.end)
            return std::nullopt;
        if (Read16(data, keyEnd) == 0)
            break;
    }
    block.key = Utf16ToUtf8(data.subspan(start + kBlockHeaderSize, keyEnd - start - kBlockHeaderSize));
    block.valueStart = std::min(AlignUp(keyEnd + 2), block.end);
    size_t valueBytes = type == kTypeText ? valueLength * 2 : valueLength;
    block.valueSize = std::min(valueBytes, block.end - block.valueStart);
    block.childrenStart = AlignUp(block.valueStart + block.valueSize);
    return block;
}

std::optional<Block> FindChild(std::span<const uint8_t> data, const Block& parent, std::string_view key)
{
    for (size_t pos = parent.childrenStart; pos < parent.end;) {
        std::optional<Block> child = ParseBlock(data, pos, parent.end);
        if (!child)
            return std::nullopt;
        if (child->key.size() == key.size() && ::strncasecmp(child->key.data(), key.data(), key.size()) == 0)
            return child;
        pos = AlignUp(child->end);
    }
    return std::nullopt;
}

}

VersionResource::VersionResource(std::vector<uint8_t> data)
    : m_data(std::move(data))
{
}

VersionResource VersionResource::ReadFromFile(const std::string& nativePath)
{
    auto section = ReadElfSectionFromFile(nativePath, kVersionSectionName, kMaxVersionResourceSize);
    return section ? VersionResource(std::move(*section)) : VersionResource();
}

std::optional<std::span<const uint8_t>> VersionResource::QueryValue(std::string_view subBlock) const
{
    std::span<const uint8_t> data = m_data;
    std::optional<Block> block = ParseBlock(data, 0, data.size());
    if (!block || block->key != kRootKey)
        return std::nullopt;
    while (block && !subBlock.empty()) {
        size_t separator = subBlock.find('\\');
        std::string_view key = subBlock.substr(0, separator);
        subBlock.remove_prefix(separator == std::string_view::npos ? subBlock.size() : separator + 1);
        if (!key.empty())
            block = FindChild(data, *block, key);
    }
    if (!block)
        return std::nullopt;
    return data.subspan(block->valueStart, block->valueSize);
}

std::optional<std::string> VersionResource::QueryText(std::string_view subBlock) const
{
    std::optional<std::span<const uint8_t>> value = QueryValue(subBlock);
    if (!value)
        return std::nullopt;
    return Utf16ToUtf8(*value);
}

}
