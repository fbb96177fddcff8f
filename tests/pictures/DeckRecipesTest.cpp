#include "tools/pictures/DeckLayout.h"
#include "tools/pictures/DeckSheets.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/ScenePictures.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lumarra;

namespace {

std::string SourcePath(const std::string& relative)
{
    const char* root = std::getenv("LUMARRA_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}

}

TEST(DeckLayout, CardsAndTheirTexts)
{
    const DeckLayout* edo = DeckLayout::Find("edo");
    const DeckLayout* owari = DeckLayout::Find("owari");
    const DeckLayout* aiueo = DeckLayout::Find("aiueo");
    ASSERT_TRUE(edo && owari && aiueo && DeckLayout::Find("kamigata"));
    EXPECT_EQ(edo->cards.size(), 48u);
    EXPECT_EQ(owari->cards.size(), 47u);
    EXPECT_EQ(aiueo->cards.size(), 46u);
    EXPECT_EQ(edo->ReadIndexOf(51), 47);
    EXPECT_EQ(edo->KanaStringId(51), 2470);
    EXPECT_EQ(edo->KanaStringId(2), 2000);
    EXPECT_EQ(owari->ReadIndexOf(51), -1);
    EXPECT_EQ(aiueo->ReadIndexOf(50), 44);
    EXPECT_EQ(aiueo->KanaStringId(50), 1088);
    EXPECT_EQ(aiueo->ReadIndexOf(47), -1);
    EXPECT_EQ(edo->ReadIndexOf(37), -1);
}

// The recipes in the repository name a picture for every card, every emoji
// exists in the face, and every picture line is understood.
TEST(DeckRecipes, EveryCardHasItsPictureAndKana)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    ASSERT_TRUE(emoji) << "fonts-noto-color-emoji is needed";
    for (const char* deck : { "edo", "kamigata", "owari", "aiueo" }) {
        std::optional<Recipe> recipe = Recipe::Load(SourcePath(std::string("resources/pictures/") + deck + ".txt"));
        ASSERT_TRUE(recipe) << deck;
        DeckSheets sheets(*emoji, *recipe, LoadStringTable(SourcePath(std::string("resources/strings/") + deck + ".txt")));
        EXPECT_TRUE(sheets.Errors().empty()) << deck << ": " << sheets.Errors().front();
    }
    std::optional<Recipe> screens = Recipe::Load(SourcePath("resources/pictures/screens.txt"));
    ASSERT_TRUE(screens);
    ScenePictures pictures(*emoji);
    for (const RecipeLine& line : screens->lines) {
        if (line.command != "bitmap")
            continue;
        std::vector<std::string> errors;
        Canvas canvas = pictures.Paint(line, errors);
        EXPECT_FALSE(canvas.Empty()) << "line " << line.number;
        EXPECT_EQ(canvas.Width(), line.GetInt("w", 0));
    }
}

TEST(DeckRecipes, BadRecipesAreReported)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    ASSERT_TRUE(emoji);
    Recipe recipe = Recipe::Parse("deck edo frame=2B4C9B\ncard 0 🐕\ncard x 🐕\ncard 1 nothing\n");
    DeckSheets sheets(*emoji, recipe, { { 2000, "い" } });
    const std::vector<std::string>& errors = sheets.Errors();
    auto has = [&](const std::string& part) {
        return std::any_of(errors.begin(), errors.end(), [&](const std::string& e) { return e.find(part) != e.npos; });
    };
    EXPECT_TRUE(has("line 3: expected card"));
    EXPECT_TRUE(has("line 4: no emoji nothing"));
    EXPECT_TRUE(has("card 2 has no picture"));
    EXPECT_TRUE(has("card 1 has no head kana"));
    EXPECT_FALSE(has("card 0 has no"));
    EXPECT_FALSE(DeckSheets(*emoji, Recipe::Parse("deck nowhere\n"), {}).Errors().empty());

    ScenePictures pictures(*emoji);
    std::vector<std::string> bad;
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 nosuch w=5 h=5\n").lines[0], bad).Empty());
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 tile w=0 h=5\n").lines[0], bad).Empty());
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 tile w=99999 h=5\n").lines[0], bad).Empty());
    EXPECT_EQ(bad.size(), 3u);
}
