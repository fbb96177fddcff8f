#pragma once

#include "graphics/ImgEncoder.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumarra::test {

// An indexed picture as the encoders take it.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;
    std::vector<ImgColor> colors;
};

std::vector<ImgColor> MakePalette(int colorCount, uint32_t seed);
IndexedPicture MakeNoisePicture(int width, int height, int colorCount, uint32_t seed);
IndexedPicture MakeFlatPicture(int width, int height, int colorCount, uint8_t index);
// A card sheet: 5 x 11 cells, most holding shapes and dithered shading, the
// last few left black.
IndexedPicture MakeSheetPicture(int width, int height, int colorCount, uint32_t seed);

// The deck sheets the cache tests pack as IMG resources 299-307, at the sizes
// and color counts of the real ones; each is MakeSheetPicture seeded with
// its id.
struct TestSheet {
    uint32_t id;
    int width;
    int height;
    int colorCount;
};
inline constexpr TestSheet kTestSheets[] = {
    { 299, 250, 770, 128 },
    { 300, 640, 1980, 128 },
    { 301, 750, 2310, 128 },
    { 302, 250, 770, 64 },
    { 303, 640, 1980, 64 },
    { 304, 750, 2310, 64 },
    { 305, 250, 770, 64 },
    { 306, 640, 1980, 64 },
    { 307, 750, 2310, 64 },
};
IndexedPicture MakeTestSheet(const TestSheet& sheet);

// BITMAP resource 280 of the cache tests: a 640 x 1980 24-bit packed DIB,
// bottom-up, in bands from the top: white, black, kTestBitmapGrey, then a
// gradient.
inline constexpr int kTestBitmapWidth = 640;
inline constexpr int kTestBitmapHeight = 1980;
inline constexpr int kTestBitmapBand = 100;
inline constexpr ImgColor kTestBitmapGrey = { 5, 5, 5 };
std::vector<uint8_t> MakeTestBitmap();

// giflib as an independent encoder and decoder.
std::vector<uint8_t> GiflibEncode(const IndexedPicture& picture);
bool GiflibDecode(std::span<const uint8_t> gif, int& width, int& height, std::vector<uint8_t>& indices);

// Overwrites the six signature and version bytes.
void SetSignature(std::vector<uint8_t>& stream, std::string_view signature);

// Packs LZW codes LSB-first at the widths the caller gives.
class CodePacker {
public:
    void Put(uint32_t code, int width);
    std::vector<uint8_t> Finish();

private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_bits = 0;
    int m_count = 0;
};

// A whole "IMG000" stream around raw LZW bytes: `colorCount` grey entries,
// one image block of width x height with the given minimum code size, the
// bytes cut into sub-blocks of 255, the terminator and the trailer.
std::vector<uint8_t> WrapImageData(int width, int height, int colorCount, int minCodeSize,
    std::span<const uint8_t> lzwBytes);

}
