#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/TextLayout.h"
#include "platform/gdi/TextRenderer.h"

#include "tests/graphics/TextTestBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumarra {
namespace {

class TextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LogFont logFont;
        logFont.height = -20;
        logFont.faceName = Sjis("ＭＳ ゴシック");
        m_font = Font::Create(logFont);
        ASSERT_TRUE(m_font);
        m_lineHeight = m_font->GetTextMetrics().height;
        m_half = m_font->GetAdvance(U'a');
        m_full = m_font->GetAdvance(U'あ');
    }

    int Lines(std::string_view text, int width, unsigned format)
    {
        Rect rect { 0, 0, width, 1000 };
        TextRun run;
        TextLayout::LayoutDrawText(m_font, text, rect, format | DT_CALCRECT, run);
        return rect.GetHeight() / m_lineHeight;
    }

    std::shared_ptr<const Font> m_font;
    int m_lineHeight = 0;
    int m_half = 0;
    int m_full = 0;
};

TEST_F(TextLayoutTest, CalcRectMeasuresWithoutPlacing)
{
    std::string text = Sjis("かるた abc");
    Rect rect { 10, 20, 11, 21 };
    TextRun run;
    int height = TextLayout::LayoutDrawText(m_font, text, rect, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP, run);
    Size extent = TextLayout::MeasureExtent(*m_font, text);
    EXPECT_EQ(extent.width, 3 * m_full + 4 * m_half);
    EXPECT_EQ(rect, (Rect { 10, 20, 10 + extent.width, 20 + m_lineHeight }));
    EXPECT_EQ(height, m_lineHeight);
    EXPECT_TRUE(run.glyphs.empty());
}

TEST_F(TextLayoutTest, WordBreakWrapsAtSpacesAndBetweenJapaneseCharacters)
{
    // Two three-letter words fit in seven half widths, three do not.
    EXPECT_EQ(Lines("aaa bbb ccc", 7 * m_half, DT_WORDBREAK), 2);
    // Any two Japanese characters may be split.
    EXPECT_EQ(Lines(Sjis("あいうえお"), m_full * 5 / 2, DT_WORDBREAK), 3);
    // Closing punctuation and small kana stay with the character before.
    // ("あ" "い。" "う", not "あい" "。う").
    EXPECT_EQ(Lines(Sjis("あい。う"), m_full * 5 / 2, DT_WORDBREAK), 3);
    EXPECT_EQ(Lines(Sjis("きゃく"), m_full * 3 / 2, DT_WORDBREAK), 2);
    // A word wider than the line stays whole.
    EXPECT_EQ(Lines("abcdefghij", 3 * m_half, DT_WORDBREAK), 1);
    EXPECT_EQ(Lines("abcdefghij klm", 3 * m_half, DT_WORDBREAK), 2);
    // Without DT_WORDBREAK, or on a single line, nothing wraps.
    EXPECT_EQ(Lines(Sjis("あいうえお"), m_full, 0), 1);
    EXPECT_EQ(Lines(Sjis("あいうえお"), m_full, DT_WORDBREAK | DT_SINGLELINE), 1);
    // Line ends break in every spelling; a single line ignores them.
    EXPECT_EQ(Lines("a\r\nb\nc\rd", 100, 0), 4);
    EXPECT_EQ(Lines("a\r\nb", 100, DT_SINGLELINE), 1);
    EXPECT_EQ(Lines("a\n\nb", 100, 0), 3);
    EXPECT_EQ(Lines("a\r\n", 100, 0), 1);
}

TEST_F(TextLayoutTest, WrappedLinesDropTheSpacesAtTheBreak)
{
    Rect rect { 0, 0, 4 * m_half, 200 };
    TextRun run;
    TextLayout::LayoutDrawText(m_font, "ab    cd", rect, DT_WORDBREAK | DT_NOCLIP, run);
    ASSERT_EQ(run.cells.size(), 2u);
    EXPECT_EQ(run.cells[0].GetWidth(), 2 * m_half);
    EXPECT_EQ(run.cells[1], (Rect { 0, m_lineHeight, 2 * m_half, 2 * m_lineHeight }));
}

TEST_F(TextLayoutTest, CentredSingleLineSitsInTheMiddle)
{
    Rect rect { 100, 50, 300, 150 };
    TextRun run;
    int height
        = TextLayout::LayoutDrawText(m_font, Sjis("まんなか"), rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, run);
    ASSERT_EQ(run.cells.size(), 1u);
    const Rect& cell = run.cells[0];
    EXPECT_EQ(cell.left - rect.left, (rect.GetWidth() - 4 * m_full) / 2);
    EXPECT_EQ(cell.top - rect.top, (rect.GetHeight() - m_lineHeight) / 2);
    EXPECT_EQ(height, cell.bottom - rect.top);
    EXPECT_EQ(run.glyphs.size(), 4u);
    EXPECT_TRUE(run.clipped);
    EXPECT_EQ(run.clip, rect);

    Rect right { 0, 0, 100, 100 };
    TextLayout::LayoutDrawText(m_font, "ab", right, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOCLIP, run);
    EXPECT_EQ(run.cells[0], (Rect { 100 - 2 * m_half, 100 - m_lineHeight, 100, 100 }));
    EXPECT_FALSE(run.clipped);
}

