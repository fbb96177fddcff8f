#include "graphics/DibSurface.h"
#include "platform/CodePage.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/Screen.h"

#include <gtest/gtest.h>

namespace lumarra {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Fills the surface with a color per pixel from `colorAt`.
template <typename ColorAt>
void Paint(DibSurface& surface, ColorAt colorAt)
{
    surface.BeginDraw();
    for (int y = 0; y < surface.GetHeight(); ++y)
        for (int x = 0; x < surface.GetWidth(); ++x)
            surface.SetPixelV(x, y, colorAt(x, y));
    surface.EndDraw();
}

COLORREF Pattern(int x, int y)
{
    return RGB(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 11), static_cast<uint8_t>(x + y));
}

class ScreenSizeGuard {
public:
    explicit ScreenSizeGuard(Size size) { Screen::SetSize(size); }
    ~ScreenSizeGuard() { Screen::SetSize({}); }
};

TEST(DibSurfaceDrawTest, ZeroSizesCopyTheWholeSurface)
{
    DibSurface source(24, 20, 10, kNoColor);
    DibSurface target(24, 30, 30, kNoColor);
    Paint(source, Pattern);
    target.FillSolidRect(0, 0, 30, 30, kWhite);
    DrawContext dc(target.GetBitmap());
    ASSERT_EQ(source.Draw(dc, 5, 6, 0, 0, 0, 0, SRCCOPY), 1);
    EXPECT_EQ(target.GetPixel(5, 6), Pattern(0, 0));
    EXPECT_EQ(target.GetPixel(24, 15), Pattern(19, 9));
    EXPECT_EQ(target.GetPixel(25, 15), kWhite);
    EXPECT_EQ(target.GetPixel(24, 16), kWhite);
}

TEST(DibSurfaceDrawTest, TransparentSurfacesIgnoreTheCallersRasterOperation)
{
    DibSurface keyed(24, 4, 1, kNoColor);
    Paint(keyed, [](int x, int) { return x % 2 ? kMagenta : kRed; });
    keyed.SetTransparentColor(kMagenta);
    ASSERT_TRUE(keyed.GetMask());

    DibSurface target(24, 4, 1, kNoColor);
    target.FillSolidRect(0, 0, 4, 1, kBlue);
    DrawContext dc(target.GetBitmap());
    ASSERT_EQ(keyed.Draw(dc, 0, 0, 0, 0, 0, 0, NOTSRCCOPY), 1);
    EXPECT_EQ(target.GetPixel(0, 0), kRed);
    EXPECT_EQ(target.GetPixel(1, 0), kBlue);

    // Without a key the operation is used as given.
    DibSurface plain(24, 4, 1, kNoColor);
    Paint(plain, [](int, int) { return kRed; });
    ASSERT_EQ(plain.Draw(dc, 0, 0, 0, 0, 0, 0, NOTSRCCOPY), 1);
    EXPECT_EQ(target.GetPixel(1, 0), RGB(0, 255, 255));
    EXPECT_EQ(plain.Draw(dc, 0, 0, 0, 0, 0, 0, 0x00F00021), 0);
}

TEST(DibSurfaceDrawTest, DrawingASurfaceThatIsOpenForDrawingKeepsItOpen)
{
    DibSurface source(24, 8, 8, kNoColor);
    DibSurface target(24, 8, 8, kNoColor);
    source.BeginDraw();
    source.FillSolidRect(0, 0, 8, 8, kRed);
    ASSERT_EQ(target.DrawSurface(source, 0, 0, 0, 0, 0, 0, SRCCOPY), 1);
    // The open context still draws into the surface afterwards.
    source.SetPixelV(1, 1, kBlue);
    source.EndDraw();
    EXPECT_EQ(target.GetPixel(1, 1), kRed);
    EXPECT_EQ(source.GetPixel(1, 1), kBlue);
}

TEST(DibSurfaceDrawTest, TilesStartAtTheSourceOffsetThenRepeatWhole)
{
    DibSurface tile(24, 30, 20, kNoColor);
    Paint(tile, Pattern);
    DibSurface target(24, 100, 50, kNoColor);
    DrawContext dc(target.GetBitmap());
    ASSERT_EQ(tile.DrawTiled(dc, 0, 0, 75, 40, 10, 5, SRCCOPY), 1);
    auto expected = [](int x, int y) {
        int sx = x < 20 ? x + 10 : (x - 20) % 30;
        int sy = y < 15 ? y + 5 : (y - 15) % 20;
        return Pattern(sx, sy);
    };
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 75; ++x)
            ASSERT_EQ(target.GetPixel(x, y), expected(x, y)) << x << "," << y;
    EXPECT_EQ(target.GetPixel(75, 0), kBlack);  // the last column is cut to what remains
}

