#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace lumarra::test {

struct ElfSectionSpec {
    std::string name;
    std::vector<uint8_t> contents;
};

struct ElfImageOptions {
    bool is64 = true;
    bool bigEndian = false;
    // Section count and name-table index kept in the first section entry.
    bool extendedNumbering = false;
};

// A minimal ELF image: the header, each section's contents, the section-name
// table, then the section headers (a null entry, the sections, the names).
inline std::vector<uint8_t> BuildElfImage(const std::vector<ElfSectionSpec>& sections, ElfImageOptions options = {})
{
    std::vector<uint8_t> image;
    auto put = [&](size_t at, uint64_t value, size_t size) {
        if (image.size() < at + size)
            image.resize(at + size);
        for (size_t i = 0; i < size; ++i) {
            size_t shift = options.bigEndian ? size - 1 - i : i;
            image[at + i] = static_cast<uint8_t>(value >> (8 * shift));
        }
    };
    const size_t headerSize = options.is64 ? 64 : 52;
    const size_t entrySize = options.is64 ? 64 : 40;
    const size_t word = options.is64 ? 8 : 4;

    image.assign(headerSize, 0);
    const uint8_t ident[]
        = { 0x7F, 'E', 'L', 'F', uint8_t(options.is64 ? 2 : 1), uint8_t(options.bigEndian ? 2 : 1), 1 };
    std::copy(std::begin(ident), std::end(ident), image.begin());

    std::string names(1, '\0');
    std::vector<uint64_t> nameOffsets, offsets;
    for (const ElfSectionSpec& section : sections) {
        nameOffsets.push_back(names.size());
        names += section.name + '\0';
        offsets.push_back(image.size());
        image.insert(image.end(), section.contents.begin(), section.contents.end());
    }
    uint64_t namesName = names.size();
    names += std::string(".shstrtab") + '\0';
    uint64_t namesOffset = image.size();
    image.insert(image.end(), names.begin(), names.end());
    image.resize((image.size() + 7) & ~size_t(7));

    const size_t tableOffset = image.size();
    const size_t count = sections.size() + 2;
    const size_t namesIndex = count - 1;
    auto putEntry = [&](size_t index, uint64_t name, uint32_t type, uint64_t offset, uint64_t size, uint32_t link) {
        size_t at = tableOffset + index * entrySize;
        put(at, name, 4);
        put(at + 4, type, 4);
        put(at + (options.is64 ? 24 : 16), offset, word);
        put(at + (options.is64 ? 32 : 20), size, word);
        put(at + (options.is64 ? 40 : 24), link, 4);
        put(at + entrySize - 1, 0, 1);
    };
    constexpr uint32_t kProgBits = 1;
    constexpr uint32_t kStringTable = 3;
    putEntry(0, 0, 0, 0, options.extendedNumbering ? count : 0, options.extendedNumbering ? uint32_t(namesIndex) : 0);
    for (size_t i = 0; i < sections.size(); ++i)
        putEntry(i + 1, nameOffsets[i], kProgBits, offsets[i], sections[i].contents.size(), 0);
    putEntry(namesIndex, namesName, kStringTable, namesOffset, names.size(), 0);

    const size_t shoffAt = options.is64 ? 0x28 : 0x20;
    const size_t entrySizeAt = options.is64 ? 0x3A : 0x2E;
    put(shoffAt, tableOffset, word);
    put(entrySizeAt, entrySize, 2);
    put(entrySizeAt + 2, options.extendedNumbering ? 0 : count, 2);
    put(entrySizeAt + 4, options.extendedNumbering ? 0xFFFF : namesIndex, 2);
    return image;
}

}
