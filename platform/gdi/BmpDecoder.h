#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <memory>
#include <span>

namespace lumarra {

// Reads device-independent bitmaps as the system's image loader does: core
// (OS/2), info, version 4 and version 5 headers; 1, 4, 8, 16, 24 and 32 bits;
// BI_RGB, BI_BITFIELDS, BI_RLE4 and BI_RLE8 (expanded); top-down and bottom-up
// rows; color tables shorter than the depth allows. Anything malformed gives
// null: truncated data, offsets outside the data, zero or absurd sizes, pixel
// arrays over Bitmap::kMaxImageBytes, unknown compression.
class BmpDecoder {
public:
    // A whole .bmp file (file header first).
    static std::unique_ptr<Bitmap> DecodeFile(std::span<const uint8_t> file);
    // A packed DIB: header, color table or masks, then the pixels.
    static std::unique_ptr<Bitmap> DecodePackedDib(std::span<const uint8_t> dib);

private:
    // `dib` starts at the header; `bitsOffset` (from the start of `dib`) is
    // where the pixels begin, or 0 to take them right after the table.
    static std::unique_ptr<Bitmap> Decode(std::span<const uint8_t> dib, size_t bitsOffset);
};

}
