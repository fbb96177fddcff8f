#include "graphics/ImgDecoder.h"
#include "graphics/ImgEncoder.h"
#include "tests/img/ImgTestPictures.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumarra;
using namespace lumarra::test;

namespace {

std::vector<uint8_t> Encode(const IndexedPicture& picture, std::optional<uint8_t> key = {})
{
    std::vector<uint8_t> stream;
    EXPECT_TRUE(ImgEncoder::Encode(picture.width, picture.height, picture.indices, picture.colors, key, stream));
    return stream;
}

// Offset of the image block's introducer in a stream our encoder wrote.
size_t ImageBlockOffset(const std::vector<uint8_t>& stream)
{
    size_t at = 13 + 3 * (2u << (stream[10] & 7));
    if (stream[at] == 0x21)
        at += 8;
    return at;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// Codes of minimum size 2 (clear 4, end 5, first free 6) at their widths.
std::vector<uint8_t> TwoBitStream(std::initializer_list<uint32_t> codes, int width, int height)
{
    CodePacker packer;
    for (uint32_t code : codes)
        packer.Put(code, 3);
    std::vector<uint8_t> data = packer.Finish();
    return WrapImageData(width, height, 4, 2, data);
}

}

TEST(ImgDecoder, RoundTripsOurEncoderAcrossSizesAndColorCounts)
{
    // Noise at 256 colors fills the code table many times over, so the
    // encoder's clear codes and the 12-bit width are both exercised.
    const IndexedPicture pictures[] = {
        MakeNoisePicture(1, 1, 2, 1),
        MakeNoisePicture(7, 5, 3, 2),
        MakeNoisePicture(300, 200, 256, 3),
        MakeFlatPicture(640, 1980, 64, 9),
        MakeSheetPicture(250, 770, 128, 4),
    };
    for (const IndexedPicture& picture : pictures) {
        ImgDecoder decoder;
        ASSERT_EQ(decoder.Parse(Encode(picture)), 1);
        EXPECT_EQ(decoder.GetWidth(), picture.width);
        EXPECT_EQ(decoder.GetHeight(), picture.height);
        std::span<const uint8_t> indices = decoder.GetIndices();
        EXPECT_TRUE(std::equal(indices.begin(), indices.end(), picture.indices.begin(), picture.indices.end()));
        EXPECT_FALSE(decoder.HasTransparentIndex());
    }
}

TEST(ImgDecoder, ReportsTheTransparentIndexAndItsColor)
{
    IndexedPicture picture = MakeNoisePicture(9, 9, 5, 11);
    picture.colors[3] = { 0x12, 0x34, 0x56 };
    ImgDecoder decoder;
    ASSERT_EQ(decoder.Parse(Encode(picture, 3)), 1);
    EXPECT_TRUE(decoder.HasTransparentIndex());
    EXPECT_EQ(decoder.GetTransparentIndex(), 3);
    EXPECT_EQ(decoder.GetTransparentColor(), 0x563412u);

    // A later parse forgets it.
    ASSERT_EQ(decoder.Parse(Encode(picture)), 1);
    EXPECT_FALSE(decoder.HasTransparentIndex());
}

TEST(ImgDecoder, TransparentIndexPastTheTableNamesNoColor)
{
    std::vector<uint8_t> stream = Encode(MakeNoisePicture(4, 4, 2, 1), 1);
    size_t control = 13 + 3 * 2;
    ASSERT_EQ(stream[control], 0x21);
    stream[control + 6] = 200;
    ImgDecoder decoder;
    ASSERT_EQ(decoder.Parse(stream), 1);
    EXPECT_EQ(decoder.GetTransparentIndex(), 200);
    EXPECT_EQ(decoder.GetTransparentColor(), 0u);
}

TEST(ImgDecoder, MakeInfoDescribesATopDownEightBitPicture)
{
    IndexedPicture picture = MakeNoisePicture(250, 3, 128, 5);
    picture.colors[1] = { 10, 20, 30 };
    ImgDecoder decoder;
    ASSERT_EQ(decoder.Parse(Encode(picture)), 1);
    std::vector<uint8_t> info;
    uint32_t size = 0;
    ASSERT_EQ(decoder.MakeInfo(info, size), 1);
    EXPECT_EQ(size, 552u);
    ASSERT_EQ(info.size(), kBitmapInfoBlockSize);
    EXPECT_EQ(Le32(info, 0), 40u);
    EXPECT_EQ(static_cast<int32_t>(Le32(info, 4)), 250);
    EXPECT_EQ(static_cast<int32_t>(Le32(info, 8)), -3);
    EXPECT_EQ(info[12], 1);
    EXPECT_EQ(info[14], 8);
    EXPECT_EQ(Le32(info, 16), 0u);
    EXPECT_EQ(Le32(info, 32), 256u);
    // Entry 1 as blue, green, red, 0.
    EXPECT_EQ(Le32(info, 44), 0x000A141Eu);
    EXPECT_TRUE(std::all_of(info.begin() + size, info.end(), [](uint8_t b) { return b == 0; }));

    ASSERT_EQ(decoder.Parse(Encode(MakeNoisePicture(5, 5, 64, 5))), 1);
    ASSERT_EQ(decoder.MakeInfo(info, size), 1);
    EXPECT_EQ(size, 296u);
    // A color count that is no power of two is padded to the next one.
    ASSERT_EQ(decoder.Parse(Encode(MakeNoisePicture(5, 5, 3, 5))), 1);
    EXPECT_EQ(decoder.GetColorCount(), 4);
}

TEST(ImgDecoder, RejectsBadHeaders)
{
    std::vector<uint8_t> good = Encode(MakeNoisePicture(8, 8, 4, 1));
    ImgDecoder decoder;
    for (const char* signature : { "GIF89a", "IMX000", "img000" }) {
        std::vector<uint8_t> stream = good;
        SetSignature(stream, signature);
        EXPECT_EQ(decoder.Parse(stream), 0) << signature;
    }
    // The version is not compared.
    std::vector<uint8_t> version = good;
    SetSignature(version, "IMG999");
    EXPECT_EQ(decoder.Parse(version), 1);
    // A header or color table cut short.
    for (size_t cut : { size_t { 0 }, size_t { 3 }, size_t { 12 }, size_t { 13 }, size_t { 24 } }) {
        EXPECT_EQ(decoder.Parse(std::span(good).first(cut)), 0) << cut;
        EXPECT_TRUE(decoder.GetIndices().empty());
    }
}

TEST(ImgDecoder, FailsWhereverTheImageDataIsCut)
{
    std::vector<uint8_t> stream = Encode(MakeSheetPicture(60, 140, 16, 2));
    size_t image = ImageBlockOffset(stream);
    ImgDecoder decoder;
    ASSERT_EQ(decoder.Parse(stream), 1);
    // Everything from the image descriptor up to the terminating empty
    // sub-block; only the trailer may go.
    for (size_t cut = image + 1; cut < stream.size() - 1; ++cut) {
        ASSERT_EQ(decoder.Parse(std::span(stream).first(cut)), 0) << cut;
        ASSERT_TRUE(decoder.GetIndices().empty());
    }
    EXPECT_EQ(decoder.Parse(std::span(stream).first(stream.size() - 1)), 1);
}

TEST(ImgDecoder, ABrokenSecondImageFailsTheWholeParse)
{
    std::vector<uint8_t> stream = Encode(MakeNoisePicture(8, 8, 4, 1));
    size_t image = ImageBlockOffset(stream);
    // The image block again in place of the trailer, cut inside its data.
    std::vector<uint8_t> second(stream.begin() + static_cast<long>(image), stream.end() - 3);
    stream.pop_back();
    stream.insert(stream.end(), second.begin(), second.end());
    ImgDecoder decoder;
    EXPECT_EQ(decoder.Parse(stream), 0);
    EXPECT_EQ(decoder.GetWidth(), 0);
    EXPECT_TRUE(decoder.GetIndices().empty());
}

TEST(ImgDecoder, RejectsALocalColorTable)
{
    std::vector<uint8_t> stream = Encode(MakeNoisePicture(8, 8, 4, 1));
    stream[ImageBlockOffset(stream) + 9] |= 0x80;
    ImgDecoder decoder;
    EXPECT_EQ(decoder.Parse(stream), 0);
}

TEST(ImgDecoder, RejectsMinimumCodeSizesOutsideTwoToEight)
{
    std::vector<uint8_t> stream = Encode(MakeNoisePicture(8, 8, 4, 1));
    size_t at = ImageBlockOffset(stream) + 10;
    ImgDecoder decoder;
    for (uint8_t size : { 0, 1, 9, 12, 255 }) {
        stream[at] = size;
        EXPECT_EQ(decoder.Parse(stream), 0) << int(size);
    }
}

TEST(ImgDecoder, LzwFailureRules)
{
    ImgDecoder decoder;
    // clear, 1, 2, end: two pixels.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 2, 5 }, 2, 1)), 1);
    // A clear directly followed by another clear is accepted.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 4, 1, 2, 5 }, 2, 1)), 1);
    EXPECT_EQ(decoder.GetIndices()[1], 2);
    // The string being defined (code 6 right after 1 gives 1, 1).
    ASSERT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 6, 5 }, 3, 1)), 1);
    EXPECT_EQ(decoder.GetIndices()[2], 1);
    // A code past the next free one.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 7, 5 }, 3, 1)), 0);
    // A first code after a clear that is not a single byte.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 6, 5 }, 2, 1)), 0);
    // Data that ends before the end code.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 2 }, 2, 1)), 0);
    // Fewer pixels than the image declares.
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 2, 5 }, 3, 1)), 0);
    // More pixels than it declares: the rest is dropped.
    ASSERT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 2, 3, 5 }, 1, 2)), 1);
    ASSERT_EQ(decoder.GetIndices().size(), 2u);
    EXPECT_EQ(decoder.GetIndices()[1], 2);
}

