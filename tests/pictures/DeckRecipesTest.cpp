#include "tools/pictures/DeckLayout.h"
#include "tools/pictures/DeckSheets.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/ScenePictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace lumarra;

namespace {

bool HasError(const std::vector<std::string>& errors, const std::string& part)
{
    return std::any_of(errors.begin(), errors.end(), [&](const std::string& e) { return e.find(part) != e.npos; });
}

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
        DeckSheets sheets(*emoji, *recipe,
            LoadStringTable(SourcePath(std::string("resources/strings/") + deck + ".txt")));
        EXPECT_TRUE(sheets.GetErrors().empty()) << deck << ": " << sheets.GetErrors().front();
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
        EXPECT_EQ(canvas.GetWidth(), line.GetInt("w", 0));
    }
}

TEST(DeckRecipes, BadRecipesAreReported)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    ASSERT_TRUE(emoji);
    Recipe recipe = Recipe::Parse("deck edo frame=2B4C9B\ncard 0 🐕\ncard x 🐕\ncard 1 nothing\n");
    DeckSheets sheets(*emoji, recipe, { { 2000, "い" } });
    auto has = [&](const std::string& part) { return HasError(sheets.GetErrors(), part); };
    EXPECT_TRUE(has("line 3: expected card"));
    EXPECT_TRUE(has("line 4: no emoji nothing"));
    EXPECT_TRUE(has("card 2 has no picture"));
    EXPECT_TRUE(has("card 1 has no head kana"));
    EXPECT_FALSE(has("card 0 has no"));
    EXPECT_FALSE(DeckSheets(*emoji, Recipe::Parse("deck nowhere\n"), {}).GetErrors().empty());

    // Two cards of a deck may share a background picture but never their
    // main one, however the emoji is spelt; our own drawings count as pictures.
    Recipe repeats
        = Recipe::Parse("deck owari\ncard 0 ⛩️ 🌲\ncard 1 🌲 ⛩\ncard 2 ⛩\ncard 3 @tofu\ncard 4 @nothing\n");
    const std::vector<std::string> repeated = DeckSheets(*emoji, repeats, {}).GetErrors();
    auto reports = [&](const std::string& part) { return HasError(repeated, part); };
    EXPECT_TRUE(reports("line 4: card 2 repeats the main picture of card 0"));
    EXPECT_FALSE(reports("card 1 repeats"));
    EXPECT_FALSE(reports("no emoji @tofu"));
    EXPECT_TRUE(reports("line 6: no emoji @nothing"));

    ScenePictures pictures(*emoji);
    std::vector<std::string> bad;
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 nosuch w=5 h=5\n").lines[0], bad).Empty());
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 tile w=0 h=5\n").lines[0], bad).Empty());
    EXPECT_TRUE(pictures.Paint(Recipe::Parse("bitmap 1 tile w=99999 h=5\n").lines[0], bad).Empty());
    EXPECT_EQ(bad.size(), 3u);
}

TEST(ScenePictures, BuildWritesTheResourceAndItsContactPicture)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    ASSERT_TRUE(emoji);
    ScenePictures pictures(*emoji);
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "lumarra-scene-pictures-test";
    std::filesystem::remove_all(dir);
    auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    // A keyed picture: corners in the key color, the emoji drawn in the middle.
    // Rows are bottom-up, blue-green-red, 24 bits, width 40 needs no padding.
    std::vector<std::string> errors;
    ASSERT_TRUE(pictures.Build(Recipe::Parse("bitmap 900 emoji w=40 h=40 key=1 emoji=🐕\n").lines[0], dir / "keyed.dib",
        dir, errors));
    std::vector<uint8_t> keyed = read(dir / "keyed.dib");
    ASSERT_EQ(keyed.size(), 40u + 40 * 40 * 3);
    auto pixel = [](const std::vector<uint8_t>& dib, int x, int y) {
        size_t at = 40 + (static_cast<size_t>(39 - y) * 40 + x) * 3;
        return uint32_t(dib[at + 2]) << 16 | uint32_t(dib[at + 1]) << 8 | dib[at];
    };
    EXPECT_EQ(pixel(keyed, 0, 0), 0xFF00FFu);
    EXPECT_NE(pixel(keyed, 20, 20), 0xFF00FFu);
    EXPECT_TRUE(std::filesystem::exists(dir / "bitmap900.png"));
    // The same picture unkeyed lies on its background color.
    ASSERT_TRUE(pictures.Build(Recipe::Parse("bitmap 901 emoji w=40 h=40 bg=7FA65A emoji=🐕\n").lines[0],
        dir / "laid.dib", dir, errors));
    EXPECT_EQ(pixel(read(dir / "laid.dib"), 0, 0), 0x7FA65Au);
    // A cursor keeps its hot spot; an unknown kind is refused.
    ASSERT_TRUE(pictures.Build(Recipe::Parse("cursor 902 hand sizes=32 emoji=👆 hotx=13 hoty=2\n").lines[0],
        dir / "hand.cur", dir, errors));
    std::vector<uint8_t> cursor = read(dir / "hand.cur");
    ASSERT_GE(cursor.size(), 22u);
    EXPECT_EQ(cursor[2], 2);
    EXPECT_EQ(cursor[10], 13);
    EXPECT_EQ(cursor[12], 2);
    EXPECT_FALSE(pictures.Build(Recipe::Parse("sound 903 x w=1 h=1\n").lines[0], dir / "x", dir, errors));
    EXPECT_TRUE(errors.size() == 1 && errors[0].find("unknown kind sound") != std::string::npos);
    std::filesystem::remove_all(dir);
}