TEST(DibSurfaceDrawTest, StretchesOfSourcesWiderThanTheScreenGoInParts)
{
    ScreenSizeGuard screen({ 1024, 768 });
    DibSurface source(24, 2000, 4, kNoColor);
    source.FillSolidRect(0, 0, 1001, 4, kRed);
    source.FillSolidRect(1001, 0, 999, 4, kBlue);
    DibSurface target(24, 1000, 4, kNoColor);
    DrawContext dc(target.GetBitmap());
    ASSERT_EQ(source.DrawStretched(dc, 0, 0, 1000, 4, 0, 0, 2000, 4, SRCCOPY), 1);
    // Part one: source columns 0-1000 into 0-500; part two: 1001-1999 into
    // 501-999. Nothing mixes across the cut.
    EXPECT_EQ(target.GetPixel(500, 2), kRed);
    EXPECT_EQ(target.GetPixel(501, 2), kBlue);
    EXPECT_EQ(target.GetPixel(0, 0), kRed);
    EXPECT_EQ(target.GetPixel(999, 3), kBlue);
}

TEST(DibSurfaceDrawTest, StretchInPartsDoesNothingForZeroSizes)
{
    DibSurface source(24, 4, 4, kNoColor);
    source.FillSolidRect(0, 0, 4, 4, kRed);
    DibSurface target(24, 4, 4, kNoColor);
    DrawContext dc(target.GetBitmap());
    DrawContext from(source.GetBitmap());
    target.StretchInParts(dc, 0, 0, 0, 4, from, 0, 0, 4, 4, SRCCOPY);
    target.StretchInParts(dc, 0, 0, 4, 4, from, 0, 0, 4, 0, SRCCOPY);
    EXPECT_EQ(target.GetPixel(0, 0), kBlack);
    EXPECT_EQ(dc.GetStretchBltMode(), HALFTONE);
}

