#include "platform/CodePage.h"
#include "platform/RegistryKey.h"
#include "tests/registry/RegistryTestStore.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

const RegistryKey kUser(RegistryRoot::HKEY_CURRENT_USER);

RegistryStatus SetDword(const RegistryKey& key, std::string_view name, uint32_t value)
{
    return key.SetValue(name, REG_DWORD, &value, sizeof value);
}

}

TEST(RegistryKey, KeysAndValuesAreFoundWhateverTheCaseAndKeepTheirOwn)
{
    TestRegistry registry;
    RegistryKey game;
    ASSERT_EQ(kUser.Create("Software\\Orvella\\Korimba", KEY_ALL_ACCESS, game), RegistryStatus::Success);
    ASSERT_EQ(SetDword(game, "bClick", 1), RegistryStatus::Success);
    ASSERT_EQ(SetDword(game, "BCLICK", 0), RegistryStatus::Success);

    RegistryKey again;
    ASSERT_EQ(kUser.Open("SOFTWARE\\orvella\\KORIMBA\\", KEY_READ, again), RegistryStatus::Success);
    uint32_t value = 7;
    uint32_t size = sizeof value;
    uint32_t type = 0;
    ASSERT_EQ(again.QueryValue("bclick", &type, &value, &size), RegistryStatus::Success);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 0u);
    EXPECT_NE(registry.ReadStore().find("[HKEY_CURRENT_USER\\Software\\Orvella\\Korimba]\n\"bClick\"=dword:00000000\n"),
        std::string::npos)
        << registry.ReadStore();

    std::string name;
    RegistryKey software;
    ASSERT_EQ(kUser.Open("software", KEY_READ, software), RegistryStatus::Success);
    ASSERT_EQ(software.EnumKey(0, name), RegistryStatus::Success);
    EXPECT_EQ(name, "Orvella");
    EXPECT_EQ(software.EnumKey(1, name), RegistryStatus::NoMoreItems);
}

TEST(RegistryKey, ReadsNeverCreateKeysFilesOrFolders)
{
    TestRegistry registry;
    EnvironmentScope nowhere("LUMARRA_REGISTRY_DIR", registry.Native("not/yet").c_str());
    RegistryKey key;
    EXPECT_EQ(kUser.Open("Software", KEY_READ, key), RegistryStatus::NotFound);
    EXPECT_FALSE(key.IsOpen());
    uint32_t type;
    EXPECT_EQ(kUser.QueryValue("bClick", &type, nullptr, nullptr), RegistryStatus::NotFound);
    std::string name;
    EXPECT_EQ(kUser.EnumKey(0, name), RegistryStatus::NoMoreItems);
    EXPECT_FALSE(std::filesystem::exists(registry.Native("not")));

    ASSERT_EQ(kUser.Create("Software", KEY_ALL_ACCESS, key), RegistryStatus::Success);
    EXPECT_TRUE(std::filesystem::exists(registry.Native("not/yet/HKEY_CURRENT_USER.reg")));
}

TEST(RegistryKey, QueryValueReportsTheSizeAndLeavesASmallBufferAlone)
{
    TestRegistry registry;
    const char data[] = "twelve bytes";
    ASSERT_EQ(kUser.SetValue("Data", REG_BINARY, data, 12), RegistryStatus::Success);

    uint32_t size = 0;
    EXPECT_EQ(kUser.QueryValue("Data", nullptr, nullptr, &size), RegistryStatus::Success);
    EXPECT_EQ(size, 12u);
    char small[4] = { 'k', 'e', 'e', 'p' };
    size = sizeof small;
    EXPECT_EQ(kUser.QueryValue("Data", nullptr, small, &size), RegistryStatus::MoreData);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(std::string(small, 4), "keep");
    EXPECT_EQ(kUser.QueryValue("Data", nullptr, small, nullptr), RegistryStatus::InvalidParameter);
    EXPECT_EQ(kUser.SetValue("Null", REG_BINARY, nullptr, 3), RegistryStatus::InvalidParameter);
    EXPECT_EQ(kUser.SetValue("Empty", REG_BINARY, nullptr, 0), RegistryStatus::Success);
}

