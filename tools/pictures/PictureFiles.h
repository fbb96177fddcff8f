#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/ColorQuantizer.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace lumarra {

// The color key the game treats as "no pixel".
inline constexpr uint32_t kKeyMagenta = 0xFF00FF;

// A canvas made opaque, one 0xRRGGBB per pixel. With `keyed`, pixels less
// than half covered become pure magenta (the color key) and the others keep
// their color at full strength, so no pink fringe appears; otherwise the
// canvas is laid over `background`.
std::vector<uint32_t> Flatten(const Canvas& canvas, bool keyed, uint32_t background = 0);

// A 24-bit packed DIB (40-byte header, bottom-up rows) as BITMAP resources
// hold them.
std::vector<uint8_t> EncodeBitmapResource(int width, int height, std::span<const uint32_t> rgb);

// An .ico or .cur file with one 32-bit image per canvas (square canvases of
// at most 256 pixels); `hotX`, `hotY` only for cursors.
std::vector<uint8_t> EncodeIconFile(std::span<const Canvas> images, bool cursor, int hotX = 0, int hotY = 0);

// A PNG file (8-bit RGB, stored deflate blocks): only for looking at
// pictures.
std::vector<uint8_t> EncodePng(int width, int height, std::span<const uint32_t> rgb);
// A PNG file with straight 8-bit alpha, as desktop icons are kept.
std::vector<uint8_t> EncodePngWithAlpha(const Canvas& canvas);

bool WriteBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}
