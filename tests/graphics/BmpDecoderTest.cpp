#include "platform/gdi/BmpDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumarra {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A .bmp file: file header, an info header of `headerSize` bytes (40, 108
// or 124), `extra` (color table or masks) and `pixels`.
std::vector<uint8_t> MakeFile(uint32_t headerSize, int width, int height, int bits, uint32_t compression,
    uint32_t colorsUsed, const std::vector<uint8_t>& extra, const std::vector<uint8_t>& pixels,
    const uint32_t* headerMasks = nullptr)
{
    std::vector<uint8_t> out;
    uint32_t offset = 14 + headerSize + static_cast<uint32_t>(extra.size());
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + static_cast<uint32_t>(pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, headerSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, compression);
    Put32(out, static_cast<uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, colorsUsed);
    Put32(out, 0);
    for (uint32_t i = 40; i < headerSize; i += 4)
        Put32(out, headerMasks && i < 52 ? headerMasks[(i - 40) / 4] : 0);
    out.insert(out.end(), extra.begin(), extra.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> GreyTable(int entries)
{
    std::vector<uint8_t> table(static_cast<size_t>(entries) * 4, 0);
    for (int i = 0; i < entries; ++i) {
        uint8_t level = static_cast<uint8_t>(i * 255 / std::max(entries - 1, 1));
        std::fill_n(table.begin() + i * 4, 3, level);
    }
    return table;
}

TEST(BmpDecoderTest, ReadsRunLengthEncodedEightBitPictures)
{
    // 4 x 2, bottom row: run of 3 × index 1 then one absolute pixel 2...
    const std::vector<uint8_t> rle = {
        3, 1, 0, 3, 2, 2, 2, 0,  // run, then absolute 3 pixels (padded to a word)
        0, 0,                    // end of line
        4, 3,                    // top row: 4 × index 3
        0, 1,                    // end of bitmap
    };
    auto file = MakeFile(40, 4, 2, 8, BI_RLE8, 4, GreyTable(4), rle);
    auto bitmap = BmpDecoder::DecodeFile(file);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetBitsPerPixel(), 8);
    EXPECT_EQ(bitmap->GetRaw(0, 1), 1u);
    EXPECT_EQ(bitmap->GetRaw(2, 1), 1u);
    EXPECT_EQ(bitmap->GetRaw(3, 1), 2u);
    EXPECT_EQ(bitmap->GetRaw(0, 0), 3u);
    EXPECT_EQ(bitmap->GetPixel(0, 0), RGB(255, 255, 255));

    // Data that ends before the end-of-bitmap code is truncated.
    std::vector<uint8_t> cut(rle.begin(), rle.begin() + 10);
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 4, 2, 8, BI_RLE8, 4, GreyTable(4), cut)));
}

TEST(BmpDecoderTest, ReadsRunLengthEncodedFourBitPictures)
{
    const std::vector<uint8_t> rle = { 5, 0x12, 0, 1 };  // 1 2 1 2 1 in the bottom row
    auto bitmap = BmpDecoder::DecodeFile(MakeFile(40, 5, 1, 4, BI_RLE4, 0, GreyTable(16), rle));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetRaw(0, 0), 1u);
    EXPECT_EQ(bitmap->GetRaw(1, 0), 2u);
    EXPECT_EQ(bitmap->GetRaw(4, 0), 1u);
}

TEST(BmpDecoderTest, ReadsCoreHeadersWithThreeByteColorEntries)
{
    std::vector<uint8_t> file = { 'B', 'M' };
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 14 + 12 + 6);
    Put32(file, 12);
    Put16(file, 2);
    Put16(file, 1);
    Put16(file, 1);
    Put16(file, 1);
    file.insert(file.end(), { 0, 0, 255, 255, 0, 0 });  // red, blue (b, g, r)
    file.insert(file.end(), { 0x40, 0, 0, 0 });         // 0 1
    auto bitmap = BmpDecoder::DecodeFile(file);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(bitmap->GetPixel(1, 0), RGB(0, 0, 255));
}

TEST(BmpDecoderTest, ReadsBitFieldsFromVersionFiveHeadersAndTopDownRows)
{
    const uint32_t masks[3] = { 0x7C00, 0x03E0, 0x001F };
    std::vector<uint8_t> pixels = { 0x00, 0x7C, 0x1F, 0x00,  // top row: red, blue
        0xE0, 0x03, 0xFF, 0x7F };                            // bottom row: green, white
    auto bitmap = BmpDecoder::DecodeFile(MakeFile(124, 2, -2, 16, BI_BITFIELDS, 0, {}, pixels, masks));
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->IsTopDown());
    EXPECT_EQ(bitmap->GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(bitmap->GetPixel(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(bitmap->GetPixel(0, 1), RGB(0, 255, 0));
    EXPECT_EQ(bitmap->GetPixel(1, 1), RGB(255, 255, 255));
}

TEST(BmpDecoderTest, ShortColorTablesLeaveMissingEntriesBlack)
{
    std::vector<uint8_t> pixels = { 0, 1, 7, 0 };
    auto bitmap = BmpDecoder::DecodeFile(MakeFile(40, 3, 1, 8, BI_RGB, 2, GreyTable(2), pixels));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixel(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(bitmap->GetPixel(2, 0), RGB(0, 0, 0));
}

TEST(BmpDecoderTest, RejectsMalformedFiles)
{
    std::vector<uint8_t> pixels(16, 0);
    auto good = MakeFile(40, 2, 2, 24, BI_RGB, 0, {}, pixels);
    ASSERT_TRUE(BmpDecoder::DecodeFile(good));

    auto truncated = good;
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(BmpDecoder::DecodeFile(truncated));

    auto badOffset = good;
    badOffset[10] = 0xFF;
    badOffset[11] = 0xFF;
    EXPECT_FALSE(BmpDecoder::DecodeFile(badOffset));

    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 0, 2, 24, BI_RGB, 0, {}, pixels)));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, 0, 24, BI_RGB, 0, {}, pixels)));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 40000, 40000, 32, BI_RGB, 0, {}, pixels)));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, 2, 24, 4 /* JPEG */, 0, {}, pixels)));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, 2, 12, BI_RGB, 0, {}, pixels)));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, -2, 8, BI_RLE8, 0, GreyTable(256), { 0, 1 })));
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, 2, 8, BI_RGB, 300, {}, pixels)));
    // Zero masks describe no color at all.
    EXPECT_FALSE(BmpDecoder::DecodeFile(MakeFile(40, 2, 2, 16, BI_BITFIELDS, 0, std::vector<uint8_t>(12, 0), pixels)));

    const char text[] = "Hello, this is not a picture at all.";
    EXPECT_FALSE(BmpDecoder::DecodeFile({ reinterpret_cast<const uint8_t*>(text), sizeof text }));
    EXPECT_FALSE(BmpDecoder::DecodeFile({}));
    EXPECT_FALSE(BmpDecoder::DecodePackedDib({}));
}

}
}