TEST(RegistryKey, HandlesOnlyDoWhatTheyWereOpenedFor)
{
    TestRegistry registry;
    RegistryKey key;
    ASSERT_EQ(kUser.Create("Software", KEY_ALL_ACCESS, key), RegistryStatus::Success);
    RegistryKey reader;
    ASSERT_EQ(kUser.Open("Software", KEY_READ, reader), RegistryStatus::Success);
    EXPECT_EQ(SetDword(reader, "v", 1), RegistryStatus::AccessDenied);
    EXPECT_EQ(reader.DeleteValue("v"), RegistryStatus::AccessDenied);
    RegistryKey created;
    EXPECT_EQ(reader.Create("New", KEY_ALL_ACCESS, created), RegistryStatus::AccessDenied);
    ASSERT_EQ(key.Create("Old", KEY_ALL_ACCESS, created), RegistryStatus::Success);
    // Opening a key that exists needs no right to create.
    EXPECT_EQ(reader.Create("old", KEY_READ, created), RegistryStatus::Success);

    RegistryKey writer;
    ASSERT_EQ(kUser.Open("Software", KEY_SET_VALUE, writer), RegistryStatus::Success);
    uint32_t type;
    EXPECT_EQ(writer.QueryValue("v", &type, nullptr, nullptr), RegistryStatus::AccessDenied);
    std::string name;
    EXPECT_EQ(writer.EnumKey(0, name), RegistryStatus::AccessDenied);

    RegistryKey moved = std::move(key);
    EXPECT_FALSE(key.IsOpen());
    moved.Close();
    EXPECT_EQ(SetDword(moved, "v", 1), RegistryStatus::InvalidHandle);
}

TEST(RegistryKey, DeletingAKeyNeedsItEmptyAndOrphansItsHandles)
{
    TestRegistry registry;
    RegistryKey key;
    ASSERT_EQ(kUser.Create("A\\B", KEY_ALL_ACCESS, key), RegistryStatus::Success);
    EXPECT_EQ(kUser.DeleteKey("A"), RegistryStatus::AccessDenied);
    EXPECT_EQ(kUser.DeleteKey("A\\C"), RegistryStatus::NotFound);
    EXPECT_EQ(kUser.DeleteKey(""), RegistryStatus::BadPath);
    ASSERT_EQ(kUser.DeleteKey("a\\b"), RegistryStatus::Success);
    EXPECT_EQ(SetDword(key, "v", 1), RegistryStatus::KeyDeleted);
    uint32_t type;
    EXPECT_EQ(key.QueryValue("v", &type, nullptr, nullptr), RegistryStatus::KeyDeleted);
    RegistryKey child;
    EXPECT_EQ(key.Create("C", KEY_ALL_ACCESS, child), RegistryStatus::KeyDeleted);
    EXPECT_EQ(kUser.DeleteKey("A"), RegistryStatus::Success);
}

TEST(RegistryKey, MalformedPathsAndOversizedNamesAreRefused)
{
    TestRegistry registry;
    RegistryKey key;
    EXPECT_EQ(kUser.Create("\\A", KEY_ALL_ACCESS, key), RegistryStatus::BadPath);
    EXPECT_EQ(kUser.Create("A\\\\B", KEY_ALL_ACCESS, key), RegistryStatus::BadPath);
    EXPECT_EQ(kUser.Create(std::string(kMaxRegistryKeyNameBytes + 1, 'n'), KEY_ALL_ACCESS, key),
        RegistryStatus::BadPath);
    EXPECT_EQ(kUser.Create(std::string(kMaxRegistryKeyNameBytes, 'n'), KEY_ALL_ACCESS, key), RegistryStatus::Success);

    std::string deep = "k";
    for (size_t i = 1; i < kMaxRegistryDepth; ++i)
        deep += "\\k";
    EXPECT_EQ(kUser.Create(deep, KEY_ALL_ACCESS, key), RegistryStatus::Success);
    EXPECT_EQ(key.Create("k", KEY_ALL_ACCESS, key), RegistryStatus::TooLarge);

    std::vector<uint8_t> big(kMaxRegistryValueBytes + 1);
    EXPECT_EQ(kUser.SetValue("Big", REG_BINARY, big.data(), static_cast<uint32_t>(big.size())),
        RegistryStatus::TooLarge);
    EXPECT_EQ(kUser.SetValue(std::string(kMaxRegistryValueNameBytes + 1, 'v'), REG_BINARY, big.data(), 1),
        RegistryStatus::TooLarge);

    // Each value fits, but together they would pass the store's size limit:
    // the last write fails and the store keeps what it had.
    RegistryStatus status = RegistryStatus::Success;
    int written = 0;
    for (; status == RegistryStatus::Success && written < 40; ++written)
        status = kUser.SetValue(NumberedName("Big", written), REG_BINARY, big.data(), kMaxRegistryValueBytes);
    EXPECT_EQ(status, RegistryStatus::TooLarge);
    std::string before = registry.ReadStore();
    EXPECT_EQ(kUser.SetValue("OneMore", REG_BINARY, big.data(), kMaxRegistryValueBytes), RegistryStatus::TooLarge);
    EXPECT_EQ(registry.ReadStore(), before);
}

