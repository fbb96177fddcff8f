#include "tools/pictures/Canvas.h"
#include "tools/pictures/PictureFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace lumarra;

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t Read16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

}

TEST(Canvas, ShrinkingAveragesTheCoveredArea)
{
    Canvas checker(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker.Blend(x, y, Paint::Hex((x + y) % 2 ? 0xFFFFFF : 0x000000), 1);
    Canvas small(2, 2);
    small.DrawCanvas(checker, 0, 0, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(small.RgbAt(x, y), 0x808080u);
            EXPECT_EQ(small.AlphaAt(x, y), 255);
        }
    // Drawn partly outside the target: clipped, nothing written out of bounds.
    small.DrawCanvas(checker, -3, -3, 4, 4);
    EXPECT_EQ(small.AlphaAt(1, 1), 255);
}

TEST(Canvas, ShapesCoverTheirAreaWithSoftEdges)
{
    Canvas c(40, 40);
    c.FillCircle(20, 20, 10, Paint::Hex(0xE0342C));
    EXPECT_EQ(c.RgbAt(20, 20), 0xE0342Cu);
    EXPECT_EQ(c.AlphaAt(20, 20), 255);
    EXPECT_EQ(c.AlphaAt(2, 2), 0);
    int edge = c.AlphaAt(29, 20);  // pixel centre 0.5 inside the rim
    EXPECT_GT(edge, 100);
    EXPECT_LT(edge, 255);
    c.FillPolygon(std::vector<PointF> { { 0, 0 }, { 10, 0 }, { 0, 10 } }, Paint::Hex(0x00FF00));
    EXPECT_EQ(c.RgbAt(1, 1), 0x00FF00u);
    EXPECT_EQ(c.AlphaAt(9, 9), 0);
}

TEST(PictureFiles, KeyedPicturesNeverShowPinkFringesOrAFalseKey)
{
    Canvas c(3, 1);
    c.Blend(0, 0, Paint::Hex(0x336699), 0.3f);  // mostly uncovered: blank
    c.Blend(1, 0, Paint::Hex(0x336699), 0.7f);  // mostly covered: full color
    c.Blend(2, 0, Paint::Hex(kKeyMagenta), 1);  // drawn magenta must not vanish
    std::vector<uint32_t> keyed = Flatten(c, true);
    EXPECT_EQ(keyed[0], kKeyMagenta);
    EXPECT_EQ(keyed[1], 0x336699u);
    EXPECT_NE(keyed[2], kKeyMagenta);
    std::vector<uint32_t> laid = Flatten(c, false, 0xFFFFFF);
    EXPECT_EQ(laid[1] >> 16, static_cast<uint32_t>(0x33 * 0.7 + 255 * 0.3 + 0.5));
}

TEST(PictureFiles, BitmapResourceIsABottomUpPackedDib)
{
    std::vector<uint32_t> rgb = { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456 };
    std::vector<uint8_t> dib = EncodeBitmapResource(3, 2, rgb);
    ASSERT_EQ(dib.size(), 40u + 2 * 12);
    EXPECT_EQ(Read32(dib, 4), 3u);
    EXPECT_EQ(Read32(dib, 8), 2u);
    EXPECT_EQ(Read16(dib, 14), 24);
    // The bottom row comes first, blue-green-red.
    EXPECT_EQ(dib[40], 0xFF);
    EXPECT_EQ(dib[40 + 6], 0x56);
    EXPECT_EQ(dib[40 + 12 + 2], 0xFF);
}

TEST(PictureFiles, IconAndCursorFilesDescribeEveryImage)
{
    std::vector<Canvas> images;
    for (int size : { 16, 32 }) {
        Canvas c(size, size);
        c.FillRect(0, 0, static_cast<float>(size) / 2, static_cast<float>(size), Paint::Hex(0xFF8800));
        images.push_back(std::move(c));
    }
    std::vector<uint8_t> ico = EncodeIconFile(images, false);
    EXPECT_EQ(Read16(ico, 2), 1);
    ASSERT_EQ(Read16(ico, 4), 2);
    for (size_t i = 0; i < 2; ++i) {
        size_t entry = 6 + 16 * i;
        int size = i ? 32 : 16;
        EXPECT_EQ(ico[entry], size);
        uint32_t bytes = Read32(ico, entry + 8), offset = Read32(ico, entry + 12);
        ASSERT_LE(size_t(offset) + bytes, ico.size());
        EXPECT_EQ(Read32(ico, offset + 8), uint32_t(2 * size));  // color and mask rows
        EXPECT_EQ(bytes, 40u + size * size * 4 + size * 4);
        // The mask's first row: the left half drawn (0), the right half see-through (1).
        size_t mask = offset + 40 + size * size * 4;
        EXPECT_EQ(ico[mask], 0x00);
        EXPECT_EQ(ico[mask + size / 16], 0xFF);
    }
    std::vector<uint8_t> cur = EncodeIconFile(std::span(images).subspan(1), true, 13, 2);
    EXPECT_EQ(Read16(cur, 2), 2);
    EXPECT_EQ(Read16(cur, 6 + 4), 13);
    EXPECT_EQ(Read16(cur, 6 + 6), 2);
}

// The contact pictures are read back by ImageMagick, which checks every chunk
// CRC and the zlib stream.
TEST(PictureFiles, ContactPicturesAreValidPng)
{
    std::vector<uint32_t> rgb(300 * 250);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    rgb[1] = 0x123456;
    std::filesystem::path path = std::filesystem::temp_directory_path() / "lumarra-contact-test.png";
    ASSERT_TRUE(WriteBytes(path, EncodePng(300, 250, rgb)));
    std::string command = "convert " + path.string() + " -format '%w %h %[pixel:p{1,0}]' info: 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {};
    std::string output = std::fgets(line, sizeof line, pipe) ? line : "";
    pclose(pipe);
    std::filesystem::remove(path);
    EXPECT_EQ(output, "300 250 srgb(18,52,86)");
}
