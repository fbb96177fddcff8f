#include "platform/gdi/Bitmap.h"
#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace lumarra {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::unique_ptr<Bitmap> MakeBitmap(int depth, int width, int height, bool topDown = false)
{
    std::vector<uint8_t> info(sizeof(BitmapInfoHeader) + 256 * sizeof(RgbQuad));
    BitmapInfoHeader header { sizeof(BitmapInfoHeader), width, topDown ? -height : height, 1,
        static_cast<uint16_t>(depth), BI_RGB, 0, 0, 0, 0, 0 };
    uint8_t* table = info.data() + sizeof header;
    if (depth == 1) {
        const RgbQuad mono[2] = { { 0, 0, 0, 0 }, { 255, 255, 255, 0 } };
        std::memcpy(table, mono, sizeof mono);
    } else if (depth == 4) {
        std::memcpy(table, DefaultColorTable16().data(), 16 * sizeof(RgbQuad));
    } else if (depth == 8) {
        std::memcpy(table, DefaultColorTable256().data(), 256 * sizeof(RgbQuad));
    } else if (depth == 16) {
        header.biCompression = BI_BITFIELDS;
        const uint32_t masks[3] = { 0xF800, 0x07E0, 0x001F };
        std::memcpy(table, masks, sizeof masks);
    }
    std::memcpy(info.data(), &header, sizeof header);
    return Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(info.data()), info.size());
}

void Fill(Bitmap& bitmap, COLORREF color)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            bitmap.SetPixel(x, y, color);
}

TEST(BitmapTest, EveryFormatKeepsItsExactColorsInBothRowOrders)
{
    for (int depth : { 1, 4, 8, 16, 24, 32 }) {
        for (bool topDown : { false, true }) {
            auto bitmap = MakeBitmap(depth, 13, 5, topDown);
            ASSERT_TRUE(bitmap) << depth;
            std::vector<COLORREF> colors = depth == 1 ? std::vector<COLORREF> { kBlack, kWhite }
                                                      : std::vector<COLORREF> { kRed, kGreen, kBlue, kWhite, kBlack };
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    bitmap->SetPixel(x, y, colors[(x + y) % colors.size()]);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(bitmap->GetPixel(x, y), colors[(x + y) % colors.size()])
                        << "depth " << depth << " topDown " << topDown << " at " << x << "," << y;
            // Row 0 is the top row: the first row in memory only when top-down.
            EXPECT_EQ(bitmap->Row(0) == bitmap->GetBits(), topDown);
        }
    }
}

TEST(BitmapTest, SixteenBitPixelsWidenByRepeatingTheirHighBits)
{
    auto bitmap = MakeBitmap(16, 2, 1);
    bitmap->SetPixel(0, 0, RGB(0xFF, 0xFF, 0xFF));
    bitmap->SetPixel(1, 0, RGB(0x84, 0x41, 0x08));
    EXPECT_EQ(bitmap->GetPixel(0, 0), RGB(0xFF, 0xFF, 0xFF));
    // 0x84 -> 10000 -> 0x84, 0x41 -> 010000 -> 0x41, 0x08 -> 00001 -> 0x08.
    EXPECT_EQ(bitmap->GetPixel(1, 0), RGB(0x84, 0x41, 0x08));
    EXPECT_EQ(bitmap->GetRaw(0, 0), 0xFFFFu);
}

TEST(BitmapTest, RejectsAbsurdDescriptions)
{
    BitmapInfo info {};
    info.bmiHeader = { sizeof(BitmapInfoHeader), 100, 100, 1, 24, BI_RGB, 0, 0, 0, 0, 0 };
    EXPECT_TRUE(Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader)));
    info.bmiHeader.biBitCount = 7;
    EXPECT_FALSE(Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader)));
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_FALSE(Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader)));
    info.bmiHeader.biWidth = 60000;
    info.bmiHeader.biHeight = 60000;  // 13 GiB of pixels
    EXPECT_FALSE(Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader)));
    info.bmiHeader.biHeight = 10;
    info.bmiHeader.biCompression = BI_RLE8;
    EXPECT_FALSE(Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader)));
}

