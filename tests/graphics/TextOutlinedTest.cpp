#include "graphics/DibSurface.h"
#include "graphics/OutlinedText.h"
#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/TextLayout.h"

#include "tests/graphics/TextTestBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumarra {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The blend of one pixel as the renderer defines it.
COLORREF Expected(COLORREF background, COLORREF ink, int value)
{
    int b = 4 * value - 1;
    int a = 255 - b;
    auto channel = [&](int under, int over) { return under * a / 255 + over * b / 255; };
    return RGB(channel(GetRValue(background), GetRValue(ink)), channel(GetGValue(background), GetGValue(ink)),
        channel(GetBValue(background), GetBValue(ink)));
}

// Paints a glyph of `width` × `height` values (pitch 4) at (left, top) over a
// 16 × 16 bitmap of `paper`.
struct Painted {
    std::unique_ptr<Bitmap> bitmap;
    COLORREF At(int x, int y) const { return bitmap->GetPixel(x, y); }
};

Painted Paint(std::vector<uint8_t> values, int width, int height, COLORREF paper, COLORREF ink, COLORREF shade,
    int pitch = 4)
{
    Painted painted { MakeBitmap24(16, 16, paper) };
    DrawContext dc(painted.bitmap.get());
    // The vector holds exactly the bitmap, so a read past its end is caught
    // by the address sanitizer.
    values.resize(static_cast<size_t>(pitch) * height);
    GrayGlyph glyph { width, height, pitch, 0, 0, width, values.data() };
    PaintGrayGlyph(dc, glyph, 4, 4, ink, shade);
    return painted;
}

TEST(TextOutlinedPixelTest, InkWeightDecidesWhetherTheBackgroundIsRead)
{
    constexpr COLORREF kInk = RGB(0x60, 0x30, 0xF0);
    for (COLORREF paper : { kWhite, kBlack, RGB(10, 200, 90) }) {
        // Full ink is exactly the text color.
        EXPECT_EQ(Paint({ 64 }, 1, 1, paper, kInk, kNoColor).At(4, 4), kInk);
        // v = 38 (b = 151) blends against the text color: the paper does not matter.
        EXPECT_EQ(Paint({ 38 }, 1, 1, paper, kInk, kNoColor).At(4, 4), Expected(kInk, kInk, 38));
        // v = 37 (b = 147) reads and mixes the real background.
        EXPECT_EQ(Paint({ 37 }, 1, 1, paper, kInk, kNoColor).At(4, 4), Expected(paper, kInk, 37));
    }
    EXPECT_NE(Paint({ 37 }, 1, 1, kWhite, kInk, kNoColor).At(4, 4),
        Paint({ 37 }, 1, 1, kBlack, kInk, kNoColor).At(4, 4));
    // Black ink on white: b = 151 gives pure black, b = 147 a mid grey.
    EXPECT_EQ(Paint({ 38 }, 1, 1, kWhite, kBlack, kNoColor).At(4, 4), kBlack);
    EXPECT_EQ(Paint({ 37 }, 1, 1, kWhite, kBlack, kNoColor).At(4, 4), RGB(108, 108, 108));
    // Value 0 leaves the paper alone.
    EXPECT_EQ(Paint({ 0 }, 1, 1, kWhite, kBlack, kNoColor).At(4, 4), kWhite);
}

TEST(TextOutlinedPixelTest, ShadeFallsOnTheLowerRightEdge)
{
    constexpr COLORREF kShade = RGB(0x80, 0x80, 0x80);
    // A solid 2 × 2 block: pixels whose right or lower neighbour is inked put
    // the shade below-right of themselves; the top-left one's shade is then
    // painted over by the block itself.
    Painted block = Paint({ 64, 64, 0, 0, 64, 64 }, 2, 2, kWhite, kBlack, kShade);
    EXPECT_EQ(block.At(4, 4), kBlack);
    EXPECT_EQ(block.At(5, 5), kBlack);
    EXPECT_EQ(block.At(6, 5), kShade);
    EXPECT_EQ(block.At(5, 6), kShade);
    EXPECT_EQ(block.At(6, 6), kWhite);
    EXPECT_EQ(block.At(6, 4), kWhite);
    EXPECT_EQ(block.At(4, 6), kWhite);

    // The shade is weighted by the edge pixel's own ink.
    Painted soft = Paint({ 20, 64 }, 2, 1, kWhite, kBlack, RGB(0, 0, 255));
    EXPECT_EQ(soft.At(5, 5), Expected(kWhite, RGB(0, 0, 255), 20));
    // A glyph that fills its rows to the last byte ends there: nothing below
    // or after the last value is read or shaded.
    Painted full = Paint({ 64, 64, 64, 64 }, 4, 1, kWhite, kBlack, kShade);
    EXPECT_EQ(full.At(8, 5), kWhite);
    EXPECT_EQ(full.At(7, 5), kShade);
    // At the end of a row the next value is the next row's first one.
    Painted wrap = Paint({ 0, 0, 0, 64, 64, 0, 0, 0 }, 4, 2, kWhite, kBlack, kShade);
    EXPECT_EQ(wrap.At(8, 5), kShade);
}

