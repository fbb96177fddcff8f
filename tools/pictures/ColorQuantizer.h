#pragma once

#include "graphics/ImgEncoder.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumarra {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<ImgColor> colors;
    std::vector<uint8_t> indices;
};

// Reduces a true-color picture (0xRRGGBB per pixel) to at most `maxColors`
// colors: a median cut over the picture's color histogram, refined by a few
// k-means rounds, then each pixel mapped to its nearest color with
// Floyd–Steinberg error diffusion scaled by `dither` (0 = none, 1 = full).
// Colors listed in `keep` are always in the table and reproduced exactly
// (empty sheet cells stay pure black).
class ColorQuantizer {
public:
    static IndexedImage Quantize(int width, int height, std::span<const uint32_t> pixels, int maxColors, float dither,
        std::span<const uint32_t> keep = {});
};

}
