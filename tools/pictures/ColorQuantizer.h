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

// Reduces a true-colour picture (0xRRGGBB per pixel) to at most `maxColors`
// colours: a median cut over the picture's colour histogram, refined by a few
// k-means rounds, then each pixel mapped to its nearest colour with
// Floyd–Steinberg error diffusion scaled by `dither` (0 = none, 1 = full).
// Colours listed in `keep` are always in the table and reproduced exactly
// (empty sheet cells stay pure black).
class ColorQuantizer {
public:
    static IndexedImage Quantize(int width, int height, std::span<const uint32_t> pixels, int maxColors,
        float dither, std::span<const uint32_t> keep = {});
};

}
