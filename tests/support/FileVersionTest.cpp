#include "platform/VersionResourceWriter.h"
#include "support/FileIo.h"
#include "support/FilePaths.h"
#include "tests/platform/ElfTestImage.h"
#include "tests/support/TestScopes.h"

#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

struct Version {
    int major = -1, minor = -1, build = -1, revision = -1;
    bool operator==(const Version&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Version& v)
{
    return out << v.major << '.' << v.minor << '.' << v.build << '.' << v.revision;
}

int Read(const std::string& path, Version& version)
{
    return GetFileVersion(path, version.major, version.minor, version.build, version.revision);
}

// A resource with one string table under `tableKey` and, when `translation`
// is not empty, a translation table naming those four bytes.
std::vector<uint8_t> Resource(std::u16string_view tableKey, std::u16string_view fileVersion,
    std::vector<uint8_t> translation)
{
    VersionResourceWriter<1024> writer;
    size_t root = writer.BeginBinaryBlock(u"VS_VERSION_INFO", nullptr, 0);
    size_t strings = writer.BeginBlock(u"StringFileInfo");
    size_t table = writer.BeginBlock(tableKey);
    writer.EndBlock(writer.BeginTextBlock(u"FileVersion", fileVersion));
    writer.EndBlock(table);
    writer.EndBlock(strings);
    if (!translation.empty()) {
        size_t vars = writer.BeginBlock(u"VarFileInfo");
        writer.EndBlock(writer.BeginBinaryBlock(u"Translation", translation.data(), translation.size()));
        writer.EndBlock(vars);
    }
    writer.EndBlock(root);
    return std::vector<uint8_t>(writer.Data(), writer.Data() + writer.GetSize());
}

// Writes an ELF file carrying `resource` as its version resource and returns
// its internal path.
std::string ProgramWith(const TestFolder& folder, const std::string& name, std::vector<uint8_t> resource)
{
    std::vector<ElfSectionSpec> sections = { { ".text", { 0xC3 } } };
    if (!resource.empty())
        sections.push_back({ ".lumarra_version", std::move(resource) });
    std::vector<uint8_t> image = BuildElfImage(sections);
    EXPECT_EQ(WriteWholeFile(folder.Internal(name), image.data(), image.size()), 1);
    return folder.Internal(name);
}

const std::vector<uint8_t> kEnglishUnicode = { 0x09, 0x04, 0xB0, 0x04 };

}

TEST(GetFileVersion, OurProgramsCarryTheProjectVersion)
{
    Version version;
    ASSERT_EQ(Read(GetModulePath(), version), 1);
    EXPECT_EQ(version, (Version { LUMARRA_VERSION_MAJOR, LUMARRA_VERSION_MINOR, LUMARRA_VERSION_PATCH, 0 }));
}

TEST(GetFileVersion, FallsBackToCodePage1252UnderTheSameLanguage)
{
    TestFolder folder;
    Version version;
    EXPECT_EQ(Read(ProgramWith(folder, "exact", Resource(u"040904B0", u"1.2.3.4", kEnglishUnicode)), version), 1);
    EXPECT_EQ(version, (Version { 1, 2, 3, 4 }));
    EXPECT_EQ(Read(ProgramWith(folder, "western", Resource(u"040904E4", u" 5, 6, 7 ", kEnglishUnicode)), version), 1);
    EXPECT_EQ(version, (Version { 5, 6, 7, 0 }));
    // Another language's table is no fallback.
    EXPECT_EQ(Read(ProgramWith(folder, "other", Resource(u"041104E4", u"8.8.8.8", kEnglishUnicode)), version), 0);
}

TEST(GetFileVersion, FilesWithoutAUsableResourceFail)
{
    TestFolder folder;
    Version version;
    std::string text = folder.Internal("readme.txt");
    ASSERT_EQ(WriteTextFile(text, "1.2.3.4"), 1);
    EXPECT_EQ(Read(text, version), 0);
    EXPECT_EQ(Read(folder.Internal("missing.exe"), version), 0);
    EXPECT_EQ(Read(folder.Internal(), version), 0);
    EXPECT_EQ(Read(ProgramWith(folder, "plain", {}), version), 0);
    EXPECT_EQ(Read(ProgramWith(folder, "untranslated", Resource(u"040904B0", u"1.2.3.4", {})), version), 0);
    EXPECT_EQ(Read(ProgramWith(folder, "short", Resource(u"040904B0", u"1.2.3.4", { 0x09, 0x04 })), version), 0);
    EXPECT_EQ(version, Version {});
}
