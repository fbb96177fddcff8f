#include "platform/ElfSection.h"
#include "platform/VersionResource.h"
#include "platform/VersionResourceWriter.h"
#include "tests/platform/ElfTestImage.h"

#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr VersionInfo kInfo { u"1.2.3.4", u"Lumarra", 0x0411, 0x03A4 };

std::vector<uint8_t> Bytes(const VersionResourceWriter<kVersionResourceCapacity>& writer)
{
    return std::vector<uint8_t>(writer.Data(), writer.Data() + writer.GetSize());
}

std::vector<uint8_t> SampleResource()
{
    return Bytes(BuildVersionResource(kInfo));
}

}

TEST(VersionResource, AnswersThePathsOfTheBlockTree)
{
    VersionResource resource(SampleResource());
    EXPECT_EQ(resource.QueryText("\\StringFileInfo\\041103A4\\FileVersion"), "1.2.3.4");
    EXPECT_EQ(resource.QueryText("\\stringfileinfo\\041103a4\\productname"), "Lumarra");
    auto translation = resource.QueryValue("\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_EQ(std::vector<uint8_t>(translation->begin(), translation->end()),
        (std::vector<uint8_t> { 0x11, 0x04, 0xA4, 0x03 }));
    auto fixed = resource.QueryValue("\\");
    ASSERT_TRUE(fixed);
    ASSERT_EQ(fixed->size(), 52u);
    EXPECT_EQ((*fixed)[0] | (*fixed)[1] << 8 | (*fixed)[2] << 16 | uint32_t((*fixed)[3]) << 24,
        kFixedFileInfoSignature);
    // File version 1.2 / 3.4 as two 32-bit words, most significant first.
    EXPECT_EQ((*fixed)[8] | (*fixed)[9] << 8 | (*fixed)[10] << 16 | (*fixed)[11] << 24, 0x00010002);
    EXPECT_EQ((*fixed)[12] | (*fixed)[13] << 8 | (*fixed)[14] << 16 | (*fixed)[15] << 24, 0x00030004);

    EXPECT_FALSE(resource.QueryText("\\StringFileInfo\\040904E4\\FileVersion"));
    EXPECT_FALSE(resource.QueryText("\\StringFileInfo\\041103A4\\Comments"));
    EXPECT_FALSE(VersionResource().QueryValue("\\"));
}

TEST(VersionResource, MalformedBlocksFailWithoutReadingPastTheData)
{
    std::vector<uint8_t> data = SampleResource();
    // A root claiming more than there is.
    std::vector<uint8_t> cut(data.begin(), data.begin() + 40);
    EXPECT_FALSE(VersionResource(cut).QueryValue("\\VarFileInfo\\Translation"));
    // A key without its terminating zero.
    std::vector<uint8_t> unterminated = { 8, 0, 0, 0, 0, 0, 'V', 0 };
    EXPECT_FALSE(VersionResource(unterminated).QueryValue("\\"));
    // A child of length zero must not stall the walk.
    std::vector<uint8_t> stalled = data;
    size_t firstChild = 92;  // after the root's header, key and fixed information
    stalled[firstChild] = 0;
    stalled[firstChild + 1] = 0;
    EXPECT_FALSE(VersionResource(stalled).QueryText("\\StringFileInfo\\041103A4\\FileVersion"));
    // A value length beyond its block is cut at the block's end.
    std::vector<uint8_t> longValue = data;
    longValue[2] = 0xFF;
    longValue[3] = 0xFF;
    auto fixed = VersionResource(longValue).QueryValue("\\");
    ASSERT_TRUE(fixed);
    EXPECT_LE(fixed->size(), data.size());
}

