#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace lumarra {

// Every header block a surface allocates: the 40-byte header and room for
// 256 color entries.
inline constexpr size_t kBitmapInfoBlockBytes = 1064;

// A header (and color table or 5-6-5 masks) for a new bitmap of `depth` bits
// per pixel, `width` × `height` (bottom-up): in `info`, a
// kBitmapInfoBlockBytes block, with the bytes in use in `byteCount`. Depth 0
// takes the screen's depth. 0 for an unsupported depth.
int BuildBitmapInfo(int depth, std::unique_ptr<uint8_t[]>& info, size_t& byteCount, int width, int height);

// The header block describing the bitmap's pixels as a packed DIB holds
// them: the 40-byte header, then the color table or bit-field masks.
std::vector<uint8_t> PackedDibHeaderOf(const Bitmap& bitmap);
// The bitmap as a packed DIB (40-byte header, color table or bit-field
// masks, bottom-up pixel rows); empty on failure.
std::vector<uint8_t> BitmapToPackedDib(const Bitmap& bitmap);
// A device-dependent bitmap holding the packed DIB's picture; null when the
// block is malformed.
std::unique_ptr<Bitmap> PackedDibToBitmap(std::span<const uint8_t> packedDib);
std::unique_ptr<Bitmap> PackedDibToBitmap(const Bitmap& bitmap);

// A .bmp file image: the 14-byte file header, then the packed DIB.
std::vector<uint8_t> FileImageOf(std::span<const uint8_t> packedDib);
std::vector<uint8_t> FileImageOf(const Bitmap& bitmap);
// Writes the .bmp file at the internal path `path`; 1 on success.
int WriteBmpFile(std::string_view path, std::span<const uint8_t> packedDib);
int WriteBmpFile(std::string_view path, const Bitmap& bitmap);

}