TEST(RegistryKey, Cp932NamesWithABackslashTrailByteStayOneKey)
{
    TestRegistry registry;
    CodePageScope cp932(CodePage::Cp932);
    std::string software = Sjis("ソフト");  // ソ is 0x83 0x5C
    RegistryKey key;
    ASSERT_EQ(kUser.Create(software + "\\" + software, KEY_ALL_ACCESS, key), RegistryStatus::Success);
    std::string name;
    ASSERT_EQ(kUser.EnumKey(0, name), RegistryStatus::Success);
    EXPECT_EQ(name, software);
    EXPECT_EQ(kUser.EnumKey(1, name), RegistryStatus::NoMoreItems);
    EXPECT_EQ(kUser.Open(software + "\\" + software, KEY_READ, key), RegistryStatus::Success);
}

TEST(RegistryKey, ADamagedStoreIsMovedAsideKeptAndReadsAsEmpty)
{
    TestRegistry registry;
    std::string store = registry.GetStorePath();
    std::string damaged
        = std::string(kRegistryTextSignature) + "\n[HKEY_CURRENT_USER\\Software]\n\"bClick\"=dword:1\ngarbage\n";
    TestRegistry::WriteFile(store, damaged);

    RegistryKey key;
    EXPECT_EQ(kUser.Open("Software", KEY_READ, key), RegistryStatus::NotFound);
    EXPECT_FALSE(std::filesystem::exists(store));
    EXPECT_EQ(TestRegistry::ReadFile(store + ".damaged"), damaged);

    ASSERT_EQ(SetDword(kUser, "bClick", 1), RegistryStatus::Success);
    TestRegistry::WriteFile(store, "second damage");
    ASSERT_EQ(SetDword(kUser, "bMusic", 1), RegistryStatus::Success);
    EXPECT_EQ(TestRegistry::ReadFile(store + ".damaged"), damaged);
    EXPECT_EQ(TestRegistry::ReadFile(store + ".damaged.2"), "second damage");
    uint32_t type;
    EXPECT_EQ(kUser.QueryValue("bClick", &type, nullptr, nullptr), RegistryStatus::NotFound);
    EXPECT_EQ(kUser.QueryValue("bMusic", &type, nullptr, nullptr), RegistryStatus::Success);
}

TEST(RegistryKey, AStoreThatCannotBeReadIsNeverReplaced)
{
    TestRegistry registry;
    // A folder where the store file belongs can be neither read nor replaced.
    std::filesystem::create_directory(registry.GetStorePath());
    std::filesystem::create_directory(registry.GetStorePath() + "/inside");
    uint32_t type;
    EXPECT_EQ(kUser.QueryValue("bClick", &type, nullptr, nullptr), RegistryStatus::ReadFailed);
    EXPECT_EQ(SetDword(kUser, "bClick", 1), RegistryStatus::WriteFailed);
    EXPECT_TRUE(std::filesystem::exists(registry.GetStorePath() + "/inside"));
    EXPECT_FALSE(std::filesystem::exists(registry.GetStorePath() + ".damaged"));
}

TEST(RegistryKey, StoresLiveInTheUsersConfigurationFolder)
{
    TestFolder folder;
    EnvironmentScope own("LUMARRA_REGISTRY_DIR", nullptr);
    EnvironmentScope home("HOME", folder.Native("home").c_str());
    {
        EnvironmentScope config("XDG_CONFIG_HOME", folder.Native("config").c_str());
        EXPECT_EQ(RegistryFile(RegistryRoot::HKEY_LOCAL_MACHINE).GetPath(),
            folder.Native("config/lumarra/HKEY_LOCAL_MACHINE.reg"));
        ASSERT_EQ(SetDword(kUser, "v", 1), RegistryStatus::Success);
        EXPECT_TRUE(std::filesystem::exists(folder.Native("config/lumarra/HKEY_CURRENT_USER.reg")));
        struct stat info;
        ASSERT_EQ(::stat(folder.Native("config/lumarra").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    EnvironmentScope relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(RegistryFile(RegistryRoot::HKEY_USERS).GetPath(), folder.Native("home/.config/lumarra/HKEY_USERS.reg"));
}

TEST(RegistryKey, TemporariesLeftByAKilledWriterAreRemoved)
{
    TestRegistry registry;
    ASSERT_EQ(SetDword(kUser, "v", 1), RegistryStatus::Success);
    std::string stale = registry.GetStorePath() + ".tmpAbC123";
    TestRegistry::WriteFile(stale, "half");
    ASSERT_EQ(SetDword(kUser, "v", 2), RegistryStatus::Success);
    EXPECT_FALSE(std::filesystem::exists(stale));
}