TEST(DibSurfaceDrawTest, ShadeByMaskScalesEachChannelByTheMasksRedByte)
{
    DibSurface target(24, 3, 1, kNoColor);
    Paint(target, [](int, int) { return RGB(201, 100, 7); });
    DibSurface mask(24, 3, 1, kNoColor);
    Paint(mask, [](int x, int) { return x == 0 ? kWhite : x == 1 ? RGB(128, 0, 0) : kBlack; });
    ASSERT_EQ(target.ShadeByMask(mask, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(target.GetPixel(0, 0), RGB(201, 100, 7));
    EXPECT_EQ(target.GetPixel(1, 0), RGB(100, 50, 3));
    EXPECT_EQ(target.GetPixel(2, 0), kBlack);
    // A mask window reaching past the mask is cut to it.
    EXPECT_EQ(target.ShadeByMask(mask, 0, 0, 10, 10, 2, 0), 1);
    EXPECT_EQ(target.GetPixel(0, 0), kBlack);
    EXPECT_EQ(target.GetPixel(1, 0), RGB(100, 50, 3));
}

TEST(DibSurfaceDrawTest, RotationByZeroCopiesTheRectangleUnchanged)
{
    DibSurface source(24, 12, 9, kNoColor);
    Paint(source, Pattern);
    DibSurface target(24, 20, 20, kNoColor);
    Rect out;
    ASSERT_EQ(target.DrawRotated(source, 3, 4, 8, 5, 2, 1, 0.0, &out), 1);
    EXPECT_EQ(out, (Rect { 3, 4, 11, 9 }));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(target.GetPixel(3 + x, 4 + y), Pattern(2 + x, 1 + y)) << x << "," << y;
    EXPECT_EQ(target.GetPixel(11, 4), kBlack);
}

TEST(DibSurfaceDrawTest, RotationByNinetyTurnsTheLeftColumnIntoTheTopRow)
{
    DibSurface source(24, 8, 4, kNoColor);
    Paint(source, [](int x, int) { return x == 0 ? kRed : kWhite; });
    DibSurface target(24, 20, 20, kNoColor);
    target.FillSolidRect(0, 0, 20, 20, kBlue);
    Rect out;
    ASSERT_EQ(target.DrawRotated(source, 0, 0, 8, 4, 0, 0, 90.0, &out), 1);
    // An 8 × 4 rectangle comes out about 4 wide and 8 high.
    EXPECT_NEAR(out.GetWidth(), 4, 1);
    EXPECT_NEAR(out.GetHeight(), 8, 1);
    int redInTopRow = 0;
    for (int x = out.left; x < out.right; ++x)
        redInTopRow += GetRValue(target.GetPixel(x, out.top)) == 255 && GetGValue(target.GetPixel(x, out.top)) < 128;
    EXPECT_GE(redInTopRow, 2);
    EXPECT_NE(target.GetPixel(out.left, out.bottom - 1), kRed);
}

TEST(DibSurfaceDrawTest, DrawFittedCentresTheScaledPicture)
{
    DibSurface source(24, 100, 50, kNoColor);
    source.FillSolidRect(0, 0, 100, 50, kRed);
    DibSurface target(24, 200, 200, kNoColor);
    target.FillSolidRect(0, 0, 200, 200, kWhite);
    ASSERT_EQ(target.DrawFitted(source, 0, 0, 200, 200, SRCCOPY), 1);
    EXPECT_EQ(target.GetPixel(100, 49), kWhite);
    EXPECT_EQ(target.GetPixel(100, 50), kRed);
    EXPECT_EQ(target.GetPixel(0, 149), kRed);
    EXPECT_EQ(target.GetPixel(199, 150), kWhite);
    // A box too small for one pixel of the picture draws nothing rather
    // than the whole picture.
    target.FillSolidRect(0, 0, 200, 200, kWhite);
    EXPECT_EQ(target.DrawFitted(source, 10, 10, 1, 0, SRCCOPY), 0);
    EXPECT_EQ(target.GetPixel(50, 30), kWhite);
}

TEST(DibSurfaceDrawTest, CaptureScreenCopiesOnlyTheVisiblePart)
{
    ScreenSizeGuard screenSize({ 64, 48 });
    DibSurface surface(24, 40, 40, kNoColor);
    EXPECT_EQ(surface.CaptureScreen(0, 0, 0, 0, 0, 0), 0);  // no screen image yet

    DibSurface screen(24, 64, 48, kNoColor);
    Paint(screen, Pattern);
    Screen::SetImage(screen.GetBitmap());
    surface.FillSolidRect(0, 0, 40, 40, kWhite);
    EXPECT_EQ(surface.CaptureScreen(0, 0, 40, 10, -20, 5), 1);
    Screen::SetImage(nullptr);
    EXPECT_EQ(surface.GetPixel(19, 0), kWhite);
    EXPECT_EQ(surface.GetPixel(20, 0), Pattern(0, 5));
    EXPECT_EQ(surface.GetPixel(39, 9), Pattern(19, 14));
    EXPECT_EQ(surface.CaptureScreen(0, 0, 10, 10, 70, 0), 0);  // wholly off screen
}

TEST(DibSurfaceDrawTest, SelectionsLastOnlyInsideABeginDrawBracket)
{
    DibSurface surface(24, 10, 10, kNoColor);
    surface.FillSolidRect(0, 0, 10, 10, kWhite);
    Pen red(PS_SOLID, kRed);

    const Point line[] = { { 0, 1 }, { 5, 1 } };
    surface.SelectPen(&red);
    surface.Polyline(line);
    EXPECT_EQ(surface.GetPixel(2, 1), kBlack);  // the call's own context had the default pen

    surface.BeginDraw();
    surface.SelectPen(&red);
    surface.MoveTo(0, 2);
    surface.LineTo(5, 2);
    surface.EndDraw();
    EXPECT_EQ(surface.GetPixel(2, 2), kRed);
}

TEST(DibSurfaceDrawTest, StyledTextInksInsideItsMeasuredExtentOnly)
{
    const std::string text = Sjis("あいう");
    const std::string face = Sjis("ＭＳ ゴシック");
    DibSurface surface(24, 120, 40, kNoColor);
    surface.FillSolidRect(0, 0, 120, 40, kWhite);
    Rect extent { 0, 0, 0, 0 };
    surface.MeasureText(extent, text, 120, face);
    ASSERT_GT(extent.GetWidth(), 20);
    ASSERT_GT(extent.GetHeight(), 8);
    EXPECT_EQ(surface.GetPixel(5, 5), kWhite);  // measuring draws nothing

    constexpr int kLeft = 4;
    constexpr int kTop = 3;
    ASSERT_EQ(surface.TextOutStyled(kLeft, kTop, text, kRed, 120, face), 1);
    int inked = 0;
    int outside = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (surface.GetPixel(x, y) == kWhite)
                continue;
            bool inBox = x >= kLeft && x < kLeft + extent.GetWidth() && y >= kTop && y < kTop + extent.GetHeight();
            (inBox ? inked : outside) += 1;
        }
    }
    EXPECT_GT(inked, 30);
    EXPECT_EQ(outside, 0);
}

TEST(DibSurfaceDrawTest, NearestColorUsesThePalette)
{
    DibSurface indexed(8, 4, 4, kNoColor);
    EXPECT_EQ(indexed.NearestColor(RGB(250, 3, 2)), RGB(255, 0, 0));
    DibSurface empty;
    EXPECT_EQ(empty.NearestColor(RGB(250, 3, 2)), RGB(250, 3, 2));
}

TEST(DibSurfaceDrawTest, OperationsOnAnEmptySurfaceFailQuietly)
{
    DibSurface empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_EQ(empty.GetWidth(), 0);
    EXPECT_EQ(empty.GetBits(), nullptr);
    EXPECT_EQ(empty.GetPixelAddress(0, 0), nullptr);
    EXPECT_EQ(empty.SetPixelV(0, 0, kRed), 0);
    EXPECT_EQ(empty.FillSolidRect(0, 0, 4, 4, kRed), 0);
    EXPECT_EQ(empty.GetPixel(0, 0), CLR_INVALID);
    DibSurface target(24, 4, 4, kNoColor);
    EXPECT_EQ(target.DrawSurface(empty, 0, 0, 0, 0, 0, 0, SRCCOPY), 0);
    EXPECT_EQ(target.DrawFitted(empty, 0, 0, 4, 4, SRCCOPY), 0);
}

}
}
