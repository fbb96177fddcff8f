#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumarra {

// Version numbers in a version string: four times, the leading run of digits
// (0 when there is none), then on to the next digit. Numbers too large for a
// 32-bit value are cut to its maximum.
struct VersionNumbers {
    uint32_t part[4] {};
};

template <typename Char>
constexpr VersionNumbers ParseVersionNumbers(std::basic_string_view<Char> text)
{
    auto isDigit = [](Char c) { return c >= Char('0') && c <= Char('9'); };
    VersionNumbers numbers;
    size_t pos = 0;
    for (uint32_t& number : numbers.part) {
        uint64_t value = 0;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            value = value * 10 + static_cast<uint64_t>(text[pos] - Char('0'));
            if (value > UINT32_MAX)
                value = UINT32_MAX;
        }
        number = static_cast<uint32_t>(value);
        while (pos < text.size() && !isDigit(text[pos]))
            ++pos;
    }
    return numbers;
}

// Writes a version resource in the block layout Windows uses: each block is
// {length, value length, type, key in UTF-16 with its zero, padding to four
// bytes, value, padding, child blocks}, all little-endian. Usable at compile
// time, so the resource can be laid into a program image as constant data.
template <size_t Capacity>
class VersionResourceWriter {
public:
    enum class ValueType : uint16_t {
        Binary = 0,
        Text = 1,
    };

    // Starts a block that only holds other blocks.
    constexpr size_t BeginBlock(std::u16string_view key) { return StartBlock(key, ValueType::Text, 0); }

    // Starts a block whose value is `text` (written with its terminating
    // zero); returns the block's offset for EndBlock.
    constexpr size_t BeginTextBlock(std::u16string_view key, std::u16string_view text)
    {
        size_t start = StartBlock(key, ValueType::Text, static_cast<uint16_t>(text.size() + 1));
        for (char16_t c : text)
            Put16(c);
        Put16(0);
        Align();
        return start;
    }

    constexpr size_t BeginBinaryBlock(std::u16string_view key, const uint8_t* value, size_t size)
    {
        size_t start = StartBlock(key, ValueType::Binary, static_cast<uint16_t>(size));
        for (size_t i = 0; i < size; ++i)
            Put(value[i]);
        Align();
        return start;
    }

    // Closes the block begun at `start`: its length covers everything written
    // since.
    constexpr void EndBlock(size_t start)
    {
        size_t length = m_end - start;
        Patch16(start, static_cast<uint16_t>(length));
    }

    // False when the blocks overflowed the capacity; the bytes are then cut.
    constexpr bool Fits() const { return m_size <= Capacity; }
    // The resource's length, without the padding after its last block.
    constexpr size_t GetSize() const { return m_end; }
    constexpr uint8_t operator[](size_t index) const { return m_bytes[index]; }
    constexpr const uint8_t* Data() const { return m_bytes.data(); }

    template <size_t Size>
    constexpr std::array<uint8_t, Size> ToArray() const
    {
        std::array<uint8_t, Size> bytes {};
        for (size_t i = 0; i < Size && i < Capacity; ++i)
            bytes[i] = m_bytes[i];
        return bytes;
    }

private:
    constexpr size_t StartBlock(std::u16string_view key, ValueType type, uint16_t valueLength)
    {
        Align();
        size_t start = m_size;
        Put16(0);
        Put16(valueLength);
        Put16(static_cast<uint16_t>(type));
        for (char16_t c : key)
            Put16(c);
        Put16(0);
        Align();
        return start;
    }

    constexpr void Put(uint8_t byte)
    {
        if (m_size < Capacity)
            m_bytes[m_size] = byte;
        ++m_size;
        m_end = m_size;
    }

    constexpr void Put16(uint16_t value)
    {
        Put(static_cast<uint8_t>(value & 0xFF));
        Put(static_cast<uint8_t>(value >> 8));
    }

