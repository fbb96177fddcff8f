#include "app/Settings.h"
#include "tests/support/TestScopes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace lumarra;
using namespace lumarra::test;

namespace {

// A fresh user: an empty registry folder and an empty program folder.
class FreshUser {
public:
    FreshUser()
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.GetNative().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.GetNative().c_str())
    {
    }

    std::string GetStorePath() const { return m_registryFolder.Native("HKEY_CURRENT_USER.reg"); }
    std::string GetWelcomeFile() const { return m_programFolder.Native("startup.ini"); }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void Write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

private:
    TestFolder m_registryFolder;
    TestFolder m_programFolder;
    EnvironmentScope m_registry;
    EnvironmentScope m_home;
};

}

TEST(Settings, AFreshUserStartsInClickModeWithMusicWithoutMaskAndWithTheWelcome)
{
    FreshUser user;
    EXPECT_EQ(ReadClickMode(), 1);
    EXPECT_EQ(ReadMusicSwitch(), 1);
    EXPECT_EQ(ReadMaskAtStart(), 0);
    EXPECT_EQ(IsWelcomeSwitchedOff(), 0);
    // Reading settings writes nothing.
    EXPECT_FALSE(std::filesystem::exists(user.GetStorePath()));
}

TEST(Settings, SwitchesAreStoredAsDwordsInTheGamesKey)
{
    FreshUser user;
    WriteClickMode(0);
    WriteMusicSwitch(0);
    WriteMaskAtStart(1);
    EXPECT_EQ(ReadClickMode(), 0);
    EXPECT_EQ(ReadMusicSwitch(), 0);
    EXPECT_EQ(ReadMaskAtStart(), 1);
    std::string store = FreshUser::Read(user.GetStorePath());
    EXPECT_NE(store.find("[HKEY_CURRENT_USER\\Software\\Orvella\\Korimba]\n"
                         "\"bClick\"=dword:00000000\n"
                         "\"bMaskRun\"=dword:00000001\n"
                         "\"bMusic\"=dword:00000000\n"),
        std::string::npos)
        << store;

    // Any non-zero mode counts as click mode; the caller decides what it means.
    WriteClickMode(2);
    EXPECT_EQ(ReadClickMode(), 2);
}

TEST(Settings, AStoreThatCannotBeWrittenOrReadGivesTheDefaults)
{
    FreshUser user;
    TestFolder elsewhere;
    std::string notAFolder = elsewhere.Native("file");
    FreshUser::Write(notAFolder, "x");
    {
        EnvironmentScope blocked("LUMARRA_REGISTRY_DIR", notAFolder.c_str());
        WriteMusicSwitch(0);
        EXPECT_EQ(ReadMusicSwitch(), 1);
    }

    FreshUser::Write(user.GetStorePath(), "not a store");
    EXPECT_EQ(ReadClickMode(), 1);
    EXPECT_EQ(ReadMaskAtStart(), 0);
    WriteMaskAtStart(1);
    EXPECT_EQ(ReadMaskAtStart(), 1);
    EXPECT_EQ(FreshUser::Read(user.GetStorePath() + ".damaged"), "not a store");
}

TEST(Settings, TheWelcomeSwitchIsAFileThatMentionsNoWelcome)
{
    FreshUser user;
    FreshUser::Write(user.GetWelcomeFile(), "[Settings]\r\nShow=NoWelcome;yes\r\n");
    EXPECT_EQ(IsWelcomeSwitchedOff(), 1);
    FreshUser::Write(user.GetWelcomeFile(), "NoWelcom");
    EXPECT_EQ(IsWelcomeSwitchedOff(), 0);
    FreshUser::Write(user.GetWelcomeFile(), "");
    EXPECT_EQ(IsWelcomeSwitchedOff(), 0);

    EXPECT_EQ(SwitchWelcomeOff(), 1);
    EXPECT_EQ(FreshUser::Read(user.GetWelcomeFile()), "NoWelcome");
    EXPECT_EQ(IsWelcomeSwitchedOff(), 1);
    EXPECT_EQ(SwitchWelcomeOn(), 1);
    EXPECT_FALSE(std::filesystem::exists(user.GetWelcomeFile()));
    EXPECT_EQ(IsWelcomeSwitchedOff(), 0);
    EXPECT_EQ(SwitchWelcomeOn(), 1);
}
