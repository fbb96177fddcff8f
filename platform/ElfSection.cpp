#include "platform/ElfSection.h"

#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>

namespace lumarra {

namespace {

constexpr uint8_t kElfMagic[4] = { 0x7F, 'E', 'L', 'F' };
constexpr uint8_t kClass32 = 1;
constexpr uint8_t kClass64 = 2;
constexpr uint8_t kDataLittleEndian = 1;
constexpr uint8_t kDataBigEndian = 2;
constexpr uint32_t kSectionNoBits = 8;
constexpr uint16_t kExtendedIndex = 0xFFFF;
// Enough for any real program; a bound on the work a hostile header can ask.
constexpr uint64_t kMaxSections = 1 << 16;
constexpr size_t kMaxNameTable = 1 << 20;

// Field offsets and sizes of the two ELF classes.
struct ElfLayout {
    size_t headerSize;
    size_t sectionOffsetAt;
    size_t sectionEntrySizeAt;
    size_t sectionHeaderSize;
    size_t nameAt;
    size_t typeAt;
    size_t linkAt;
    size_t offsetAt;
    size_t sizeAt;
    size_t wordSize;
};

constexpr ElfLayout kLayout32 { 52, 0x20, 0x2E, 40, 0, 4, 24, 16, 20, 4 };
constexpr ElfLayout kLayout64 { 64, 0x28, 0x3A, 64, 0, 4, 40, 24, 32, 8 };

struct Section {
    uint32_t name = 0;
    uint32_t type = 0;
    uint32_t link = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
};

class ElfImage {
public:
    explicit ElfImage(const ImageReader& read)
        : m_read(read)
    {
    }

    bool ReadHeader()
    {
        uint8_t ident[16] {};
        if (!m_read(0, ident) || std::memcmp(ident, kElfMagic, sizeof kElfMagic) != 0)
            return false;
        if ((ident[4] != kClass32 && ident[4] != kClass64)
            || (ident[5] != kDataLittleEndian && ident[5] != kDataBigEndian))
            return false;
        m_layout = ident[4] == kClass64 ? &kLayout64 : &kLayout32;
        m_bigEndian = ident[5] == kDataBigEndian;
        std::vector<uint8_t> header(m_layout->headerSize);
        if (!m_read(0, header))
            return false;
        m_sectionOffset = Word(header, m_layout->sectionOffsetAt, m_layout->wordSize);
        m_entrySize = Word(header, m_layout->sectionEntrySizeAt, 2);
        m_count = Word(header, m_layout->sectionEntrySizeAt + 2, 2);
        m_nameIndex = Word(header, m_layout->sectionEntrySizeAt + 4, 2);
        if (m_sectionOffset == 0 || m_entrySize < m_layout->sectionHeaderSize)
            return false;
        // Counts too large for the header sit in the first section entry.
        if (m_count == 0 || m_nameIndex == kExtendedIndex) {
            bool extendedCount = m_count == 0;
            Section first;
            m_count = std::max<uint64_t>(m_count, 1);
            if (!ReadSection(0, first))
                return false;
            if (extendedCount)
                m_count = first.size;
            if (m_nameIndex == kExtendedIndex)
                m_nameIndex = first.link;
        }
        return m_count > 0 && m_count <= kMaxSections && m_nameIndex < m_count;
    }

    std::optional<std::vector<uint8_t>> Find(std::string_view name, size_t maxSize)
    {
        Section names;
        if (!ReadSection(m_nameIndex, names) || names.type == kSectionNoBits || names.size > kMaxNameTable)
            return std::nullopt;
        std::vector<uint8_t> nameTable;
        if (!ReadContents(names, nameTable))
            return std::nullopt;
        for (uint64_t index = 1; index < m_count; ++index) {
            Section section;
            if (!ReadSection(index, section))
                return std::nullopt;
            if (NameAt(nameTable, section.name) != name)
                continue;
            std::vector<uint8_t> contents;
            if (section.type == kSectionNoBits || section.size > maxSize || !ReadContents(section, contents))
                return std::nullopt;
            return contents;
        }
        return std::nullopt;
    }

private:
    uint64_t Word(std::span<const uint8_t> bytes, size_t at, size_t size) const
    {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i) {
            uint8_t byte = bytes[m_bigEndian ? at + i : at + size - 1 - i];
            value = value << 8 | byte;
        }
        return value;
    }

    bool ReadSection(uint64_t index, Section& section)
    {
        if (index >= m_count)
            return false;
        uint64_t offset = m_sectionOffset + index * m_entrySize;
        if (offset < m_sectionOffset)
            return false;
        std::vector<uint8_t> entry(m_layout->sectionHeaderSize);
        if (!m_read(offset, entry))
            return false;
        section.name = static_cast<uint32_t>(Word(entry, m_layout->nameAt, 4));
        section.type = static_cast<uint32_t>(Word(entry, m_layout->typeAt, 4));
        section.link = static_cast<uint32_t>(Word(entry, m_layout->linkAt, 4));
        section.offset = Word(entry, m_layout->offsetAt, m_layout->wordSize);
        section.size = Word(entry, m_layout->sizeAt, m_layout->wordSize);
        return true;
    }

    bool ReadContents(const Section& section, std::vector<uint8_t>& contents)
    {
        contents.resize(static_cast<size_t>(section.size));
        return contents.empty() || m_read(section.offset, contents);
    }

    static std::string_view NameAt(const std::vector<uint8_t>& table, uint32_t offset)
    {
        if (offset >= table.size())
            return {};
        const char* start = reinterpret_cast<const char*>(table.data()) + offset;
        const void* end = std::memchr(start, '\0', table.size() - offset);
        // A name must end inside its table.
        if (!end)
            return {};
        return std::string_view(start, static_cast<const char*>(end) - start);
    }

    const ImageReader& m_read;
    const ElfLayout* m_layout = nullptr;
    bool m_bigEndian = false;
    uint64_t m_sectionOffset = 0;
    uint64_t m_entrySize = 0;
    uint64_t m_count = 0;
    uint64_t m_nameIndex = 0;
};

}

std::optional<std::vector<uint8_t>> ReadElfSection(const ImageReader& read, std::string_view name, size_t maxSize)
{
    ElfImage image(read);
    if (!image.ReadHeader())
        return std::nullopt;
    return image.Find(name, maxSize);
}

std::optional<std::vector<uint8_t>> ReadElfSection(std::span<const uint8_t> image, std::string_view name,
    size_t maxSize)
{
    ImageReader read = [image](uint64_t offset, std::span<uint8_t> out) {
        if (offset > image.size() || out.size() > image.size() - offset)
            return false;
        std::memcpy(out.data(), image.data() + offset, out.size());
        return true;
    };
    return ReadElfSection(read, name, maxSize);
}

std::optional<std::vector<uint8_t>> ReadElfSectionFromFile(const std::string& nativePath, std::string_view name,
    size_t maxSize)
{
    FileDescriptor fd = FileDescriptor::OpenRegular(nativePath, O_RDONLY);
    if (!fd.IsOpen())
        return std::nullopt;
    ImageReader read = [&fd](uint64_t offset, std::span<uint8_t> out) {
        return fd.ReadAt(out.data(), out.size(), offset) == static_cast<ssize_t>(out.size());
    };
    return ReadElfSection(read, name, maxSize);
}

}
