#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/window/CaptionColors.h"
#include "platform/window/ClientBuffer.h"
#include "platform/window/WindowFrame.h"
#include "platform/window/WindowTypes.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

constexpr Size kSize { 200, 120 };
constexpr uint32_t kCaptioned = WS_POPUP | WS_CAPTION | WS_SYSMENU;

TEST(WindowFrame, PointsHitTheCloseButtonCaptionBorderAndClient)
{
    WindowFrame frame(kCaptioned, kSize);
    WindowFrame::Insets insets = frame.GetInsets();
    EXPECT_EQ(frame.HitTest({ kSize.width - 10, 10 }), HTCLOSE);
    EXPECT_EQ(frame.HitTest({ 10, 10 }), HTCAPTION);
    EXPECT_EQ(frame.HitTest({ 0, 60 }), HTBORDER);
    EXPECT_EQ(frame.HitTest({ kSize.width - 1, kSize.height - 1 }), HTBORDER);
    EXPECT_EQ(frame.HitTest({ insets.left, insets.top }), HTCLIENT);
    EXPECT_EQ(frame.HitTest({ -1, 10 }), HTNOWHERE);
    EXPECT_EQ(frame.HitTest({ kSize.width, 10 }), HTNOWHERE);
    // Without a system menu there is no close button to hit.
    EXPECT_EQ(WindowFrame(WS_POPUP | WS_CAPTION, kSize).HitTest({ kSize.width - 10, 10 }), HTCAPTION);
}

TEST(WindowFrame, OnlyTopLevelWindowsWithABorderOrCaptionHaveInsets)
{
    auto area = [](uint32_t style) {
        WindowFrame::Insets insets = WindowFrame::InsetsFor(style);
        return insets.left + insets.top + insets.right + insets.bottom;
    };
    EXPECT_EQ(area(WS_POPUP), 0);
    EXPECT_EQ(area(WS_CHILD | WS_CAPTION), 0);
    EXPECT_EQ(area(WS_POPUP | WS_BORDER), 4);
    WindowFrame::Insets captioned = WindowFrame::InsetsFor(kCaptioned);
    EXPECT_GT(captioned.top, captioned.bottom);
    EXPECT_EQ(WindowFrame(WS_POPUP, kSize).HitTest({ 0, 0 }), HTCLIENT);
}

TEST(WindowFrame, PaintsTheSharedCaptionColorsForEitherState)
{
    std::unique_ptr<Bitmap> bitmap = ClientBuffer::MakeTopDownBitmap(kSize.width, kSize.height);
    ASSERT_TRUE(bitmap);
    DrawContext dc(bitmap.get());
    WindowFrame frame(kCaptioned, kSize);
    for (bool active : { true, false }) {
        frame.Paint(dc, "", active);
        const CaptionColors colors = CaptionColors::For(active);
        EXPECT_EQ(dc.GetPixel(0, 60), colors.frame);
        EXPECT_EQ(dc.GetPixel(60, 12), colors.band);
    }
    EXPECT_NE(kActiveCaptionColors.band, kInactiveCaptionColors.band);
}

}
