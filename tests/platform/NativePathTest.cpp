#include "platform/CodePage.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolder.h"
#include "tests/support/TestScopes.h"

#include <gtest/gtest.h>

using namespace lumarra;

using namespace lumarra::test;

TEST(NativePath, SeparatorsSwapBothWaysInUtf8)
{
    CodePageScope utf8(CodePage::Utf8);
    EXPECT_EQ(ToNativePath("\\home\\a\\x"), "/home/a/x");
    EXPECT_EQ(ToNativePath("Data\\Sound01.mp3"), "Data/Sound01.mp3");
    EXPECT_EQ(ToInternalPath("/home/a/表.txt"), "\\home\\a\\表.txt");
}

TEST(NativePath, Cp932NamesBecomeUtf8WithoutSplittingAtTrailBytes)
{
    CodePageScope cp932(CodePage::Cp932);
    // ソ and 表 end in 0x5C, the value of a backslash.
    std::string internal = "\\tmp\\" + Sjis("ソ表") + "\\" + Sjis("能.txt");
    EXPECT_EQ(ToNativePath(internal), "/tmp/ソ表/能.txt");
    EXPECT_EQ(ToInternalPath("/tmp/ソ表/能.txt"), internal);
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessHomeIsSet)
{
    std::string executable = GetExecutablePath();
    ASSERT_FALSE(executable.empty());
    EXPECT_EQ(executable.front(), '/');
    {
        EnvironmentScope home("LUMARRA_HOME", nullptr);
        EXPECT_EQ(GetProgramFolder() + "/" + executable.substr(executable.rfind('/') + 1), executable);
        EXPECT_EQ(GetProgramPath(), executable);
    }
    {
        EnvironmentScope home("LUMARRA_HOME", "/srv/games/lumarra//");
        EXPECT_EQ(GetProgramFolder(), "/srv/games/lumarra");
        EXPECT_EQ(GetProgramPath(), "/srv/games/lumarra" + executable.substr(executable.rfind('/')));
    }
    {
        EnvironmentScope home("LUMARRA_HOME", "");
        EXPECT_EQ(GetProgramPath(), executable);
    }
}