TEST_F(TextLayoutTest, DoubleByteCharactersStayWhole)
{
    // "表" and "ソ" end in 0x5C, the backslash byte.
    std::string text = Sjis("表ソ");
    ASSERT_EQ(text.size(), 4u);
    ASSERT_EQ(text[1], '\x5C');
    auto characters = TextLayout::SplitCharacters(text);
    ASSERT_EQ(characters.size(), 2u);
    EXPECT_EQ(TextLayout::DecodeCharacter(characters[0]), U'表');
    EXPECT_EQ(TextLayout::DecodeCharacter(characters[1]), U'ソ');
    EXPECT_EQ(TextLayout::MeasureExtent(*m_font, text).width, 2 * m_full);
    // A lead byte cut off by the end is dropped, not paired with what follows.
    EXPECT_EQ(TextLayout::SplitCharacters(Sjis("あ") + "\x82").size(), 1u);
    EXPECT_EQ(TextLayout::MeasureExtent(*m_font, "\x82").width, 0);
    // Half-width katakana are single bytes; unmapped bytes decode safely.
    EXPECT_EQ(TextLayout::DecodeCharacter("\xB1"), U'ｱ');
    EXPECT_EQ(TextLayout::DecodeCharacter("\x80"), U'\xFFFD');
    EXPECT_EQ(TextLayout::DecodeCharacter("\xA0"), U'\xFFFD');
    EXPECT_EQ(TextLayout::DecodeCharacter("\xFD"), U'\xFFFD');
    EXPECT_EQ(TextLayout::DecodeCharacter(std::string_view("\x85\x40", 2)), U'\xFFFD');
}

TEST_F(TextLayoutTest, PrefixesAndTabs)
{
    Rect rect { 0, 0, 500, 100 };
    TextRun run;
    TextLayout::LayoutDrawText(m_font, "&File", rect, DT_SINGLELINE | DT_NOCLIP, run);
    EXPECT_EQ(run.glyphs.size(), 4u);
    ASSERT_EQ(run.bars.size(), 1u);
    EXPECT_EQ(run.bars[0].left, 0);
    EXPECT_EQ(run.bars[0].right, m_half);
    TextLayout::LayoutDrawText(m_font, "a&&b", rect, DT_SINGLELINE, run);
    EXPECT_EQ(run.cells[0].GetWidth(), 3 * m_half);
    EXPECT_TRUE(run.bars.empty());
    TextLayout::LayoutDrawText(m_font, "a&b", rect, DT_SINGLELINE | DT_NOPREFIX, run);
    EXPECT_EQ(run.cells[0].GetWidth(), 3 * m_half);

    int stop = 8 * m_font->GetTextMetrics().aveCharWidth;
    TextLayout::LayoutDrawText(m_font, "a\tb", rect, DT_SINGLELINE | DT_EXPANDTABS, run);
    EXPECT_EQ(run.cells[0].GetWidth(), stop + m_half);
    TextLayout::LayoutDrawText(m_font, "a\tb", rect, DT_SINGLELINE, run);
    EXPECT_EQ(run.cells[0].GetWidth(), 2 * m_half);
}

TEST_F(TextLayoutTest, ExternalLeadingAddsToEachLine)
{
    LogFont logFont;
    logFont.height = -20;
    logFont.faceName = "MS Shell Dlg";
    std::shared_ptr<const Font> font = Font::Create(logFont);
    ASSERT_TRUE(font);
    int leading = font->GetTextMetrics().externalLeading;
    Rect plain { 0, 0, 100, 100 };
    Rect led = plain;
    TextRun run;
    TextLayout::LayoutDrawText(font, "a\nb", plain, DT_CALCRECT, run);
    TextLayout::LayoutDrawText(font, "a\nb", led, DT_CALCRECT | DT_EXTERNALLEADING, run);
    EXPECT_EQ(led.GetHeight(), plain.GetHeight() + 2 * leading);
}

Rect InkBox(const Bitmap& bitmap, COLORREF paper)
{
    Rect box { bitmap.GetWidth(), bitmap.GetHeight(), 0, 0 };
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            if (bitmap.GetPixel(x, y) == paper)
                continue;
            box = { std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                std::max(box.bottom, y + 1) };
        }
    }
    return box;
}

TEST_F(TextLayoutTest, RendererInksInsideTheClipAndFillsOpaqueCells)
{
    constexpr COLORREF kPaper = RGB(255, 255, 255);
    constexpr COLORREF kInk = RGB(0, 0, 128);
    auto bitmap = MakeBitmap24(200, 60, kPaper);
    ASSERT_TRUE(bitmap);
    Rect rect { 0, 0, 200, 60 };
    TextRun run;
    TextLayout::LayoutDrawText(m_font, Sjis("ぬりえ"), rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, run);
    ASSERT_TRUE(RenderText(*bitmap, run, kInk, TRANSPARENT, 0));
    Rect ink = InkBox(*bitmap, kPaper);
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_EQ(ink.Intersect(run.cells[0]), ink);

    // A clip through the middle keeps the right half clean.
    auto clipped = MakeBitmap24(200, 60, kPaper);
    Rect left { 0, 0, 100, 60 };
    RenderText(*clipped, run, kInk, TRANSPARENT, 0, &left);
    EXPECT_LE(InkBox(*clipped, kPaper).right, 100);

    auto opaque = MakeBitmap24(200, 60, kPaper);
    RenderText(*opaque, run, kInk, OPAQUE, RGB(255, 0, 0));
    EXPECT_EQ(InkBox(*opaque, kPaper), run.cells[0]);
    EXPECT_EQ(opaque->GetPixel(run.cells[0].left, run.cells[0].top), RGB(255, 0, 0));
}

TEST(TextBlendTest, CoverageBlendsLinearly)
{
    EXPECT_EQ(BlendCoverage(RGB(255, 255, 255), RGB(0, 0, 0), 255), RGB(0, 0, 0));
    EXPECT_EQ(BlendCoverage(RGB(255, 255, 255), RGB(0, 0, 0), 0), RGB(255, 255, 255));
    EXPECT_EQ(BlendCoverage(RGB(200, 0, 100), RGB(0, 200, 100), 128), RGB(100, 100, 100));
}

}
}