TEST(TextOutlinedPixelTest, NoShadeChangesOnlyInkedPixels)
{
    std::vector<uint8_t> values { 10, 40, 64, 0, 0, 64, 5, 0 };
    Painted painted = Paint(values, 3, 2, kWhite, RGB(200, 0, 0), kNoColor);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int col = x - 4;
            int row = y - 4;
            bool inked = row >= 0 && row < 2 && col >= 0 && col < 4 && values[row * 4 + col] != 0;
            EXPECT_EQ(painted.At(x, y) != kWhite, inked) << x << "," << y;
        }
    }
}

TEST(TextOutlinedPixelTest, GlyphsOffTheBitmapAreClipped)
{
    auto bitmap = MakeBitmap24(4, 4, kWhite);
    DrawContext dc(bitmap.get());
    std::vector<uint8_t> values(16, 64);
    GrayGlyph glyph { 4, 4, 4, 0, 0, 4, values.data() };
    PaintGrayGlyph(dc, glyph, -2, 2, kBlack, RGB(1, 2, 3));
    PaintGrayGlyph(dc, glyph, 3, -3, kBlack, RGB(1, 2, 3));
    EXPECT_EQ(bitmap->GetPixel(0, 3), kBlack);
    EXPECT_EQ(bitmap->GetPixel(3, 0), kBlack);
    EXPECT_EQ(bitmap->GetPixel(0, 0), kWhite);
}

class TextOutlinedCaptionTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 80;
    static constexpr Rect kBox { 40, 10, 360, 70 };

    void SetUp() override
    {
        m_surface = std::make_unique<DibSurface>(24, kWidth, kHeight, kNoColor);
        ASSERT_TRUE(m_surface->IsValid());
        m_surface->FillSolidRect(0, 0, kWidth, kHeight, kWhite);
    }

    // Each style through its surface operation.
    int Draw(OutlinedTextStyle style, std::string_view text, COLORREF shade = kNoColor,
        const std::string& face = Sjis("ＭＳ ゴシック"))
    {
        DibSurface& s = *m_surface;
        constexpr int kSize = 30;
        switch (style) {
        case OutlinedTextStyle::Baseline:
            return s.DrawOutlinedText(text, kBox.left, kBox.top, kBox.GetWidth(), kBox.GetHeight(), face, kSize, 400,
                kBlack, shade);
        case OutlinedTextStyle::Bottom:
            return s.DrawOutlinedTextBottom(text, kBox.left, kBox.top, kBox.GetWidth(), kBox.GetHeight(), face, kSize,
                kBlack, shade);
        case OutlinedTextStyle::Plain:
            break;
        }
        return s.DrawOutlinedTextPlain(text, kBox.left, kBox.top, kBox.GetWidth(), kBox.GetHeight(), face, kSize,
            kBlack, shade);
    }

    COLORREF At(int x, int y) const { return m_surface->GetBitmap()->GetPixel(x, y); }

    Rect InkBox(Rect area) const
    {
        Rect box { kWidth, kHeight, 0, 0 };
        area = area.Intersect({ 0, 0, kWidth, kHeight });
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (At(x, y) != kWhite)
                    box = { std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                        std::max(box.bottom, y + 1) };
        return box;
    }

    std::unique_ptr<DibSurface> m_surface;
};

