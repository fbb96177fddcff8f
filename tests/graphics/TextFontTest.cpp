#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/FontMatcher.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <numeric>

namespace lumarra {
namespace {

std::string FamilyOf(const FontLocation& location)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return {};
    std::string family;
    FT_Face face = nullptr;
    if (FT_New_Face(library, location.path.c_str(), location.index, &face) == 0) {
        family = face->family_name ? face->family_name : "";
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return family;
}

std::shared_ptr<Font> MakeFont(std::string_view faceUtf8, int height, int width = 0, int weight = 0,
    bool italic = false)
{
    LogFont logFont;
    logFont.height = height;
    logFont.width = width;
    logFont.weight = weight;
    logFont.italic = italic;
    logFont.faceName = Sjis(faceUtf8);
    return Font::Create(logFont);
}

int EmHeight(const Font& font)
{
    return font.GetTextMetrics().height - font.GetTextMetrics().internalLeading;
}

int InkSum(const Glyph& glyph)
{
    return std::accumulate(glyph.coverage.begin(), glyph.coverage.end(), 0);
}

TEST(TextFontTest, WindowsFaceNamesMapToInstalledFaces)
{
    auto gothic = FontMatcher::Match("ＭＳ ゴシック", 400, false);
    auto mincho = FontMatcher::Match("ＭＳ 明朝", 400, false);
    auto dialog = FontMatcher::Match("MS Shell Dlg", 400, false);
    ASSERT_TRUE(gothic && mincho && dialog);
    EXPECT_EQ(FamilyOf(*gothic), "IPAGothic");
    EXPECT_EQ(FamilyOf(*mincho), "IPAMincho");
    EXPECT_EQ(FamilyOf(*dialog), "DejaVu Sans");
    auto lowerCase = FontMatcher::Match("ms gothic", 400, false);
    ASSERT_TRUE(lowerCase);
    EXPECT_EQ(FamilyOf(*lowerCase), "IPAGothic");
}

TEST(TextFontTest, EveryFaceNameDrawsJapanese)
{
    // The dialog face lacks kana and takes them from the fallback; an
    // unknown name gets a face that has them.
    for (std::string_view face : { "MS Shell Dlg", "どこにもない書体", "", "ＭＳ 明朝" }) {
        auto font = MakeFont(face, -20);
        ASSERT_TRUE(font) << face;
        const Glyph& glyph = font->GetGlyph(U'あ');
        EXPECT_FALSE(glyph.missing) << face;
        EXPECT_GT(InkSum(glyph), 0) << face;
    }
}

TEST(TextFontTest, HeightSignSelectsCharacterOrCellHeight)
{
    auto character = MakeFont("ＭＳ ゴシック", -30);
    auto cell = MakeFont("ＭＳ ゴシック", 30);
    ASSERT_TRUE(character && cell);
    EXPECT_EQ(EmHeight(*character), 30);
    EXPECT_GT(character->GetTextMetrics().height, 30);
    EXPECT_NEAR(cell->GetTextMetrics().height, 30, 1);
    EXPECT_LT(EmHeight(*cell), 30);
    EXPECT_EQ(cell->GetTextMetrics().height, cell->GetTextMetrics().ascent + cell->GetTextMetrics().descent);
}

TEST(TextFontTest, PointFontsAreConvertedAt96Dpi)
{
    auto nine = Font::CreatePoint(90, Sjis("ＭＳ ゴシック"));
    auto fourteen = Font::CreatePoint(140, Sjis("ＭＳ ゴシック"));
    auto negative = Font::CreatePoint(-90, Sjis("ＭＳ ゴシック"));
    ASSERT_TRUE(nine && fourteen && negative);
    EXPECT_EQ(EmHeight(*nine), 12);
    EXPECT_EQ(nine->GetLogFont().height, -12);
    // 140 × 96 / 720 = 18.67 rounds to 19.
    EXPECT_EQ(EmHeight(*fourteen), 19);
    EXPECT_EQ(EmHeight(*negative), 12);
}

TEST(TextFontTest, WidthSetsTheAverageCharacterWidth)
{
    auto narrow = MakeFont("ＭＳ ゴシック", -30, 10);
    auto normal = MakeFont("ＭＳ ゴシック", -30);
    ASSERT_TRUE(narrow && normal);
    EXPECT_NEAR(narrow->GetTextMetrics().aveCharWidth, 10, 1);
    EXPECT_NEAR(narrow->GetAdvance(U'a'), 10, 1);
    EXPECT_EQ(normal->GetAdvance(U'a'), 15);
    EXPECT_EQ(normal->GetAdvance(U'あ'), 30);
    // Same height whatever the width.
    EXPECT_EQ(narrow->GetTextMetrics().height, normal->GetTextMetrics().height);
}

TEST(TextFontTest, WeightAndItalicAreSynthesisedOnRegularFaces)
{
    auto regular = MakeFont("ＭＳ ゴシック", -30, 0, 400);
    auto bold = MakeFont("ＭＳ ゴシック", -30, 0, 700);
    auto semiBold = MakeFont("ＭＳ ゴシック", -30, 0, 600);
    auto italic = MakeFont("ＭＳ ゴシック", -30, 0, 400, true);
    ASSERT_TRUE(regular && bold && semiBold && italic);
    const Glyph& plain = regular->GetGlyph(U'永');
    EXPECT_GT(InkSum(bold->GetGlyph(U'永')), InkSum(plain) * 11 / 10);
    EXPECT_GT(InkSum(semiBold->GetGlyph(U'永')), InkSum(plain) * 11 / 10);
    EXPECT_GT(italic->GetGlyph(U'l').width, regular->GetGlyph(U'l').width);
    EXPECT_EQ(bold->GetTextMetrics().weight, 700);
}

TEST(TextFontTest, AbsurdSizesAreBounded)
{
    for (int height : { 2000000000, -2000000000, 1, -1 }) {
        auto font = MakeFont("ＭＳ ゴシック", height, height);
        ASSERT_TRUE(font) << height;
        const Glyph& glyph = font->GetGlyph(U'あ');
        EXPECT_LE(glyph.width, 2048) << height;
        EXPECT_LE(glyph.height, 2048) << height;
    }
}

TEST(TextFontTest, LongFaceNamesAreCutOnCharacterBoundaries)
{
    // 15 double-byte characters and a 16th whose trail byte would be the
    // 32nd: the cut drops it whole.
    std::string name;
    for (int i = 0; i < 16; ++i)
        name += Sjis("あ");
    LogFont logFont;
    logFont.height = -16;
    logFont.faceName = name;
    EXPECT_TRUE(Font::Create(logFont));
}

TEST(TextFontTest, GrayLevelsFollowCoverage)
{
    auto font = MakeFont("ＭＳ ゴシック", -40);
    ASSERT_TRUE(font);
    const Glyph& glyph = font->GetGlyph(U'国');
    ASSERT_GT(glyph.width, 0);
    EXPECT_EQ(glyph.gray65Pitch % 4, 0);
    EXPECT_GE(glyph.gray65Pitch, glyph.width);
    EXPECT_LT(glyph.gray65Pitch, glyph.width + 4);
    bool sawFull = false;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.gray65Pitch; ++x) {
            uint8_t level = glyph.gray65[static_cast<size_t>(y) * glyph.gray65Pitch + x];
            if (x >= glyph.width) {
                EXPECT_EQ(level, 0);
                continue;
            }
            uint8_t coverage = glyph.CoverageAt(x, y);
            EXPECT_LE(level, 64);
            EXPECT_EQ(level == 0, coverage < 2) << int(coverage);
            if (coverage == 255) {
                EXPECT_EQ(level, 64);
                sawFull = true;
            }
        }
    }
    EXPECT_TRUE(sawFull);
}

TEST(TextFontTest, FontsOfOneFaceAndSizeShareTheirGlyphs)
{
    auto first = MakeFont("ＭＳ ゴシック", 30, 15, 600);
    auto second = MakeFont("ＭＳ ゴシック", 30, 15, 600);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(&first->GetGlyph(U'字'), &second->GetGlyph(U'字'));
}

}
}