TEST(BlitTest, CopiesBetweenEveryPairOfFormatsAndRowOrders)
{
    const int depths[] = { 1, 4, 8, 16, 24, 32 };
    for (int from : depths) {
        for (int to : depths) {
            for (int order = 0; order < 4; ++order) {
                auto source = MakeBitmap(from, 9, 4, order & 1);
                auto target = MakeBitmap(to, 12, 6, order & 2);
                bool mono = from == 1 || to == 1;
                std::vector<COLORREF> colors = mono ? std::vector<COLORREF> { kBlack, kWhite }
                                                    : std::vector<COLORREF> { kRed, kGreen, kBlue, kWhite, kBlack };
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 9; ++x)
                        source->SetPixel(x, y, colors[(x * 3 + y) % colors.size()]);
                Fill(*target, kWhite);
                ASSERT_TRUE(BlitBitmap(*target, 2, 1, 9, 4, source.get(), 0, 0, SRCCOPY));
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 9; ++x)
                        ASSERT_EQ(target->GetPixel(2 + x, 1 + y), colors[(x * 3 + y) % colors.size()])
                            << from << "->" << to << " order " << order << " at " << x << "," << y;
                EXPECT_EQ(target->GetPixel(1, 1), kWhite);
                EXPECT_EQ(target->GetPixel(11, 5), kWhite);
            }
        }
    }
}

TEST(BlitTest, PaletteIndicesPastAShortColorTableCopyAsBlack)
{
    // Card sheets carry 64 or 128 colors; a stray index past the table must
    // read as black in every target format, as single pixels read it.
    const RgbQuad two[2] = { { 0, 0, 255, 0 }, { 0, 255, 0, 0 } };
    for (int to : { 16, 24, 32 }) {
        auto source = MakeBitmap(8, 3, 1);
        source->SetColorTable(two, 2);
        source->Row(0)[0] = 0;
        source->Row(0)[1] = 1;
        source->Row(0)[2] = 200;
        auto target = MakeBitmap(to, 3, 1);
        Fill(*target, kWhite);
        ASSERT_TRUE(BlitBitmap(*target, 0, 0, 3, 1, source.get(), 0, 0, SRCCOPY));
        EXPECT_EQ(target->GetPixel(0, 0), kRed) << to;
        EXPECT_EQ(target->GetPixel(1, 0), kGreen) << to;
        EXPECT_EQ(target->GetPixel(2, 0), kBlack) << to;
    }
}

TEST(BlitTest, WholeRowCopiesLandOnTheRightRows)
{
    for (bool topDown : { false, true }) {
        auto source = MakeBitmap(24, 5, 4, topDown);
        auto target = MakeBitmap(24, 5, 6, topDown);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                source->SetPixel(x, y, RGB(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 9));
        Fill(*target, kWhite);
        ASSERT_TRUE(BlitBitmap(*target, 0, 2, 5, 3, source.get(), 0, 1, SRCCOPY));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(target->GetPixel(x, y),
                    y >= 2 && y < 5 ? RGB(static_cast<uint8_t>(x), static_cast<uint8_t>(y - 1), 9) : kWhite)
                    << topDown << " at " << x << "," << y;
    }
}

TEST(BlitTest, RasterOperationsCombineSourceAndTarget)
{
    struct Case {
        uint32_t rop;
        COLORREF expected;
    };
    constexpr COLORREF source = RGB(0xF0, 0x0F, 0x55);
    constexpr COLORREF target = RGB(0x3C, 0x3C, 0xFF);
    const Case cases[] = {
        { SRCCOPY, source },
        { SRCAND, RGB(0x30, 0x0C, 0x55) },
        { SRCPAINT, RGB(0xFC, 0x3F, 0xFF) },
        { SRCINVERT, RGB(0xCC, 0x33, 0xAA) },
        { NOTSRCCOPY, RGB(0x0F, 0xF0, 0xAA) },
        { DSTINVERT, RGB(0xC3, 0xC3, 0x00) },
        { BLACKNESS, kBlack },
        { WHITENESS, kWhite },
    };
    // Same formats take the byte-wise paths, mixed ones the general one.
    const std::pair<int, int> formats[] = { { 24, 24 }, { 32, 32 }, { 32, 24 }, { 24, 32 } };
    for (auto [fromDepth, toDepth] : formats) {
        for (const Case& c : cases) {
            auto from = MakeBitmap(fromDepth, 3, 1);
            auto to = MakeBitmap(toDepth, 3, 1);
            Fill(*from, source);
            Fill(*to, target);
            ASSERT_TRUE(BlitBitmap(*to, 1, 0, 2, 1, from.get(), 0, 0, c.rop)) << std::hex << c.rop;
            EXPECT_EQ(to->GetPixel(1, 0), c.expected) << std::hex << c.rop << " " << fromDepth << "->" << toDepth;
            EXPECT_EQ(to->GetPixel(2, 0), c.expected) << std::hex << c.rop << " " << fromDepth << "->" << toDepth;
            EXPECT_EQ(to->GetPixel(0, 0), target);
        }
    }
}

