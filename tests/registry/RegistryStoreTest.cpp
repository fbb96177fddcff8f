#include "platform/CodePage.h"
#include "support/RegistryStore.h"
#include "tests/registry/RegistryTestStore.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr const char* kGameKey = "HKEY_CURRENT_USER\\Software\\Orvella\\Korimba";

struct Resolved {
    RegistryRoot root = RegistryRoot::None;
    std::string subKey;
    int ok = 0;
};

Resolved Resolve(const RegistryStore& store, const char* relative)
{
    Resolved result;
    result.ok = store.ResolvePath(relative, result.root, result.subKey);
    return result;
}

bool KeyExists(const std::string& path)
{
    RegistryKey key;
    return RegistryKey(RegistryRoot::HKEY_CURRENT_USER).Open(path, KEY_READ, key) == RegistryStatus::Success;
}

}

TEST(RegistryStorePaths, SpellingsOfTheGameKeyAllNameTheSameKey)
{
    const char* spellings[] = {
        "HKEY_CURRENT_USER\\Software\\Orvella\\Korimba",
        "hkey_current_user\\software\\orvella\\korimba",
        "  \\\\HKEY_CURRENT_USER\\Software\\Orvella\\Korimba\\\\ \t",
    };
    for (const char* spelling : spellings) {
        RegistryStore store(spelling);
        ASSERT_TRUE(store.IsValid()) << spelling;
        Resolved own = Resolve(store, "");
        EXPECT_EQ(own.root, RegistryRoot::HKEY_CURRENT_USER) << spelling;
        EXPECT_TRUE(own.subKey == "Software\\Orvella\\Korimba" || own.subKey == "software\\orvella\\korimba")
            << own.subKey;
    }
    EXPECT_EQ(RegistryStore(spellings[2]).GetPath(), kGameKey);

    RegistryStore machine("HKEY_LOCAL_MACHINE\\A");
    EXPECT_EQ(Resolve(machine, nullptr).root, RegistryRoot::HKEY_LOCAL_MACHINE);
    EXPECT_EQ(Resolve(machine, nullptr).subKey, "A");
    RegistryStore users("HKEY_USERS\\.Default");
    EXPECT_EQ(Resolve(users, "").subKey, ".Default");
    // Only the start is compared: the next character is skipped, whatever it is.
    RegistryStore glued("HKEY_CLASSES_ROOT_Name");
    EXPECT_EQ(Resolve(glued, "").root, RegistryRoot::HKEY_CLASSES_ROOT);
    EXPECT_EQ(Resolve(glued, "").subKey, "Name");
}

TEST(RegistryStorePaths, ARootNameAloneAddressesTheRootKey)
{
    for (const char* root : { "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CLASSES_ROOT\\" }) {
        RegistryStore store(root);
        EXPECT_TRUE(store.IsValid()) << root;
        Resolved own = Resolve(store, "");
        EXPECT_EQ(own.ok, 1);
        EXPECT_EQ(own.subKey, "") << root;
    }
}

TEST(RegistryStorePaths, PathsWithoutAKnownRootMakeAnInvalidStore)
{
    TestRegistry registry;
    for (const char* path :
        { "HKCU\\Software\\Orvella\\Korimba", "HKEY_CURRENT\\Software", "Software\\Orvella", "", " \\ " }) {
        RegistryStore store(path);
        EXPECT_FALSE(store.IsValid()) << path;
        EXPECT_EQ(store.GetPath(), "");
        EXPECT_EQ(Resolve(store, "").ok, 0);
        int32_t music = 1;
        EXPECT_EQ(store.ReadDword("", "bMusic", music), 0);
        EXPECT_EQ(music, 1);
        EXPECT_EQ(store.WriteDword("", "bMusic", 0), 0);
        EXPECT_EQ(store.CreateKey(""), 0);
    }
    EXPECT_EQ(registry.ReadStore(), "");
}

