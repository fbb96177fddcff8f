#include "platform/gdi/DrawContext.h"
#include "platform/window/ScreenScale.h"
#include "platform/window/SystemMetrics.h"
#include "tests/window/WindowTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(ScreenScaleChoice, LargeScreensGetTwiceAndTheDesktopsScaleWhenHigher)
{
    struct Case {
        Size workArea;
        int desktopScale;
        int factor;
    };
    const Case cases[] = {
        { { 1920, 1050 }, 1, 1 },
        { { 1366, 738 }, 1, 1 },
        // Smaller than the main window: never below 1.
        { { 800, 570 }, 1, 1 },
        { { 2560, 1400 }, 1, 2 },
        { { 3840, 2120 }, 1, 2 },
        { { 3840, 2120 }, 2, 2 },
        { { 3840, 2120 }, 3, 3 },
        // A desktop scale the work area has no room for.
        { { 3840, 2120 }, 4, 3 },
        { { 2560, 1400 }, 3, 2 },
        // Exactly twice the main window, and one pixel short of it.
        { { 1968, 1256 }, 1, 2 },
        { { 1967, 1256 }, 1, 1 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenScale::Choose(c.workArea, c.desktopScale, nullptr), c.factor)
            << c.workArea.width << " x " << c.workArea.height << " at desktop scale " << c.desktopScale;
    }
}

TEST(ScreenScaleChoice, OverrideWinsOnlyWhenItIsAWholeNumberInRange)
{
    EXPECT_EQ(ScreenScale::Choose({ 1024, 738 }, 1, "3"), 3);
    EXPECT_EQ(ScreenScale::Choose({ 3840, 2120 }, 1, "1"), 1);
    EXPECT_EQ(ScreenScale::Choose({ 1024, 738 }, 1, "8"), 8);
    for (const char* ignored : { "", "0", "9", "-2", "2x", "1.5", " 2", "two" })
        EXPECT_EQ(ScreenScale::Choose({ 3840, 2120 }, 1, ignored), 2) << '"' << ignored << '"';
}

class ScreenScaleWindows : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ScreenScale::SetFactor(2);
    }
    void TearDown() override { ScreenScale::SetFactor(1); }
};

TEST_F(ScreenScaleWindows, PixelsOutsideAWindowMapOutsideIt)
{
    EXPECT_EQ(ScreenScale::FromScreen(-1), -1);
    EXPECT_EQ(ScreenScale::FromScreen(-2), -1);
    EXPECT_EQ(ScreenScale::FromScreen(-3), -2);
    EXPECT_EQ(ScreenScale::FromScreen(3), 1);
    EXPECT_EQ(ScreenScale::FromScreen(Rect { -5, 0, 7, 8 }), (Rect { -3, 0, 3, 4 }));
}

// A window of two colors split at an odd column.
class Halves : public Window {
protected:
    void OnPaint(DrawContext& dc) override
    {
        Rect client = GetClientRect();
        dc.FillSolidRect({ 0, 0, kSplit, client.bottom }, kRed);
        dc.FillSolidRect({ kSplit, 0, client.right, client.bottom }, kBlue);
    }
    void OnLButtonUp(unsigned, Point point) override { lastClick = point; }

public:
    static constexpr int kSplit = 7;
    Point lastClick { -1, -1 };
};

TEST_F(ScreenScaleWindows, EveryPixelIsShownAsASharpBlock)
{
    Halves window;
    ASSERT_TRUE(window.Create(WS_POPUP | WS_VISIBLE, 0, { 5, 5, 25, 15 }, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return window.GetPresentedPixel(Halves::kSplit, 3) == kBlue; }));
    EXPECT_EQ(window.GetPresentedPixel(Halves::kSplit - 1, 3), kRed);

    SDL_Window* sdl = SDL_GetWindowFromID(window.GetSdlWindowId());
    ASSERT_NE(sdl, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 20);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->w, 40);
    // Nearest neighbour: the color changes between screen columns 13 and 14
    // and nowhere is there a blend of the two.
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            uint32_t value = 0;
            std::memcpy(&value,
                static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel,
                surface->format->BytesPerPixel);
            uint8_t r = 0, g = 0, b = 0;
            SDL_GetRGB(value, surface->format, &r, &g, &b);
            ASSERT_EQ(RGB(r, g, b), x < Halves::kSplit * 2 ? kRed : kBlue) << x << ", " << y;
        }
    }
}

TEST_F(ScreenScaleWindows, PointerPositionsAreDividedBack)
{
    Halves window;
    ASSERT_TRUE(window.Create(WS_POPUP | WS_VISIBLE, 0, { 5, 5, 45, 35 }, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return window.IsWindowVisible(); }));
    // Both screen pixels of a block reach the same window pixel.
    for (int odd = 0; odd < 2; ++odd) {
        window.lastClick = { -1, -1 };
        SDL_Event event {};
        event.type = SDL_MOUSEBUTTONUP;
        event.button.windowID = window.GetSdlWindowId();
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = SDL_RELEASED;
        event.button.x = 26 + odd;
        event.button.y = 14 + odd;
        SDL_PushEvent(&event);
        ASSERT_TRUE(PumpUntil([&] { return window.lastClick.x >= 0; }));
        EXPECT_EQ(window.lastClick, (Point { 13, 7 }));
    }
}

TEST_F(ScreenScaleWindows, TheWorkAreaIsReportedInWindowUnits)
{
    SDL_Rect usable {};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    Rect area = GetWorkArea();
    EXPECT_EQ(area.GetWidth(), usable.w / 2);
    EXPECT_EQ(area.GetHeight(), usable.h / 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), GetScreenSize().width);
}

TEST_F(ScreenScaleWindows, PicturesForTheScreenAreEnlargedByBlocks)
{
    ScreenScale::SetFactor(3);
    const uint32_t pixels[] = { 1, 2, 3, 4 };
    std::vector<uint32_t> enlarged = ScreenScale::Enlarge(pixels, { 2, 2 });
    ASSERT_EQ(enlarged.size(), 36u);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(enlarged[y * 6 + x], pixels[(y / 3) * 2 + x / 3]) << x << ", " << y;
    }
    EXPECT_TRUE(ScreenScale::Enlarge(std::span(pixels, 3), { 2, 2 }).empty());
}

}
