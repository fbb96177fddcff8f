#include "tools/pictures/ColorQuantizer.h"

#include <gtest/gtest.h>

#include <set>

using namespace lumarra;

namespace {

uint32_t ColorAt(const IndexedImage& image, size_t i)
{
    const ImgColor& c = image.colors.at(image.indices.at(i));
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

// A smooth gradient with far more colors than a table holds.
std::vector<uint32_t> Gradient(int w, int h)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(uint32_t(x * 255 / (w - 1)) << 16 | uint32_t(y * 255 / (h - 1)) << 8 | 0x40);
    return pixels;
}

}

TEST(ColorQuantizer, FewColorsComeBackExactly)
{
    std::vector<uint32_t> pixels;
    const uint32_t colors[] = { 0xE0342C, 0xFFFCF2, 0x2B4C9B, 0x000000, 0x7FA65A };
    for (int i = 0; i < 200; ++i)
        pixels.push_back(colors[(i * 7) % 5]);
    IndexedImage image = ColorQuantizer::Quantize(20, 10, pixels, 64, 0.75f);
    ASSERT_EQ(image.indices.size(), pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        EXPECT_EQ(ColorAt(image, i), pixels[i]) << i;
}

TEST(ColorQuantizer, TableStaysWithinItsSizeAndKeptColorsStayExact)
{
    int w = 120, h = 90;
    std::vector<uint32_t> pixels = Gradient(w, h);
    // An empty cell's black band in the middle, which dithering must not touch.
    for (int y = 40; y < 50; ++y)
        for (int x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y) * w + x] = 0;
    const uint32_t keep[] = { 0x000000 };
    for (int max : { 64, 128 }) {
        IndexedImage image = ColorQuantizer::Quantize(w, h, pixels, max, 1.0f, keep);
        EXPECT_LE(image.colors.size(), static_cast<size_t>(max));
        std::set<uint8_t> used(image.indices.begin(), image.indices.end());
        EXPECT_LT(*used.rbegin(), image.colors.size());
        for (int y = 40; y < 50; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(ColorAt(image, static_cast<size_t>(y) * w + x), 0u);
        // Elsewhere the picture stays close to the original on average.
        double error = 0;
        for (size_t i = 0; i < pixels.size(); ++i)
            for (int shift : { 0, 8, 16 })
                error += std::abs(int(pixels[i] >> shift & 0xFF) - int(ColorAt(image, i) >> shift & 0xFF));
        EXPECT_LT(error / (pixels.size() * 3), 8.0) << max;
    }
}

TEST(ColorQuantizer, EmptyAndSingleColorPictures)
{
    IndexedImage empty = ColorQuantizer::Quantize(0, 0, {}, 64, 1.0f);
    EXPECT_FALSE(empty.colors.empty());
    std::vector<uint32_t> flat(50, 0x123456);
    IndexedImage one = ColorQuantizer::Quantize(5, 10, flat, 128, 1.0f);
    for (size_t i = 0; i < flat.size(); ++i)
        EXPECT_EQ(ColorAt(one, i), 0x123456u);
}
