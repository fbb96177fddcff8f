#include "platform/CodePage.h"
#include "platform/RegistryText.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

std::vector<uint8_t> Bytes(std::string_view text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A store file as the program writes it, around `body`.
std::string Store(std::string_view body)
{
    return std::string(kRegistryTextSignature) + "\n" + std::string(body) + std::string(kRegistryTextEnd) + "\n";
}

bool Parses(std::string_view text)
{
    RegistryNode root;
    return ParseRegistryText(text, kRoot, root);
}

}

TEST(RegistryText, EveryKindOfValueAndNameSurvivesARoundTrip)
{
    RegistryNode root { std::string(kRoot) };
    RegistryNode& game = root.AddSubKey("Software").AddSubKey("Orvella").AddSubKey("Korimba");
    game.SetValue({ "bClick", 4, { 1, 0, 0, 0 } });
    game.SetValue({ "Title", 1, Bytes(std::string_view("Lumarra\0", 8)) });
    game.SetValue({ "NoZero", 1, Bytes("abc") });
    game.SetValue({ "TwoTexts", 1, Bytes(std::string_view("a\0b\0", 4)) });
    game.SetValue({ "ShortDword", 4, { 1, 2, 3 } });
    game.SetValue({ "Multi", 7, Bytes(std::string_view("x\0\0", 3)) });
    game.SetValue({ "", 3, {} });
    std::vector<uint8_t> everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.push_back(static_cast<uint8_t>(i));
    game.SetValue({ "Table", 3, everyByte });
    std::string oddName = "50% \"quoted\" back\\slash\nnew line \x83\x5C";
    game.SetValue({ oddName, 1, Bytes(oddName + '\0') });
    root.AddSubKey("Software").AddSubKey(oddName);
    root.AddSubKey("Empty");
    root.SetValue({ "AtRoot", 4, { 0xFF, 0xFF, 0xFF, 0xFF } });

    std::string text = PrintRegistryText(root, kRoot);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Orvella\\Korimba]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"bClick\"=dword:00000001\n"), std::string::npos);
    EXPECT_NE(text.find("\"Title\"=\"Lumarra\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"50%25 %22quoted%22 back%5Cslash%0Anew line %83%5C\""), std::string::npos);
    for (char c : text)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "unprintable byte " << int(static_cast<uint8_t>(c));

    RegistryNode parsed;
    ASSERT_TRUE(ParseRegistryText(text, kRoot, parsed));
    EXPECT_EQ(PrintRegistryText(parsed, kRoot), text);
    const RegistryNode* key = parsed.FindPath({ "software", "ORVELLA", "Korimba" });
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue("table")->data, everyByte);
    EXPECT_EQ(key->FindValue("NoZero")->data, Bytes("abc"));
    EXPECT_EQ(key->FindValue("ShortDword")->type, 4u);
    EXPECT_EQ(key->FindValue("ShortDword")->data.size(), 3u);
    EXPECT_EQ(key->FindValue("Multi")->type, 7u);
    EXPECT_EQ(key->FindValue(oddName)->data, Bytes(oddName + '\0'));
    EXPECT_NE(key->FindValue(""), nullptr);
    EXPECT_NE(parsed.FindPath({ "Software", oddName }), nullptr);
    EXPECT_NE(parsed.FindPath({ "Empty" }), nullptr);
    EXPECT_EQ(parsed.FindValue("AtRoot")->data, (std::vector<uint8_t> { 0xFF, 0xFF, 0xFF, 0xFF }));
}

TEST(RegistryText, EmptyStoresAndHandWrittenFilesAreRead)
{
    RegistryNode root;
    EXPECT_TRUE(ParseRegistryText("", kRoot, root));
    EXPECT_EQ(root.GetSubKeyCount(), 0u);

    std::string edited = "\xEF\xBB\xBF"
        + Store("; comment\r\n"
                "# another\r\n"
                "   \r\n"
                "[hkey_current_user\\Software\\A]\r\n"
                "  \"x\"=dword:1f  \r\n"
                "[HKEY_CURRENT_USER\\SOFTWARE\\a]\r\n"
                "\"Y\"=hex:01,02,\\\r\n"
                "     03\r\n"
                "@=\"unnamed\"\r\n");
    ASSERT_TRUE(ParseRegistryText(edited, kRoot, root));
    ASSERT_EQ(root.GetSubKeyCount(), 1u);
    const RegistryNode* key = root.FindPath({ "software", "a" });
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetName(), "A");
    EXPECT_EQ(key->FindValue("X")->data, (std::vector<uint8_t> { 0x1F, 0, 0, 0 }));
    EXPECT_EQ(key->FindValue("y")->data, (std::vector<uint8_t> { 1, 2, 3 }));
    EXPECT_EQ(key->FindValue("")->data, Bytes(std::string_view("unnamed\0", 8)));
}