TEST(BlitTest, MonoMasksClearWhereTheyAreBlack)
{
    for (int depth : { 24, 16, 8 }) {
        auto mask = MakeBitmap(1, 10, 2);
        auto picture = MakeBitmap(depth, 12, 2);
        for (int x = 0; x < 10; ++x)
            mask->SetPixel(x, 0, x % 3 ? kWhite : kBlack);
        Fill(*picture, kGreen);
        ASSERT_TRUE(BlitBitmap(*picture, 1, 0, 10, 1, mask.get(), 0, 0, SRCAND));
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(picture->GetPixel(1 + x, 0), x % 3 ? kGreen : kBlack) << depth << " at " << x;
        EXPECT_EQ(picture->GetPixel(0, 0), kGreen);
        EXPECT_EQ(picture->GetPixel(11, 0), kGreen);
    }
}

TEST(BlitTest, UnknownRasterOperationFailsAndDrawsNothing)
{
    constexpr uint32_t kPatCopy = 0x00F00021;
    auto from = MakeBitmap(24, 2, 2);
    auto to = MakeBitmap(24, 2, 2);
    Fill(*from, kRed);
    Fill(*to, kBlue);
    DrawContext source(from.get());
    DrawContext target(to.get());
    EXPECT_FALSE(target.BitBlt(0, 0, 2, 2, &source, 0, 0, kPatCopy));
    EXPECT_FALSE(target.StretchBlt(0, 0, 1, 1, &source, 0, 0, 2, 2, kPatCopy));
    EXPECT_EQ(to->GetPixel(0, 0), kBlue);
}