TEST(RegistryStorePaths, RelativePathsResolveBelowTheStoresKey)
{
    RegistryStore store(kGameKey);
    EXPECT_EQ(Resolve(store, "Network").subKey, "Software\\Orvella\\Korimba\\Network");
    EXPECT_EQ(Resolve(store, " \\Deck\\1\\ ").subKey, "Software\\Orvella\\Korimba\\Deck\\1");
    // A relative path with a root name takes that root and still goes below
    // the store's key.
    Resolved other = Resolve(store, "HKEY_LOCAL_MACHINE\\Other");
    EXPECT_EQ(other.root, RegistryRoot::HKEY_LOCAL_MACHINE);
    EXPECT_EQ(other.subKey, "Software\\Orvella\\Korimba\\Other");

    // Once a store has a root, a path without one is taken below that root.
    RegistryStore moved(kGameKey);
    EXPECT_EQ(moved.SetPath("Software\\Orvella\\Network"), 1);
    EXPECT_EQ(Resolve(moved, "").root, RegistryRoot::HKEY_CURRENT_USER);
    EXPECT_EQ(Resolve(moved, "").subKey, "Software\\Orvella\\Network");
}

TEST(RegistryStorePaths, ATrailingDoubleByteCharacterKeepsItsBackslashTrailByte)
{
    CodePageScope cp932(CodePage::Cp932);
    std::string so = Sjis("ソ");  // 0x83 0x5C
    RegistryStore store("HKEY_CURRENT_USER\\" + so + "\\\\");
    EXPECT_EQ(store.NormalizeKeyPath("\\" + so + "\\"), so);
    EXPECT_EQ(Resolve(store, "").subKey, so);
}

TEST(RegistryStoreValues, MissingValuesLeaveTheCallersDefaults)
{
    TestRegistry registry;
    RegistryStore store(kGameKey);
    int32_t music = 1;
    uint32_t click = 1;
    uint16_t word = 9;
    std::string text = "default";
    uint8_t bytes[4] = { 1, 2, 3, 4 };
    uint32_t size = sizeof bytes;
    uint32_t type = 99;
    EXPECT_EQ(store.ReadDword("", "bMusic", music), 0);
    EXPECT_EQ(store.ReadDword(std::string(), std::string("bClick"), click), 0);
    EXPECT_EQ(store.ReadWord("", "w", word), 0);
    EXPECT_EQ(store.ReadString("", "s", text), 0);
    EXPECT_EQ(store.ReadBinary("", "b", bytes, size), 0);
    EXPECT_EQ(store.QueryValueType("", "b", type), 0);
    EXPECT_EQ(music, 1);
    EXPECT_EQ(click, 1u);
    EXPECT_EQ(word, 9);
    EXPECT_EQ(text, "default");
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(type, 99u);
    // Reads never create the key they look in.
    EXPECT_FALSE(KeyExists("Software"));
}

TEST(RegistryStoreValues, SixteenBitValuesAreWidenedAndCut)
{
    TestRegistry registry;
    RegistryStore store(kGameKey);
    ASSERT_EQ(store.WriteWord("", "w", 65535), 1);
    uint32_t stored = 0;
    uint32_t type = 0;
    ASSERT_EQ(store.ReadDword("", "w", stored), 1);
    EXPECT_EQ(stored, 65535u);
    ASSERT_EQ(store.QueryValueType("", "w", type), 1);
    EXPECT_EQ(type, REG_DWORD);

    ASSERT_EQ(store.WriteDword("", "w", 70000u), 1);
    uint16_t word = 0;
    ASSERT_EQ(store.ReadWord("", "w", word), 1);
    EXPECT_EQ(word, 4464);
}

TEST(RegistryStoreValues, DwordsComeInBothFamiliesAndRefuseLongerData)
{
    TestRegistry registry;
    RegistryStore store(kGameKey);
    ASSERT_EQ(store.WriteDword("", "n", int32_t { -2 }), 1);
    uint32_t unsignedValue = 0;
    int32_t signedValue = 0;
    ASSERT_EQ(store.ReadDword("", "n", unsignedValue), 1);
    ASSERT_EQ(store.ReadDword("", "n", signedValue), 1);
    EXPECT_EQ(unsignedValue, 0xFFFFFFFEu);
    EXPECT_EQ(signedValue, -2);

    const uint8_t five[] = { 1, 2, 3, 4, 5 };
    ASSERT_EQ(store.WriteBinary("", "long", five, sizeof five), 1);
    signedValue = 7;
    EXPECT_EQ(store.ReadDword("", "long", signedValue), 0);
    EXPECT_EQ(signedValue, 7);

    // Two stored bytes are widened with zeros, not mixed into the old value.
    ASSERT_EQ(store.WriteBinary("", "short", five, 2), 1);
    signedValue = -1;
    ASSERT_EQ(store.ReadDword("", "short", signedValue), 1);
    EXPECT_EQ(signedValue, 0x0201);
}

