#include "graphics/DibSurface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lumarra {
namespace {

using namespace std::chrono_literals;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Waits (briefly) until `flag` is set.
void AwaitFlag(const std::atomic<bool>& flag)
{
    while (!flag.load())
        std::this_thread::sleep_for(1ms);
}

TEST(DibSurfaceLockTest, BeginDrawOnOneThreadHoldsOtherThreadsUntilEndDraw)
{
    DibSurface surface(24, 8, 8, 0xFFFFFFFF);
    std::atomic<bool> opened { false };
    std::atomic<bool> ended { false };
    std::atomic<bool> sawEnd { false };
    std::thread other([&] {
        AwaitFlag(opened);
        surface.SetPixelV(0, 0, kBlue);
        sawEnd = ended.load();
    });
    surface.BeginDraw();
    opened = true;
    std::this_thread::sleep_for(150ms);
    surface.SetPixelV(0, 0, kRed);
    ended = true;
    surface.EndDraw();
    other.join();
    EXPECT_TRUE(sawEnd.load());
    EXPECT_EQ(surface.GetPixel(0, 0), kBlue);
}

TEST(DibSurfaceLockTest, UnlockFromAnotherThreadChangesNothing)
{
    DibSurface surface(24, 8, 8, 0xFFFFFFFF);
    surface.Lock();
    std::thread stranger([&] { surface.Unlock(); });
    stranger.join();

    std::atomic<bool> released { false };
    std::atomic<bool> sawRelease { false };
    std::thread waiter([&] {
        surface.FillSolidRect(0, 0, 8, 8, kRed);
        sawRelease = released.load();
    });
    std::this_thread::sleep_for(120ms);
    released = true;
    surface.Unlock();
    waiter.join();
    EXPECT_TRUE(sawRelease.load());
}

TEST(DibSurfaceLockTest, TheOwnerReentersAndReleasesAfterTheLastUnlock)
{
    DibSurface surface(24, 8, 8, 0xFFFFFFFF);
    surface.Lock();
    surface.Lock();
    surface.SetPixelV(1, 1, kRed);  // takes the lock a third time
    surface.Unlock();
    std::atomic<bool> done { false };
    std::thread other([&] {
        surface.GetPixel(0, 0);
        done = true;
    });
    std::this_thread::sleep_for(60ms);
    EXPECT_FALSE(done.load());  // one level is still held
    surface.Unlock();
    other.join();
    EXPECT_TRUE(done.load());
}

TEST(DibSurfaceLockTest, ThreadsDrawingIntoSharedSurfacesStayConsistent)
{
    DibSurface back(24, 64, 64, 0xFFFFFFFF);
    DibSurface sprite(24, 16, 16, RGB(255, 0, 255));
    std::atomic<bool> stop { false };
    auto worker = [&](COLORREF color) {
        for (int i = 0; i < 40 && !stop.load(); ++i) {
            back.BeginDraw();
            back.FillSolidRect(0, 0, 64, 64, color);
            back.DrawSurface(sprite, i % 48, i % 48, 0, 0, 0, 0, SRCCOPY);
            // Inside the bracket no other thread's fill can land.
            EXPECT_EQ(back.GetPixel(63, 0), color);
            back.EndDraw();
        }
    };
    std::thread a(worker, kRed);
    std::thread b(worker, kBlue);
    a.join();
    b.join();
}

}
}