TEST(RegistryText, FilesOfTheFirstVersionNeedNoEndLine)
{
    RegistryNode root;
    std::string old = "Lumarra Registry 1\n[HKEY_CURRENT_USER\\Software]\n\"bMusic\"=dword:0\n";
    ASSERT_TRUE(ParseRegistryText(old, kRoot, root));
    EXPECT_EQ(root.FindPath({ "Software" })->FindValue("bMusic")->data, (std::vector<uint8_t> { 0, 0, 0, 0 }));
    // The end line belongs to the second version only.
    EXPECT_FALSE(Parses(old + std::string(kRegistryTextEnd) + "\n"));
}

TEST(RegistryText, TheEndLineMustBeThereAndLast)
{
    std::string body = "[HKEY_CURRENT_USER\\Software]\n\"bMusic\"=dword:00000000\n";
    EXPECT_TRUE(Parses(Store(body)));
    EXPECT_TRUE(Parses(Store(body) + "\n  \n"));
    EXPECT_FALSE(Parses(std::string(kRegistryTextSignature) + "\n" + body));
    EXPECT_FALSE(Parses(Store(body) + body));
    EXPECT_FALSE(Parses(Store(body) + "; a comment\n"));
    EXPECT_FALSE(Parses(Store(body) + std::string(kRegistryTextEnd) + "\n"));
    // A value continued onto the end line swallows it.
    EXPECT_FALSE(Parses(Store("[HKEY_CURRENT_USER]\n\"v\"=hex:01,\\\n")));
}

// A file cut short at any byte (a full disk, a copy broken off) must never
// read as another store: either the same tree, or refused. Cut to nothing it
// is an empty file, which is the empty store and the defaults, as a damaged
// file gives.
TEST(RegistryText, AStoreCutAtAnyByteIsRefused)
{
    RegistryNode root { std::string(kRoot) };
    RegistryNode& game = root.AddSubKey("Software").AddSubKey("Orvella").AddSubKey("Korimba");
    game.SetValue({ "bClick", 4, { 1, 0, 0, 0 } });
    game.SetValue({ "bMusic", 4, { 0, 0, 0, 0 } });
    game.SetValue({ "bMaskRun", 4, { 1, 0, 0, 0 } });
    std::vector<uint8_t> takeTimes(60, 0x5A);
    root.AddSubKey("Software").AddSubKey("Orvella").AddSubKey("Network").SetValue({ "Edo", 3, takeTimes });
    root.AddSubKey("Empty");
    std::string text = PrintRegistryText(root, kRoot);

    RegistryNode whole;
    ASSERT_TRUE(ParseRegistryText(text, kRoot, whole));
    for (size_t cut = 1; cut < text.size(); ++cut) {
        RegistryNode part;
        if (ParseRegistryText(std::string_view(text).substr(0, cut), kRoot, part)) {
            EXPECT_EQ(PrintRegistryText(part, kRoot), text) << "read whole when cut at " << cut;
        }
    }
    RegistryNode nothing;
    ASSERT_TRUE(ParseRegistryText("", kRoot, nothing));
    EXPECT_EQ(nothing.GetSubKeyCount(), 0u);
}