TEST(BlitTest, ClipsRectanglesReachingOutsideEitherBitmap)
{
    auto from = MakeBitmap(24, 4, 4);
    auto to = MakeBitmap(24, 4, 4);
    Fill(*from, kRed);
    Fill(*to, kBlue);
    EXPECT_TRUE(BlitBitmap(*to, -2, 3, 10, 10, from.get(), 0, 0, SRCCOPY));
    EXPECT_EQ(to->GetPixel(0, 3), kRed);
    EXPECT_EQ(to->GetPixel(1, 3), kRed);
    EXPECT_EQ(to->GetPixel(2, 3), kBlue);  // source column 4 does not exist
    EXPECT_EQ(to->GetPixel(0, 2), kBlue);
    EXPECT_FALSE(BlitBitmap(*to, 100, 100, 4, 4, from.get(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BlitBitmap(*to, INT_MIN, 0, INT_MAX, 4, from.get(), INT_MAX, 0, SRCCOPY));
    EXPECT_TRUE(BlitBitmap(*to, INT_MIN + 10, 0, INT_MAX, 4, from.get(), INT_MIN, 0, WHITENESS));
    EXPECT_EQ(to->GetPixel(3, 0), kWhite);
}

TEST(BlitTest, OverlappingCopyInsideOneBitmapReadsTheSourceFirst)
{
    auto bitmap = MakeBitmap(24, 1, 6);
    for (int y = 0; y < 6; ++y)
        bitmap->SetPixel(0, y, RGB(static_cast<uint8_t>(y * 10), 0, 0));
    ASSERT_TRUE(BlitBitmap(*bitmap, 0, 2, 1, 4, bitmap.get(), 0, 0, SRCCOPY));
    for (int y = 2; y < 6; ++y)
        EXPECT_EQ(bitmap->GetPixel(0, y), RGB(static_cast<uint8_t>((y - 2) * 10), 0, 0));
}

TEST(StretchTest, HalftoneAveragesTheSourceArea)
{
    auto from = MakeBitmap(24, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            from->SetPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
    auto to = MakeBitmap(24, 2, 2);
    ASSERT_TRUE(StretchBitmap(*to, 0, 0, 2, 2, *from, 0, 0, 4, 4, SRCCOPY, true));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            int red = GetRValue(to->GetPixel(x, y));
            EXPECT_GE(red, 120);
            EXPECT_LE(red, 135);
        }
    }
    // Sampling picks source pixels instead.
    ASSERT_TRUE(StretchBitmap(*to, 0, 0, 2, 2, *from, 0, 0, 4, 4, SRCCOPY, false));
    COLORREF sampled = to->GetPixel(0, 0);
    EXPECT_TRUE(sampled == kWhite || sampled == kBlack);
}

TEST(StretchTest, EnlargingKeepsUniformAreasExact)
{
    auto from = MakeBitmap(8, 3, 3);
    Fill(*from, kRed);
    auto to = MakeBitmap(16, 30, 30);
    ASSERT_TRUE(StretchBitmap(*to, 0, 0, 30, 30, *from, 0, 0, 3, 3, SRCCOPY, true));
    EXPECT_EQ(to->GetPixel(0, 0), kRed);
    EXPECT_EQ(to->GetPixel(29, 29), kRed);
    EXPECT_EQ(to->GetPixel(15, 15), kRed);
}

TEST(ShapeTest, LinesLeaveOutTheirEndPoint)
{
    auto bitmap = MakeBitmap(24, 10, 10);
    Fill(*bitmap, kWhite);
    DrawContext dc(bitmap.get());
    dc.MoveTo(1, 1);
    ASSERT_TRUE(dc.LineTo(6, 1));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(bitmap->GetPixel(x, 1), kBlack) << x;
    EXPECT_EQ(bitmap->GetPixel(6, 1), kWhite);
    EXPECT_EQ(bitmap->GetPixel(0, 1), kWhite);
    // The current position moved to the end point.
    EXPECT_EQ(dc.MoveTo(0, 0), (Point { 6, 1 }));
}

TEST(ShapeTest, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    auto bitmap = MakeBitmap(24, 10, 10);
    Fill(*bitmap, kWhite);
    DrawContext dc(bitmap.get());
    Pen pen(PS_SOLID, kRed);
    Brush brush(kBlue);
    dc.SelectPen(&pen);
    dc.SelectBrush(&brush);
    ASSERT_TRUE(dc.Rectangle(2, 2, 7, 6));
    EXPECT_EQ(bitmap->GetPixel(2, 2), kRed);
    EXPECT_EQ(bitmap->GetPixel(6, 5), kRed);
    EXPECT_EQ(bitmap->GetPixel(4, 3), kBlue);
    EXPECT_EQ(bitmap->GetPixel(7, 6), kWhite);  // right and bottom edges excluded
    dc.SelectPen(&Pen::Null());
    dc.SelectBrush(&Brush::Null());
    Fill(*bitmap, kWhite);
    ASSERT_TRUE(dc.Rectangle(2, 2, 7, 6));
    EXPECT_EQ(bitmap->GetPixel(2, 2), kWhite);
}

TEST(ShapeTest, PolyFillModeDecidesOverlappingAreas)
{
    // Two overlapping squares drawn the same way round.
    const Point points[] = { { 0, 0 }, { 6, 0 }, { 6, 6 }, { 0, 6 }, { 3, 3 }, { 9, 3 }, { 9, 9 }, { 3, 9 } };
    const int counts[] = { 4, 4 };
    for (int mode : { ALTERNATE, WINDING }) {
        auto bitmap = MakeBitmap(24, 12, 12);
        Fill(*bitmap, kWhite);
        DrawContext dc(bitmap.get());
        Brush brush(kRed);
        dc.SelectBrush(&brush);
        dc.SelectPen(&Pen::Null());
        dc.SetPolyFillMode(mode);
        ASSERT_TRUE(dc.PolyPolygon(points, counts));
        EXPECT_EQ(bitmap->GetPixel(1, 1), kRed);
        EXPECT_EQ(bitmap->GetPixel(7, 7), kRed);
        EXPECT_EQ(bitmap->GetPixel(4, 4), mode == WINDING ? kRed : kWhite) << mode;
        EXPECT_EQ(bitmap->GetPixel(10, 1), kWhite);
    }
}

TEST(ShapeTest, EllipseFillsItsMiddleAndLeavesTheCorners)
{
    auto bitmap = MakeBitmap(24, 21, 21);
    Fill(*bitmap, kWhite);
    DrawContext dc(bitmap.get());
    Brush brush(kGreen);
    dc.SelectBrush(&brush);
    ASSERT_TRUE(dc.Ellipse(0, 0, 21, 21));
    EXPECT_EQ(bitmap->GetPixel(10, 10), kGreen);
    EXPECT_EQ(bitmap->GetPixel(0, 0), kWhite);
    EXPECT_EQ(bitmap->GetPixel(20, 20), kWhite);
    EXPECT_EQ(bitmap->GetPixel(10, 0), kBlack);  // outline at the top
    // A pie of the right half fills right of the centre only.
    Fill(*bitmap, kWhite);
    ASSERT_TRUE(dc.Pie(0, 0, 21, 21, 10, 21, 10, 0));
    EXPECT_EQ(bitmap->GetPixel(15, 10), kGreen);
    EXPECT_EQ(bitmap->GetPixel(4, 10), kWhite);
}

TEST(PaletteTest, DefaultTablesHoldTheirFixedRows)
{
    auto table = DefaultColorTable256();
    auto bytes = [&](int i) {
        return std::vector<int> { table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, table[i].rgbReserved };
    };
    EXPECT_EQ(bytes(1), (std::vector<int> { 128, 0, 0, 0 }));
    EXPECT_EQ(bytes(8), (std::vector<int> { 192, 220, 192, 0 }));
    EXPECT_EQ(bytes(9), (std::vector<int> { 166, 202, 240, 0 }));
    EXPECT_EQ(bytes(13), (std::vector<int> { 17, 17, 17, 0 }));
    EXPECT_EQ(bytes(21), (std::vector<int> { 57, 57, 57, 0 }));
    EXPECT_EQ(bytes(246), (std::vector<int> { 255, 251, 240, 0 }));
    EXPECT_EQ(bytes(247), (std::vector<int> { 160, 160, 164, 0 }));
    EXPECT_EQ(bytes(255), (std::vector<int> { 255, 255, 255, 0 }));
    // The 16-color table: index 1 is dark red, 9 bright red.
    EXPECT_EQ(DefaultColorTable16()[1].rgbRed, 128);
    EXPECT_EQ(DefaultColorTable16()[9].rgbRed, 255);
    EXPECT_EQ(DefaultColorTable16()[9].rgbBlue, 0);
}

TEST(PaletteTest, NearestIndexFindsTheClosestEntry)
{
    const PaletteEntry entries[] = { { 0, 0, 0, 0 }, { 250, 10, 10, 0 }, { 10, 10, 250, 0 } };
    auto palette = Palette::Create(entries);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->NearestIndex(RGB(200, 0, 0)), 1u);
    EXPECT_EQ(palette->NearestIndex(RGB(0, 0, 180)), 2u);
    EXPECT_EQ(palette->NearestIndex(RGB(20, 20, 20)), 0u);
    EXPECT_EQ(Palette::CreateHalftone()->GetCount(), 256u);
    EXPECT_FALSE(Palette::Create({}));
}

TEST(RegionTest, UnitingOverlappingRectanglesCountsEveryPixelOnce)
{
    Region region({ 0, 0, 4, 4 });
    region.Unite({ 2, 2, 6, 6 });
    region.Unite({ 1, 1, 3, 3 });  // already covered
    region.Unite({ 0, 4, 4, 5 });  // a row below the first square
    EXPECT_EQ(region.GetArea(), 16 + 16 - 4 + 4 - 2);
    EXPECT_TRUE(region.Contains(5, 5));
    EXPECT_TRUE(region.Contains(0, 4));
    EXPECT_FALSE(region.Contains(5, 0));
    EXPECT_EQ(region.GetBounds(), (Rect { 0, 0, 6, 6 }));
}

}
}