TEST(VersionNumbers, TakeDigitRunsAndSkipToTheNextDigit)
{
    auto parse = [](std::string_view text) {
        VersionNumbers n = ParseVersionNumbers(text);
        return std::vector<uint32_t>(std::begin(n.part), std::end(n.part));
    };
    EXPECT_EQ(parse("1.2.3.4"), (std::vector<uint32_t> { 1, 2, 3, 4 }));
    EXPECT_EQ(parse("10, 20, 30, 40"), (std::vector<uint32_t> { 10, 20, 30, 40 }));
    EXPECT_EQ(parse("2.5"), (std::vector<uint32_t> { 2, 5, 0, 0 }));
    EXPECT_EQ(parse("v3.1"), (std::vector<uint32_t> { 0, 3, 1, 0 }));
    EXPECT_EQ(parse("99999999999.1"), (std::vector<uint32_t> { UINT32_MAX, 1, 0, 0 }));
}

TEST(ElfSection, FindsTheNamedSectionInEveryClassAndByteOrder)
{
    std::vector<uint8_t> payload = { 1, 2, 3, 4, 5 };
    std::vector<ElfSectionSpec> sections = { { ".text", { 0x90, 0x90 } }, { ".lumarra_version", payload } };
    for (bool is64 : { true, false })
        for (bool bigEndian : { false, true })
            for (bool extended : { false, true }) {
                SCOPED_TRACE(testing::Message() << is64 << bigEndian << extended);
                auto image = BuildElfImage(sections, { is64, bigEndian, extended });
                EXPECT_EQ(ReadElfSection(image, ".lumarra_version", 100), payload);
                EXPECT_FALSE(ReadElfSection(image, ".data", 100));
                EXPECT_FALSE(ReadElfSection(image, ".lumarra_version", 4));
            }
}

TEST(ElfSection, RejectsHeadersAndEntriesPointingOutsideTheImage)
{
    std::vector<ElfSectionSpec> sections = { { ".lumarra_version", { 1, 2, 3, 4 } } };
    auto image = BuildElfImage(sections);
    ASSERT_TRUE(ReadElfSection(image, ".lumarra_version", 100));

    for (size_t cut : { size_t(0), size_t(10), size_t(63), image.size() - 1 }) {
        std::vector<uint8_t> shorter(image.begin(), image.begin() + static_cast<long>(cut));
        EXPECT_FALSE(ReadElfSection(shorter, ".lumarra_version", 100)) << cut;
    }
    auto entry = [&](std::vector<uint8_t>& bytes, size_t index, size_t field) -> uint8_t* {
        size_t tableOffset = bytes[0x28] | bytes[0x29] << 8;
        return &bytes[tableOffset + index * 64 + field];
    };
    std::vector<uint8_t> hugeOffset = image;
    std::fill_n(entry(hugeOffset, 1, 24), 8, 0xFF);
    EXPECT_FALSE(ReadElfSection(hugeOffset, ".lumarra_version", 100));

    std::vector<uint8_t> hugeName = image;
    std::fill_n(entry(hugeName, 1, 0), 4, 0xFF);
    EXPECT_FALSE(ReadElfSection(hugeName, ".lumarra_version", 100));

    std::vector<uint8_t> badNameIndex = image;
    badNameIndex[0x3E] = 9;
    EXPECT_FALSE(ReadElfSection(badNameIndex, ".lumarra_version", 100));

    // A count far beyond the table: the walk ends at the first entry outside
    // the image.
    std::vector<uint8_t> manySections = image;
    manySections[0x3C] = 0xFE;
    manySections[0x3D] = 0xFF;
    EXPECT_TRUE(ReadElfSection(manySections, ".lumarra_version", 100));
    EXPECT_FALSE(ReadElfSection(manySections, ".data", 100));

    std::vector<uint8_t> notElf = image;
    notElf[1] = 'X';
    EXPECT_FALSE(ReadElfSection(notElf, ".lumarra_version", 100));
}

TEST(ElfSection, TheTestProgramCarriesItsVersionResource)
{
    VersionResource own = VersionResource::ReadFromFile("/proc/self/exe");
    ASSERT_FALSE(own.IsEmpty());
    EXPECT_EQ(own.QueryText("\\StringFileInfo\\041103A4\\ProductName"), "Lumarra");
    EXPECT_TRUE(VersionResource::ReadFromFile("/nonexistent/file").IsEmpty());
    EXPECT_TRUE(VersionResource::ReadFromFile("/proc/self").IsEmpty());
}
