#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/window/ClientBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lumarra;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(ClientBuffer, UpdatesAreClippedAndOnlyACoveringValidateClearsThem)
{
    ClientBuffer buffer;
    // Before there are pixels nothing can be invalid.
    buffer.Invalidate(nullptr, true);
    Rect update;
    bool erase = false;
    buffer.TakeUpdate(update, erase);
    EXPECT_TRUE(update.IsEmpty());

    buffer.Resize({ 40, 30 }, kWhite);
    Rect beyond { 30, 20, 90, 90 };
    buffer.Invalidate(&beyond, false);
    Rect part { 30, 20, 35, 25 };
    buffer.Validate(&part);
    buffer.TakeUpdate(update, erase);
    EXPECT_EQ(update, (Rect { 30, 20, 40, 30 }));
    EXPECT_FALSE(erase);

    buffer.Invalidate(&part, true);
    buffer.Validate(&beyond);
    buffer.TakeUpdate(update, erase);
    EXPECT_TRUE(update.IsEmpty());
    EXPECT_FALSE(erase);
}

TEST(ClientBuffer, ResizingKeepsPixelsOfTheSameSizeAndDirtiesANewBitmap)
{
    ClientBuffer buffer;
    buffer.Resize({ 20, 10 }, kWhite);
    EXPECT_EQ(buffer.TakeDirty(), (Rect { 0, 0, 20, 10 }));
    {
        std::lock_guard guard(buffer.GetLock());
        DrawContext dc(buffer.GetBitmap());
        dc.FillSolidRect({ 0, 0, 20, 10 }, kRed);
    }
    buffer.Resize({ 20, 10 }, kWhite);
    EXPECT_TRUE(buffer.TakeDirty().IsEmpty());
    {
        std::lock_guard guard(buffer.GetLock());
        EXPECT_EQ(DrawContext(buffer.GetBitmap()).GetPixel(5, 5), kRed);
    }
    buffer.Resize({ 0, 10 }, kWhite);
    EXPECT_EQ(buffer.GetBitmap(), nullptr);
    EXPECT_TRUE(buffer.GetRect().IsEmpty());
    Rect outside { 0, 0, 5, 5 };
    buffer.MarkDirty(outside);
    EXPECT_TRUE(buffer.TakeDirty().IsEmpty());
}

TEST(ClientBuffer, CopyIntoPlacesTheClientInTheFrame)
{
    ClientBuffer buffer;
    buffer.Resize({ 10, 10 }, kRed);
    std::unique_ptr<Bitmap> frame = ClientBuffer::MakeTopDownBitmap(30, 30);
    DrawContext dc(frame.get());
    dc.FillSolidRect({ 0, 0, 30, 30 }, kWhite);
    buffer.CopyInto(*frame, { 12, 12, 15, 20 }, { 10, 10 });
    EXPECT_EQ(dc.GetPixel(12, 12), kRed);
    EXPECT_EQ(dc.GetPixel(14, 19), kRed);
    EXPECT_EQ(dc.GetPixel(11, 12), kWhite);
    EXPECT_EQ(dc.GetPixel(15, 12), kWhite);
}

TEST(ClientBuffer, DrawingThreadsMarkDirtWhileTheInterfaceThreadTakesIt)
{
    ClientBuffer buffer;
    buffer.Resize({ 64, 64 }, kWhite);
    (void)buffer.TakeDirty();
    std::atomic<bool> started { false };
    std::atomic<bool> stop { false };
    std::thread drawer([&] {
        for (int i = 0; !stop; i = (i + 1) % 60) {
            buffer.MarkDirty({ i, i, i + 4, i + 4 });
            buffer.Invalidate(nullptr, false);
            started = true;
        }
    });
    while (!started)
        std::this_thread::yield();
    Rect seen;
    for (int i = 0; i < 20000; ++i) {
        seen = UnionRect(seen, buffer.TakeDirty());
        Rect update;
        bool erase = false;
        buffer.TakeUpdate(update, erase);
    }
    stop = true;
    drawer.join();
    seen = UnionRect(seen, buffer.TakeDirty());
    EXPECT_FALSE(seen.IsEmpty());
    EXPECT_EQ(seen.Intersect({ 0, 0, 64, 64 }), seen);
}

}
