#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/Recipe.h"

#include <gtest/gtest.h>

using namespace lumarra;

TEST(Recipe, LinesHoldCommandArgumentsAndSettings)
{
    Recipe recipe = Recipe::Parse("# comment\n\nbitmap 171 tile w=160 h=160 base=8FD3F4\r\n  card 3\t😝 🌏\n");
    ASSERT_TRUE(recipe.errors.empty());
    ASSERT_EQ(recipe.lines.size(), 2u);
    const RecipeLine& bitmap = recipe.lines[0];
    EXPECT_EQ(bitmap.number, 3);
    EXPECT_EQ(bitmap.command, "bitmap");
    EXPECT_EQ(bitmap.args, (std::vector<std::string> { "171", "tile" }));
    EXPECT_EQ(bitmap.GetInt("w", 0), 160);
    EXPECT_EQ(bitmap.GetColor("base", 0), 0x8FD3F4u);
    EXPECT_EQ(recipe.lines[1].args, (std::vector<std::string> { "3", "😝", "🌏" }));
    EXPECT_EQ(recipe.Find("card").size(), 1u);
    EXPECT_EQ(recipe.First("deck"), nullptr);
}

TEST(Recipe, BadValuesFallBackAndBadLinesAreReported)
{
    Recipe recipe = Recipe::Parse("x w=12px c=GGGGGG d=12345 =5\n" + std::string(5000, 'a') + "\n");
    ASSERT_EQ(recipe.lines.size(), 1u);
    EXPECT_EQ(recipe.lines[0].GetInt("w", 7), 7);
    EXPECT_EQ(recipe.lines[0].GetColor("c", 1), 1u);
    EXPECT_EQ(recipe.lines[0].GetColor("d", 2), 2u);
    EXPECT_EQ(recipe.errors.size(), 2u);  // the nameless setting and the overlong line
    EXPECT_EQ(ParseColor("#FF00FF"), 0xFF00FFu);
    EXPECT_EQ(ParseColor("0x00ff00"), 0x00FF00u);
    EXPECT_FALSE(ParseInt("12 "));
}

TEST(Recipe, Utf8DecodingReplacesBrokenSequences)
{
    EXPECT_EQ(DecodeUtf8("aあ😝"), (std::u32string { U'a', U'あ', U'😝' }));
    // A lead byte cut off at the end, a stray continuation byte, an invalid
    // lead byte: one replacement each, and nothing read past the end.
    EXPECT_EQ(DecodeUtf8("\xE3\x81"), (std::u32string { 0xFFFD, 0xFFFD }));
    EXPECT_EQ(DecodeUtf8("\x80x\xFF"), (std::u32string { 0xFFFD, U'x', 0xFFFD }));
}
