#include "graphics/ImgEncoder.h"

#include <algorithm>
#include <string_view>

namespace lumarra {

namespace {

constexpr std::string_view kSignature = "IMG000";
constexpr int kMaxSide = 0xFFFF;
constexpr size_t kMinColors = 2;
constexpr size_t kMaxColors = 256;
constexpr int kMinCodeSize = 2;
constexpr int kMaxWidth = 12;
// One past the largest code a 12-bit width can carry: the coder starts over
// before it would define it.
constexpr uint32_t kCodeLimit = 1u << kMaxWidth;
constexpr size_t kSubBlockSize = 255;
// Open-addressed dictionary of (prefix, byte) pairs, at most half full.
constexpr int kHashBits = 13;
constexpr size_t kHashSize = size_t { 1 } << kHashBits;
constexpr uint32_t kNoKey = 0xFFFFFFFF;

void Put16(std::vector<uint8_t>& out, int value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// LSB-first code packer that also tracks the code width exactly as the
// decoder will: the decoder adds a table entry for every code but the first
// after a clear, and widens when its next free code reaches 2^width.
class CodeWriter {
public:
    explicit CodeWriter(int minCodeSize)
        : m_minCodeSize(minCodeSize)
        , m_clear(1u << minCodeSize)
    {
        Restart();
    }

    void Write(uint32_t code)
    {
        Pack(code);
        if (m_firstAfterClear) {
            m_firstAfterClear = false;
            return;
        }
        ++m_decoderNext;
        if (m_width < kMaxWidth && m_decoderNext == (1u << m_width))
            ++m_width;
    }

    void WriteClear()
    {
        Pack(m_clear);
        Restart();
    }

    void WriteEnd()
    {
        Pack(m_clear + 1);
        if (m_bitCount > 0)
            m_bytes.push_back(static_cast<uint8_t>(m_bits));
        m_bits = 0;
        m_bitCount = 0;
    }

    const std::vector<uint8_t>& GetBytes() const { return m_bytes; }

private:
    void Restart()
    {
        m_width = m_minCodeSize + 1;
        m_decoderNext = m_clear + 2;
        m_firstAfterClear = true;
    }

    void Pack(uint32_t code)
    {
        m_bits |= static_cast<uint64_t>(code) << m_bitCount;
        m_bitCount += m_width;
        while (m_bitCount >= 8) {
            m_bytes.push_back(static_cast<uint8_t>(m_bits));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    int m_minCodeSize;
    uint32_t m_clear;
    int m_width = 0;
    uint32_t m_decoderNext = 0;
    bool m_firstAfterClear = true;
    uint64_t m_bits = 0;
    int m_bitCount = 0;
    std::vector<uint8_t> m_bytes;
};

class Dictionary {
public:
    Dictionary()
        : m_keys(kHashSize, kNoKey)
        , m_codes(kHashSize)
    {
    }

    void Clear() { std::fill(m_keys.begin(), m_keys.end(), kNoKey); }

    // The slot of (prefix, byte): holding its code when present, else free.
    size_t Find(uint32_t prefix, uint8_t byte) const
    {
        uint32_t key = prefix << 8 | byte;
        size_t slot = (key * 2654435761u) >> (32 - kHashBits);
        while (m_keys[slot] != kNoKey && m_keys[slot] != key)
            slot = (slot + 1) & (kHashSize - 1);
        return slot;
    }
    bool Holds(size_t slot) const { return m_keys[slot] != kNoKey; }
    uint32_t CodeAt(size_t slot) const { return m_codes[slot]; }
    void Insert(size_t slot, uint32_t prefix, uint8_t byte, uint32_t code)
    {
        m_keys[slot] = prefix << 8 | byte;
        m_codes[slot] = code;
    }

private:
    std::vector<uint32_t> m_keys;
    std::vector<uint32_t> m_codes;
};

std::vector<uint8_t> CompressIndices(std::span<const uint8_t> indices, int minCodeSize)
{
    const uint32_t firstFree = (1u << minCodeSize) + 2;
    CodeWriter writer(minCodeSize);
    Dictionary dictionary;
    uint32_t next = firstFree;
    writer.WriteClear();
    uint32_t prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        uint8_t byte = indices[i];
        size_t slot = dictionary.Find(prefix, byte);
        if (dictionary.Holds(slot)) {
            prefix = dictionary.CodeAt(slot);
            continue;
        }
        writer.Write(prefix);
        dictionary.Insert(slot, prefix, byte, next++);
        prefix = byte;
        if (next == kCodeLimit) {
            writer.WriteClear();
            dictionary.Clear();
            next = firstFree;
        }
    }
    writer.Write(prefix);
    writer.WriteEnd();
    return writer.GetBytes();
}

}

bool ImgEncoder::Encode(int width, int height, std::span<const uint8_t> indices, std::span<const ImgColor> colors,
    std::optional<uint8_t> transparentIndex, std::vector<uint8_t>& out)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    if (colors.size() < kMinColors || colors.size() > kMaxColors)
        return false;
    if (indices.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    if (transparentIndex && *transparentIndex >= colors.size())
        return false;
    uint8_t largest = *std::max_element(indices.begin(), indices.end());
    if (largest >= colors.size())
        return false;

    // The table holds 2^(s + 1) entries.
    int tableBits = 1;
    while ((1u << tableBits) < colors.size())
        ++tableBits;
    size_t tableSize = 1u << tableBits;
    int minCodeSize = std::max(kMinCodeSize, tableBits);

    out.assign(kSignature.begin(), kSignature.end());
    Put16(out, width);
    Put16(out, height);
    // Global table present; color resolution and size both tableBits - 1.
    out.push_back(static_cast<uint8_t>(0x80 | (tableBits - 1) << 4 | (tableBits - 1)));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect
    for (size_t i = 0; i < tableSize; ++i) {
        ImgColor color = i < colors.size() ? colors[i] : ImgColor {};
        out.insert(out.end(), { color.red, color.green, color.blue });
    }
    if (transparentIndex)
        out.insert(out.end(), { 0x21, 0xF9, 4, 0x01, 0, 0, *transparentIndex, 0 });

    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(0);  // no local table, not interlaced
    out.push_back(static_cast<uint8_t>(minCodeSize));
    std::vector<uint8_t> data = CompressIndices(indices, minCodeSize);
    for (size_t at = 0; at < data.size(); at += kSubBlockSize) {
        size_t length = std::min(kSubBlockSize, data.size() - at);
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + length));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return true;
}

}
