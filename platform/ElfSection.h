#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// Fills `out` with the image's bytes at `offset`; false when they are not all
// there.
using ImageReader = std::function<bool(uint64_t offset, std::span<uint8_t> out)>;

// The contents of the section called `name` in an ELF image (32 or 64 bit,
// either byte order). Every offset, size and index is checked against the
// image; a malformed image, a missing section or one larger than `maxSize`
// gives nothing.
std::optional<std::vector<uint8_t>> ReadElfSection(const ImageReader& read, std::string_view name, size_t maxSize);

// The same for an image in memory, and for a file on disk (native path).
std::optional<std::vector<uint8_t>> ReadElfSection(std::span<const uint8_t> image, std::string_view name,
    size_t maxSize);
std::optional<std::vector<uint8_t>> ReadElfSectionFromFile(const std::string& nativePath, std::string_view name,
    size_t maxSize);

}
