#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace lumarra;

TEST(CodePage, RoundTripsJapaneseThroughCp932)
{
    std::string utf8 = "いろはにほへと 表ソ能";
    std::string sjis = Utf8ToCp932(utf8);
    EXPECT_EQ(sjis.size(), 7u * 2 + 1 + 3 * 2);
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
    EXPECT_EQ(Cp932ToUtf32(sjis).size(), 11u);
}

TEST(CodePage, UnmappableInputBecomesQuestionMarks)
{
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80z"), "a????z");
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a?");
}

TEST(CodePage, CharLengthStepsWholeCharactersAndStopsAtTheEnd)
{
    std::string sjis = Utf8ToCp932("ソa");  // ソ is 0x83 0x5C: a backslash trail byte
    ASSERT_EQ(sjis,
        "\x83\x5C"
        "a");
    EXPECT_EQ(CharLength(sjis, 0, CodePage::Cp932), 2u);
    EXPECT_EQ(CharLength(sjis, 2, CodePage::Cp932), 1u);
    EXPECT_EQ(CharLength(sjis, 3, CodePage::Cp932), 0u);
    EXPECT_EQ(CharLength("\x83", 0, CodePage::Cp932), 1u);

    std::string utf8 = "é表😀";
    EXPECT_EQ(CharLength(utf8, 0, CodePage::Utf8), 2u);
    EXPECT_EQ(CharLength(utf8, 2, CodePage::Utf8), 3u);
    EXPECT_EQ(CharLength(utf8, 5, CodePage::Utf8), 4u);
    EXPECT_EQ(CharLength("\xE8\xA1", 0, CodePage::Utf8), 2u);
}