TEST(RegistryText, MalformedFilesAreRefusedAndLeaveAnEmptyTree)
{
    EXPECT_FALSE(Parses("[HKEY_CURRENT_USER\\A]\n"));
    EXPECT_FALSE(Parses("Lumarra Registry 3\n"));
    const char* bad[] = {
        "\"v\"=dword:1\n",
        "[HKEY_LOCAL_MACHINE\\A]\n",
        "[HKEY_CURRENT_USER\\A\n",
        "[HKEY_CURRENT_USER\\\\A]\n",
        "[HKEY_CURRENT_USER\\A\\]\n",
        "[HKEY_CURRENT_USER\\A%4]\n",
        "[HKEY_CURRENT_USER\\A%GG]\n",
        "[HKEY_CURRENT_USER]\n\"v=dword:1\n",
        "[HKEY_CURRENT_USER]\n\"v\"dword:1\n",
        "[HKEY_CURRENT_USER]\n\"v\"=dword:\n",
        "[HKEY_CURRENT_USER]\n\"v\"=dword:123456789\n",
        "[HKEY_CURRENT_USER]\n\"v\"=dword:12x4\n",
        "[HKEY_CURRENT_USER]\n\"v\"=hex:1\n",
        "[HKEY_CURRENT_USER]\n\"v\"=hex:01,\n",
        "[HKEY_CURRENT_USER]\n\"v\"=hex:01;02\n",
        "[HKEY_CURRENT_USER]\n\"v\"=hex(:01\n",
        "[HKEY_CURRENT_USER]\n\"v\"=hex(123456789):01\n",
        "[HKEY_CURRENT_USER]\n\"v\"=\"text\" trailing\n",
        "[HKEY_CURRENT_USER]\n\"v\"=\"unterminated\n",
        "[HKEY_CURRENT_USER]\n\"v\"=\"%\"\n",
        "[HKEY_CURRENT_USER]\njunk\n",
    };
    for (const char* body : bad) {
        std::string text = Store(body);
        RegistryNode root;
        EXPECT_FALSE(ParseRegistryText(text, kRoot, root)) << body;
        EXPECT_EQ(root.GetSubKeyCount(), 0u) << body;
        EXPECT_EQ(root.GetValueCount(), 0u) << body;
    }
}

TEST(RegistryText, InputBeyondTheLimitsIsRefused)
{
    std::string deep = "[HKEY_CURRENT_USER";
    for (size_t i = 0; i < kMaxRegistryDepth; ++i)
        deep += "\\k";
    EXPECT_TRUE(Parses(Store(deep + "]\n")));
    EXPECT_FALSE(Parses(Store(deep + "\\k]\n")));

    std::string longName(kMaxRegistryKeyNameBytes, 'n');
    EXPECT_TRUE(Parses(Store("[HKEY_CURRENT_USER\\" + longName + "]\n")));
    EXPECT_FALSE(Parses(Store("[HKEY_CURRENT_USER\\" + longName + "n]\n")));

    auto binary = [](size_t count) {
        std::string text = "[HKEY_CURRENT_USER]\n\"v\"=hex:";
        for (size_t i = 0; i < count; ++i)
            text += i ? ",\\\n  00" : "00";
        return Store(text + "\n");
    };
    EXPECT_TRUE(Parses(binary(kMaxRegistryValueBytes)));
    EXPECT_FALSE(Parses(binary(kMaxRegistryValueBytes + 1)));

    std::string longLine = "[HKEY_CURRENT_USER]\n\"v\"=\"" + std::string(kMaxRegistryLineBytes, 'a') + "\"\n";
    EXPECT_FALSE(Parses(Store(longLine)));
    std::string endlessContinuation = "[HKEY_CURRENT_USER]\n\"v\"=hex:";
    while (endlessContinuation.size() <= kMaxRegistryLineBytes + 16)
        endlessContinuation += "00,\\\n";
    EXPECT_FALSE(Parses(Store(endlessContinuation)));

    std::string huge = Store(std::string(kMaxRegistryFileBytes, ';'));
    EXPECT_FALSE(Parses(huge));
}

TEST(RegistryText, Cp932NamesAreFoldedOnlyInSingleByteCharacters)
{
    SetSystemCodePage(CodePage::Cp932);
    // 0x83 0x61 and 0x83 0x41 are two different double-byte characters whose
    // trail bytes happen to be 'a' and 'A'.
    RegistryNode root;
    root.AddSubKey("\x83\x61");
    root.AddSubKey("\x83\x41");
    root.AddSubKey("x\x83\x61");
    EXPECT_EQ(root.GetSubKeyCount(), 3u);
    EXPECT_NE(root.FindSubKey("X\x83\x61"), nullptr);
    EXPECT_EQ(root.FindSubKey("X\x83\x41"), nullptr);
    SetSystemCodePage(CodePage::Utf8);
}