    constexpr void Patch16(size_t offset, uint16_t value)
    {
        if (offset + 1 < Capacity) {
            m_bytes[offset] = static_cast<uint8_t>(value & 0xFF);
            m_bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
        }
    }

    constexpr void Align()
    {
        while (m_size % 4) {
            if (m_size < Capacity)
                m_bytes[m_size] = 0;
            ++m_size;
        }
    }

    std::array<uint8_t, Capacity> m_bytes {};
    size_t m_size = 0;
    // Blocks end at their last value byte; padding belongs to what follows.
    size_t m_end = 0;
};

// What a program's version resource says about it.
struct VersionInfo {
    std::u16string_view fileVersion;
    std::u16string_view productName;
    uint16_t language = 0;
    uint16_t codePage = 0;
    // Empty leaves the "FileDescription" entry out.
    std::u16string_view fileDescription = {};
};

inline constexpr size_t kVersionResourceCapacity = 1024;
inline constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The resource of `info`: the fixed file information with the version
// numbers, one string table for the language and code page with
// "FileVersion" and "ProductName" (after "FileDescription" when there is
// one), and the translation table naming that pair.
constexpr VersionResourceWriter<kVersionResourceCapacity> BuildVersionResource(const VersionInfo& info)
{
    constexpr uint32_t kStructVersion = 0x00010000;
    constexpr uint32_t kFlagsMask = 0x3F;
    constexpr uint32_t kOsWindows32 = 0x00040004;
    constexpr uint32_t kTypeApplication = 1;

    VersionNumbers numbers = ParseVersionNumbers(info.fileVersion);
    uint32_t versionMs = numbers.part[0] << 16 | (numbers.part[1] & 0xFFFF);
    uint32_t versionLs = numbers.part[2] << 16 | (numbers.part[3] & 0xFFFF);
    const uint32_t fixed[13] = { kFixedFileInfoSignature, kStructVersion, versionMs, versionLs, versionMs, versionLs,
        kFlagsMask, 0, kOsWindows32, kTypeApplication, 0, 0, 0 };
    uint8_t fixedBytes[sizeof fixed] {};
    for (size_t i = 0; i < sizeof fixedBytes; ++i)
        fixedBytes[i] = static_cast<uint8_t>(fixed[i / 4] >> (8 * (i % 4)));

    char16_t tableKey[8] {};
    const uint32_t pair = static_cast<uint32_t>(info.language) << 16 | info.codePage;
    for (size_t i = 0; i < 8; ++i)
        tableKey[i] = u"0123456789ABCDEF"[(pair >> (28 - 4 * i)) & 0xF];
    const uint8_t translation[4]
        = { static_cast<uint8_t>(info.language & 0xFF), static_cast<uint8_t>(info.language >> 8),
              static_cast<uint8_t>(info.codePage & 0xFF), static_cast<uint8_t>(info.codePage >> 8) };

    VersionResourceWriter<kVersionResourceCapacity> writer;
    size_t root = writer.BeginBinaryBlock(u"VS_VERSION_INFO", fixedBytes, sizeof fixedBytes);
    size_t strings = writer.BeginBlock(u"StringFileInfo");
    size_t table = writer.BeginBlock(std::u16string_view(tableKey, 8));
    if (!info.fileDescription.empty())
        writer.EndBlock(writer.BeginTextBlock(u"FileDescription", info.fileDescription));
    writer.EndBlock(writer.BeginTextBlock(u"FileVersion", info.fileVersion));
    writer.EndBlock(writer.BeginTextBlock(u"ProductName", info.productName));
    writer.EndBlock(table);
    writer.EndBlock(strings);
    size_t vars = writer.BeginBlock(u"VarFileInfo");
    writer.EndBlock(writer.BeginBinaryBlock(u"Translation", translation, sizeof translation));
    writer.EndBlock(vars);
    writer.EndBlock(root);
    return writer;
}

}
