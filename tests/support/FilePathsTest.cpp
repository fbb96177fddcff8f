#include "platform/CodePage.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolder.h"
#include "support/FilePaths.h"
#include "tests/support/TestScopes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

std::string Normalized(std::string path)
{
    NormalizePath(path);
    return path;
}

}

TEST(NormalizePath, DropsPrefixQuotesBlanksAndDoubledBackslashes)
{
    EXPECT_EQ(Normalized("\\\\?\\C:\\Games\\\\Lumarra\\\\\\Score.dat"), "C:\\Games\\Lumarra\\Score.dat");
    EXPECT_EQ(Normalized("  \"C:\\Program Files\\Lumarra\"\t\r\n"), "C:\\Program Files\\Lumarra");
    EXPECT_EQ(Normalized(" \" Data\\x \" "), "Data\\x");
    EXPECT_EQ(Normalized(""), "");
}

TEST(NormalizePath, UncPathsMustExist)
{
    TestFolder folder;
    // "\\tmp\x" names //tmp/x, which Linux resolves as /tmp/x.
    std::string unc = "\\" + folder.Internal() + "\\\\sub";
    std::string missing = unc;
    EXPECT_EQ(NormalizePath(missing), 0);
    EXPECT_EQ(missing, unc);
    EXPECT_EQ(JoinPath(unc, "x"), "");

    std::filesystem::create_directory(folder.Native("sub"));
    std::string existing = unc;
    EXPECT_EQ(NormalizePath(existing), 1);
    EXPECT_EQ(existing, "\\" + folder.Internal() + "\\sub");
    EXPECT_TRUE(existing.starts_with("\\\\"));
}

TEST(PathScans, SplitFileNamesFoldersAndExtensions)
{
    std::string out = "unchanged";
    EXPECT_EQ(GetFileName("C:\\Games\\Lumarra\\Score.dat", out), 1);
    EXPECT_EQ(out, "Score.dat");
    EXPECT_EQ(GetFileName("Score.dat", out), 1);
    EXPECT_EQ(out, "Score.dat");
    EXPECT_EQ(GetFileName("C:\\Games\\", out), 0);
    EXPECT_EQ(out, "");

    EXPECT_EQ(GetFolder("C:\\Games\\\\Lumarra\\Score.dat", out), 1);
    EXPECT_EQ(out, "C:\\Games\\Lumarra");
    out = "unchanged";
    EXPECT_EQ(GetFolder("Score.dat", out), 0);

    EXPECT_EQ(GetExtension("Wave\\Menu1.mp3.wav", out), 1);
    EXPECT_EQ(out, ".wav");
    EXPECT_EQ(GetExtension("Wave.old\\Menu1", out), 0);
    EXPECT_EQ(GetExtension("Data\\", out), 0);

    EXPECT_EQ(JoinPath("C:\\Games\\", "\\Score.dat"), "C:\\Games\\Score.dat");
    EXPECT_EQ(JoinPath("", "Data\\x"), "\\Data\\x");

    EXPECT_EQ(FindLastChar("a.b.c", '.'), 3u);
    EXPECT_EQ(FindLastChar("abc", '.'), std::string::npos);
}

TEST(PathScans, Cp932TrailBytesAreNeverSeparators)
{
    CodePageScope cp932(CodePage::Cp932);
    // Each of these ends in 0x5C; the last one is followed by a real separator.
    std::string folder = "C:\\" + Sjis("ソフト表");
    std::string name = Sjis("能力.txt");
    std::string path = folder + "\\" + name;

    EXPECT_EQ(Normalized(path), path);
    EXPECT_EQ(Normalized(folder + "\\\\" + name), path);
    std::string out;
    EXPECT_EQ(GetFileName(path, out), 1);
    EXPECT_EQ(out, name);
    EXPECT_EQ(GetFolder(path, out), 1);
    EXPECT_EQ(out, folder);
    EXPECT_EQ(GetExtension(path, out), 1);
    EXPECT_EQ(out, ".txt");
    EXPECT_EQ(FindLastChar(Sjis("表"), '\\'), std::string::npos);
    EXPECT_EQ(FindLastChar(path, '\\'), folder.size());
    EXPECT_EQ(GetFileName(Sjis("表"), out), 1);
    EXPECT_EQ(out, Sjis("表"));
    // A lone lead byte at the end steps alone.
    EXPECT_EQ(PathCharLength("a\x83", 1), 1u);
}

