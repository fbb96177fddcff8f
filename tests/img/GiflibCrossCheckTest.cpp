// giflib is the independent implementation both directions are held to.

#include "graphics/ImgDecoder.h"
#include "graphics/ImgEncoder.h"
#include "tests/img/ImgTestPictures.h"

#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

struct Shape {
    int width;
    int height;
    int colors;
};

// Sizes from a single pixel to the largest sheet, color counts from 2 to 256
// including ones that are no power of two.
const Shape kShapes[] = {
    { 1, 1, 2 },
    { 1, 1, 256 },
    { 3, 1, 2 },
    { 1, 7, 4 },
    { 17, 13, 3 },
    { 64, 64, 16 },
    { 250, 770, 128 },
    { 255, 3, 200 },
    { 640, 33, 64 },
    { 333, 97, 256 },
    { 750, 2310, 128 },
};

std::vector<IndexedPicture> TestPictures()
{
    std::vector<IndexedPicture> pictures;
    uint32_t seed = 1;
    for (const Shape& shape : kShapes) {
        pictures.push_back(MakeNoisePicture(shape.width, shape.height, shape.colors, seed++));
        pictures.push_back(
            MakeFlatPicture(shape.width, shape.height, shape.colors, static_cast<uint8_t>(shape.colors - 1)));
    }
    pictures.push_back(MakeSheetPicture(750, 2310, 128, 3));
    pictures.push_back(MakeSheetPicture(640, 1980, 64, 4));
    return pictures;
}

std::string Describe(const IndexedPicture& picture)
{
    return std::to_string(picture.width) + "x" + std::to_string(picture.height) + ", "
        + std::to_string(picture.colors.size()) + " colours";
}

}

TEST(GiflibCrossCheck, GiflibStreamsDecodeToGiflibIndices)
{
    for (const IndexedPicture& picture : TestPictures()) {
        SCOPED_TRACE(Describe(picture));
        std::vector<uint8_t> stream = GiflibEncode(picture);
        ASSERT_FALSE(stream.empty());
        int width = 0, height = 0;
        std::vector<uint8_t> expected;
        ASSERT_TRUE(GiflibDecode(stream, width, height, expected));

        SetSignature(stream, "IMG000");
        ImgDecoder decoder;
        ASSERT_EQ(decoder.Parse(stream), 1);
        ASSERT_EQ(decoder.GetWidth(), width);
        ASSERT_EQ(decoder.GetHeight(), height);
        std::span<const uint8_t> indices = decoder.GetIndices();
        ASSERT_TRUE(std::equal(indices.begin(), indices.end(), expected.begin(), expected.end()));
    }
}

TEST(GiflibCrossCheck, OurStreamsDecodeInGiflibToTheInput)
{
    for (const IndexedPicture& picture : TestPictures()) {
        for (bool transparent : { false, true }) {
            SCOPED_TRACE(Describe(picture) + (transparent ? ", transparent" : ""));
            std::vector<uint8_t> stream;
            std::optional<uint8_t> key;
            if (transparent)
                key = static_cast<uint8_t>(picture.colors.size() - 1);
            ASSERT_TRUE(
                ImgEncoder::Encode(picture.width, picture.height, picture.indices, picture.colors, key, stream));
            ASSERT_EQ(std::string(stream.begin(), stream.begin() + 6), "IMG000");

            SetSignature(stream, "GIF89a");
            int width = 0, height = 0;
            std::vector<uint8_t> decoded;
            ASSERT_TRUE(GiflibDecode(stream, width, height, decoded));
            EXPECT_EQ(width, picture.width);
            EXPECT_EQ(height, picture.height);
            ASSERT_TRUE(decoded == picture.indices);
        }
    }
}