TEST_F(TextOutlinedCaptionTest, EveryStyleInksAJapaneseCaptionInsideItsBox)
{
    for (OutlinedTextStyle style :
        { OutlinedTextStyle::Baseline, OutlinedTextStyle::Bottom, OutlinedTextStyle::Plain }) {
        SetUp();
        EXPECT_EQ(Draw(style, Sjis("ひらがなの勉強"), RGB(0x80, 0x80, 0x80)), 1);
        Rect ink = InkBox({ 0, 0, kWidth, kHeight });
        ASSERT_FALSE(ink.IsEmpty()) << static_cast<int>(style);
        EXPECT_EQ(ink.Intersect(kBox), ink) << static_cast<int>(style);
        // Seven full-width characters of a font 30 high whose half-width
        // characters are 15 wide: about 30 pixels each, all of them inked
        // (no empty boxes from a missing font).
        EXPECT_GT(ink.GetWidth(), 7 * 30 * 3 / 4);
        EXPECT_LT(ink.GetWidth(), 7 * 30 * 5 / 4);
        EXPECT_GT(ink.GetHeight(), 15);
        int fullyInked = 0;
        for (int y = ink.top; y < ink.bottom; ++y)
            for (int x = ink.left; x < ink.right; ++x)
                fullyInked += At(x, y) == kBlack;
        EXPECT_GT(fullyInked, 100);
    }
}

TEST_F(TextOutlinedCaptionTest, CaptionsAreCentred)
{
    Draw(OutlinedTextStyle::Plain, Sjis("あいう"));
    Rect ink = InkBox({ 0, 0, kWidth, kHeight });
    int centreX = (ink.left + ink.right) / 2;
    int centreY = (ink.top + ink.bottom) / 2;
    EXPECT_NEAR(centreX, (kBox.left + kBox.right) / 2, 3);
    EXPECT_NEAR(centreY, (kBox.top + kBox.bottom) / 2, 3);
}

TEST_F(TextOutlinedCaptionTest, BaselineKeepsMarksHighWhileBottomAlignsThem)
{
    // "ー" is a bar at mid height: on the baseline it floats above the
    // bottom of "あ"; bottom alignment puts its lowest ink on the same row.
    Draw(OutlinedTextStyle::Baseline, Sjis("あー"));
    int middle = (kBox.left + kBox.right) / 2;
    Rect kanaBaseline = InkBox({ 0, 0, middle, kHeight });
    Rect barBaseline = InkBox({ middle + 2, 0, kWidth, kHeight });
    EXPECT_LT(barBaseline.bottom, kanaBaseline.bottom - 5);

    SetUp();
    Draw(OutlinedTextStyle::Bottom, Sjis("あー"));
    Rect kanaBottom = InkBox({ 0, 0, middle, kHeight });
    Rect barBottom = InkBox({ middle + 2, 0, kWidth, kHeight });
    EXPECT_EQ(barBottom.bottom, kanaBottom.bottom);
}

TEST_F(TextOutlinedCaptionTest, TrailingSpaceShiftsTheGroup)
{
    // A proportional face: the last glyph's trailing space counts in the
    // Bottom style, not in Plain.
    auto drawLeft = [&](OutlinedTextStyle style) {
        SetUp();
        Draw(style, "ij", kNoColor, "MS Shell Dlg");
        return InkBox({ 0, 0, kWidth, kHeight }).left;
    };
    LogFont logFont;
    logFont.height = 30;
    logFont.width = 15;
    logFont.weight = kOutlinedTextWeight;
    logFont.faceName = "MS Shell Dlg";
    auto font = Font::Create(logFont);
    ASSERT_TRUE(font);
    const Glyph& last = font->GetGlyph(U'j');
    int trailing = last.advance - last.originX - last.width;
    ASSERT_NE(trailing, 0);
    EXPECT_NEAR(drawLeft(OutlinedTextStyle::Bottom) - drawLeft(OutlinedTextStyle::Plain), trailing / 2, 1);
}

TEST_F(TextOutlinedCaptionTest, EmptyTextDrawsNothing)
{
    EXPECT_EQ(Draw(OutlinedTextStyle::Baseline, ""), 0);
    // A lone lead byte is no character.
    EXPECT_EQ(Draw(OutlinedTextStyle::Plain, "\x82"), 0);
    EXPECT_TRUE(InkBox({ 0, 0, kWidth, kHeight }).IsEmpty());
}

TEST(TextOutlinedContextTest, FontSelectionIsPutBack)
{
    auto bitmap = MakeBitmap24(100, 40, kWhite);
    DrawContext dc(bitmap.get());
    auto before = dc.GetFont();
    EXPECT_EQ(RenderOutlinedText(dc, OutlinedTextStyle::Bottom, Sjis("かるた"), 0, 0, 100, 40, Sjis("ＭＳ ゴシック"),
                  20, 400, kBlack, kNoColor),
        1);
    EXPECT_EQ(dc.GetFont(), before);
}

}
}