TEST(ImgDecoder, FailsWhenTheCodeTableFills)
{
    // Without clear codes every code after the first adds an entry; with a
    // minimum size of 8 the next free code starts at 258 and the table is
    // full when it reaches 8191.
    auto stream = [](int codes) {
        CodePacker packer;
        int width = 9;
        uint32_t next = 258;
        packer.Put(256, width);
        for (int i = 0; i < codes; ++i) {
            packer.Put(static_cast<uint32_t>(i & 0xFF), width);
            if (i > 0 && ++next == (1u << width) && width < 12)
                ++width;
        }
        packer.Put(257, width);
        return WrapImageData(codes, 1, 256, 8, packer.Finish());
    };
    ImgDecoder decoder;
    EXPECT_EQ(decoder.Parse(stream(8191 - 258)), 1);
    EXPECT_EQ(decoder.Parse(stream(8191 - 258 + 1)), 0);
}

TEST(ImgDecoder, OversizedDeclarationsFailWithoutDecoding)
{
    ImgDecoder decoder;
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 5 }, 0xFFFF, 0xFFFF)), 0);
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 5 }, 0, 1)), 0);
    EXPECT_EQ(decoder.Parse(TwoBitStream({ 4, 1, 5 }, 1, 0)), 0);
}

TEST(ImgDecoder, BlockSequenceRules)
{
    std::vector<uint8_t> good = Encode(MakeNoisePicture(8, 8, 4, 1));
    size_t image = ImageBlockOffset(good);
    auto withBefore = [&](std::initializer_list<uint8_t> block) {
        std::vector<uint8_t> stream = good;
        stream.insert(stream.begin() + static_cast<long>(image), block);
        return stream;
    };
    ImgDecoder decoder;
    // Comment, application and plain-text blocks are stepped over.
    EXPECT_EQ(decoder.Parse(withBefore({ 0x21, 0xFE, 2, 'h', 'i', 1, '!', 0 })), 1);
    EXPECT_EQ(decoder.GetWidth(), 8);
    EXPECT_EQ(decoder.Parse(
                  withBefore({ 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0 })),
        1);
    EXPECT_EQ(decoder.GetWidth(), 8);
    EXPECT_EQ(decoder.Parse(withBefore({ 0x21, 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 'x', 0 })), 1);
    EXPECT_EQ(decoder.GetWidth(), 8);
    // A trailer is stepped over too; a zero byte after it ends the parse.
    EXPECT_EQ(decoder.Parse(withBefore({ 0x3B })), 1);
    EXPECT_EQ(decoder.GetWidth(), 8);
    EXPECT_EQ(decoder.Parse(withBefore({ 0x3B, 0x00 })), 1);
    EXPECT_EQ(decoder.GetWidth(), 0);
    // An unknown extension label ends the parse with what was read.
    EXPECT_EQ(decoder.Parse(withBefore({ 0x21, 0x77 })), 1);
    EXPECT_EQ(decoder.GetWidth(), 0);
    // A stream with no image parses, but there is nothing to describe.
    std::vector<uint8_t> info;
    uint32_t size = 0;
    EXPECT_EQ(decoder.MakeInfo(info, size), 0);
}

