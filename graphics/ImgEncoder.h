#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumarra {

struct ImgColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// Writes "IMG000" streams that ImgDecoder reads: one global color table
// (padded with black to a power of two), an optional graphic-control block
// naming the transparent index, one image block and the trailer. The LZW
// coder starts over with a clear code before its table outgrows 12-bit codes.
class ImgEncoder {
public:
    // Fails for an empty or oversized picture, a color table of fewer than
    // 2 or more than 256 entries, an index count other than width x height,
    // and an index (or transparent index) outside the color table.
    static bool Encode(int width, int height, std::span<const uint8_t> indices, std::span<const ImgColor> colors,
        std::optional<uint8_t> transparentIndex, std::vector<uint8_t>& out);
};

}