TEST(PathScans, Utf8SequencesStepWholeAndBrokenOnesStepAlone)
{
    CodePageScope utf8(CodePage::Utf8);
    std::string path = "C:\\ゲーム\\表.txt";
    std::string out;
    EXPECT_EQ(GetFileName(path, out), 1);
    EXPECT_EQ(out, "表.txt");
    EXPECT_EQ(GetFolder(path, out), 1);
    EXPECT_EQ(out, "C:\\ゲーム");
    // A cut sequence must not swallow the separator after it.
    EXPECT_EQ(GetFileName("a\xE3\x81\\b", out), 1);
    EXPECT_EQ(out, "b");
    EXPECT_EQ(Normalized("a\xE3\\\\b"), "a\xE3\\b");
}

TEST(GetLongPath, KeepsExistingPathsAndFailsOnMissingOnes)
{
    for (CodePage codePage : { CodePage::Utf8, CodePage::Cp932 }) {
        CodePageScope scope(codePage);
        TestFolder folder;
        std::string sub = codePage == CodePage::Cp932 ? Sjis("表") : std::string("表");
        std::filesystem::create_directories(folder.GetNative() + "/表/deep");
        std::ofstream(folder.GetNative() + "/表/deep/file.dat") << "x";

        std::string path = folder.Internal(sub + "\\deep\\file.dat");
        std::string out;
        EXPECT_EQ(GetLongPath(path, out), 1);
        EXPECT_EQ(out, path);
        EXPECT_EQ(GetLongPath(folder.Internal(sub + "\\deep\\"), out), 1);
        EXPECT_EQ(out, folder.Internal(sub + "\\deep"));

        out = "unchanged";
        EXPECT_EQ(GetLongPath(folder.Internal(sub + "\\missing.dat"), out), 0);
        EXPECT_EQ(GetLongPath(folder.Internal("nothere\\..\\" + sub), out), 0);
        EXPECT_EQ(GetLongPath(folder.Internal(sub + "\\deep\\.."), out), 0);
        EXPECT_EQ(out, "unchanged");
    }
}

TEST(ModulePath, ProgramAnswersFromItsFolderOrFromLumarraHome)
{
    TestFolder home;
    std::string executable = GetExecutablePath();
    std::string exeName = ToInternalPath(executable.substr(executable.rfind('/') + 1));
    {
        EnvironmentScope unset("LUMARRA_HOME", nullptr);
        EXPECT_EQ(GetModulePath(), ToInternalPath(executable));
        EXPECT_EQ(GetModuleFolder(""), ToInternalPath(executable.substr(0, executable.rfind('/'))));
    }
    {
        EnvironmentScope set("LUMARRA_HOME", home.GetNative().c_str());
        EXPECT_EQ(GetModulePath(), home.Internal(exeName));
        EXPECT_EQ(GetModuleFolder(), home.Internal());
        EXPECT_EQ(JoinPath(GetModuleFolder(), "Data\\Sound01.mp3"), home.Internal("Data\\Sound01.mp3"));
    }
    {
        EnvironmentScope missing("LUMARRA_HOME", (home.GetNative() + "/missing").c_str());
        EXPECT_EQ(GetModulePath(), "");
        EXPECT_EQ(GetModuleFolder(), "");
    }
}

TEST(ModulePath, NamedModulesAreTheLoadedSharedObjects)
{
    std::string libc = GetModulePath("libc.so.6");
    ASSERT_FALSE(libc.empty());
    EXPECT_TRUE(libc.ends_with("\\libc.so.6")) << libc;
    EXPECT_EQ(GetModulePath("C"), libc);
    EXPECT_EQ(GetModuleFolder("libc"), libc.substr(0, libc.rfind('\\')));
    EXPECT_EQ(GetModulePath("tumbler-not-loaded"), "");
    EXPECT_EQ(GetModuleFolder("tumbler-not-loaded"), "");
}