TEST(ImgDecoder, NoColorTableGivesNoInfo)
{
    std::vector<uint8_t> stream = Encode(MakeNoisePicture(4, 4, 4, 1));
    stream[10] &= 0x7F;
    stream.erase(stream.begin() + 13, stream.begin() + 13 + 12);
    ImgDecoder decoder;
    ASSERT_EQ(decoder.Parse(stream), 1);
    EXPECT_EQ(decoder.GetIndices().size(), 16u);
    std::vector<uint8_t> info;
    uint32_t size = 0;
    EXPECT_EQ(decoder.MakeInfo(info, size), 0);
}

TEST(ImgEncoder, RejectsWhatItCannotWrite)
{
    std::vector<ImgColor> two(2), one(1), many(257);
    std::vector<uint8_t> four(4, 1), out;
    EXPECT_TRUE(ImgEncoder::Encode(2, 2, four, two, {}, out));
    EXPECT_FALSE(ImgEncoder::Encode(2, 2, four, one, {}, out));
    EXPECT_FALSE(ImgEncoder::Encode(2, 2, four, many, {}, out));
    EXPECT_FALSE(ImgEncoder::Encode(3, 2, four, two, {}, out));
    EXPECT_FALSE(ImgEncoder::Encode(0, 0, {}, two, {}, out));
    EXPECT_FALSE(ImgEncoder::Encode(2, 2, four, two, 2, out));
    std::vector<uint8_t> outside = { 0, 1, 2, 0 };
    EXPECT_FALSE(ImgEncoder::Encode(2, 2, outside, two, {}, out));
}