TEST(RegistryStoreValues, StringsCarryTheirTerminatingZero)
{
    TestRegistry registry;
    RegistryStore store(kGameKey);
    ASSERT_EQ(store.WriteString("", "s", "abc"), 1);
    char raw[8] = {};
    uint32_t size = sizeof raw;
    ASSERT_EQ(store.ReadBinary("", "s", raw, size), 1);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(raw, 4), std::string("abc\0", 4));
    uint32_t type = 0;
    ASSERT_EQ(store.QueryValueType("", "s", type), 1);
    EXPECT_EQ(type, REG_SZ);
    std::string text;
    ASSERT_EQ(store.ReadString("", "s", text), 1);
    EXPECT_EQ(text, "abc");

    ASSERT_EQ(store.WriteString(std::string(), std::string("empty"), std::string()), 1);
    text = "x";
    ASSERT_EQ(store.ReadString("", "empty", text), 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(store.WriteString("", "null", nullptr), 0);

    // What was read is cut at its first zero.
    ASSERT_EQ(store.WriteBinary("", "two", "ab\0cd", 5), 1);
    ASSERT_EQ(store.ReadString("", "two", text), 1);
    EXPECT_EQ(text, "ab");
}

TEST(RegistryStoreValues, BinaryValuesReportTheirSizeAndRefuseNullBuffers)
{
    TestRegistry registry;
    RegistryStore store(kGameKey);
    const uint8_t stat[9] = { 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    EXPECT_EQ(store.WriteBinary("", "Edo", nullptr, 9), 0);
    ASSERT_EQ(store.WriteBinary("", "Edo", stat, sizeof stat), 1);

    uint8_t small[4] = {};
    uint32_t size = sizeof small;
    EXPECT_EQ(store.ReadBinary("", "Edo", small, size), 0);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(store.ReadBinary("", "Edo", nullptr, size), 0);

    uint8_t back[16] = {};
    size = sizeof back;
    ASSERT_EQ(store.ReadBinary("", "Edo", back, size), 1);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(std::memcmp(back, stat, 9), 0);
}

TEST(RegistryStoreValues, TheLayersMeetInTheSameKeys)
{
    TestRegistry registry;
    RegistryStore store("HKEY_CURRENT_USER\\Software\\Orvella");
    ASSERT_EQ(store.WriteDword("Network", "Edo", 5u), 1);

    RegistryKey user(RegistryRoot::HKEY_CURRENT_USER);
    uint32_t value = 0;
    ASSERT_EQ(store.ReadDword(user, "software\\orvella\\network", "EDO", value), 1);
    EXPECT_EQ(value, 5u);
    RegistryKey network;
    ASSERT_EQ(user.Open("Software\\Orvella\\Network", KEY_READ, network), RegistryStatus::Success);
    ASSERT_EQ(store.ReadDword(network, "Edo", value), 1);

    // A failed sub-key read does not create the sub-key; a write does.
    EXPECT_EQ(store.ReadDword(user, "Software\\Missing", "Edo", value), 0);
    EXPECT_FALSE(KeyExists("Software\\Missing"));
    ASSERT_EQ(store.WriteString(user, "Software\\Missing", "s", "t"), 1);
    EXPECT_TRUE(KeyExists("Software\\Missing"));

    EXPECT_EQ(store.DeleteValue("Network", "Edo"), 1);
    EXPECT_EQ(store.DeleteValue("Network", "Edo"), 0);
    EXPECT_EQ(store.DeleteValue(std::string("NoKey"), std::string("Edo")), 0);
    EXPECT_EQ(store.CreateKey("Deck\\1"), 1);
    EXPECT_TRUE(KeyExists("Software\\Orvella\\Deck\\1"));
}

TEST(RegistryStoreDelete, TheSystemsTopLevelKeysAndTheRootAreRefused)
{
    TestRegistry registry;
    RegistryStore user("HKEY_CURRENT_USER");
    ASSERT_EQ(user.CreateKey("Software\\Orvella\\Korimba"), 1);
    ASSERT_EQ(user.CreateKey("Control Panel"), 1);
    for (const char* path : { "Software", "\\", "", "software", "\\Software\\", "CONTROL PANEL", ".default", "EUDC" })
        EXPECT_EQ(user.DeleteKey(path), 0) << path;
    EXPECT_TRUE(KeyExists("Software\\Orvella\\Korimba"));
    EXPECT_TRUE(KeyExists("Control Panel"));
    EXPECT_EQ(RegistryStore("HKCU").DeleteKey("Software\\Orvella"), 0);
}

TEST(RegistryStoreDelete, AWholeTreeGoesWithAllItsSubKeys)
{
    TestRegistry registry;
    RegistryStore user("HKEY_CURRENT_USER");
    ASSERT_EQ(user.WriteDword("Software\\Orvella\\Korimba", "bClick", 1), 1);
    ASSERT_EQ(user.WriteDword("Software\\Orvella\\Korimba\\A\\B", "x", 1), 1);
    ASSERT_EQ(user.WriteDword("Software\\Orvella\\Korimba\\A\\C", "x", 1), 1);
    ASSERT_EQ(user.CreateKey("Software\\Orvella\\Korimba\\D"), 1);
    ASSERT_EQ(user.WriteDword("Software\\Orvella\\Network", "Edo", 1), 1);

    EXPECT_EQ(user.DeleteKey(std::string("Software\\Orvella\\Korimba")), 1);
    EXPECT_FALSE(KeyExists("Software\\Orvella\\Korimba"));
    EXPECT_TRUE(KeyExists("Software\\Orvella\\Network"));
    EXPECT_EQ(user.DeleteKey("Software\\Orvella\\Korimba"), 0);

    // A store's own key may be deleted through it when it is below the top.
    RegistryStore network("HKEY_CURRENT_USER\\Software\\Orvella\\Network");
    EXPECT_EQ(network.DeleteKey(""), 1);
    EXPECT_TRUE(KeyExists("Software\\Orvella"));
}

TEST(RegistryStoreDelete, ANameThatIsNoKeyDeletesTheValueOfThatName)
{
    TestRegistry registry;
    RegistryStore user("HKEY_CURRENT_USER");
    ASSERT_EQ(user.WriteDword("Software\\Orvella", "Keep", 1), 1);
    ASSERT_EQ(user.WriteDword("Software\\Orvella", "Drop", 1), 1);
    EXPECT_EQ(user.DeleteKey("Software\\Orvella\\Drop"), 1);
    uint32_t value;
    EXPECT_EQ(user.ReadDword("Software\\Orvella", "Drop", value), 0);
    EXPECT_EQ(user.ReadDword("Software\\Orvella", "Keep", value), 1);

    RegistryKey root(RegistryRoot::HKEY_CURRENT_USER);
    ASSERT_EQ(user.WriteDword("", "TopValue", 1), 1);
    EXPECT_EQ(user.DeleteKeyTree(root, "TopValue"), 1);
    EXPECT_EQ(user.DeleteKeyTree(root, "NoSuchThing"), 0);

    // The part before the last backslash must fit a 256-character buffer.
    std::string longPath = std::string(200, 'a') + "\\" + std::string(100, 'b') + "\\Value";
    EXPECT_EQ(user.DeleteKeyTree(root, longPath.c_str()), 0);
    std::string fits = std::string(200, 'a') + "\\" + std::string(54, 'b');
    ASSERT_EQ(user.WriteDword(fits, "Value", 1), 1);
    EXPECT_EQ(user.DeleteKeyTree(root, (fits + "\\Value").c_str()), 1);
}
