#include "platform/window/TimerQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lumarra;

namespace {

constexpr WindowHandle kFirst = 1;
constexpr WindowHandle kSecond = 2;

TEST(TimerQueue, DueTimesSurviveTheTickCountWrapping)
{
    TimerQueue timers;
    constexpr uint32_t kNearWrap = UINT32_MAX - 5;
    timers.Set(kFirst, 7, 10, kNearWrap);
    // Four ticks after the wrap the timer is still one tick off.
    EXPECT_EQ(timers.TicksToNext(kNearWrap + 9), 1);
    EXPECT_TRUE(timers.TakeDue(kNearWrap + 9).empty());
    auto due = timers.TakeDue(kNearWrap + 10);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].id, 7u);
    EXPECT_EQ(timers.TicksToNext(kNearWrap + 10), 10);
}

TEST(TimerQueue, ALateTimerFiresOnceAndRestartsFromNow)
{
    TimerQueue timers;
    timers.Set(kFirst, 1, 100, 0);
    EXPECT_EQ(timers.TicksToNext(350), -250);
    EXPECT_EQ(timers.TakeDue(350).size(), 1u);
    EXPECT_TRUE(timers.TakeDue(350).empty());
    EXPECT_EQ(timers.TicksToNext(350), 100);
    // A zero period still waits a tick, so a pump cannot spin on it.
    timers.Set(kFirst, 2, 0, 400);
    EXPECT_EQ(timers.TakeDue(400).size(), 1u);
    EXPECT_TRUE(timers.TakeDue(400).empty());
}

TEST(TimerQueue, SettingAnIdAgainRestartsItAndKillingIsPerWindow)
{
    TimerQueue timers;
    EXPECT_FALSE(timers.TicksToNext(0).has_value());
    timers.Set(kFirst, 1, 50, 0);
    timers.Set(kFirst, 1, 80, 40);
    timers.Set(kSecond, 1, 30, 0);
    EXPECT_EQ(timers.TakeDue(100).size(), 1u);
    EXPECT_EQ(timers.TakeDue(120).size(), 1u);  // the restarted one, at 40 + 80

    EXPECT_TRUE(timers.Kill(kSecond, 1));
    EXPECT_FALSE(timers.Kill(kSecond, 1));
    EXPECT_TRUE(timers.Contains(kFirst, 1));
    timers.Set(kFirst, 2, 10, 0);
    timers.Set(kSecond, 2, 10, 0);
    timers.KillAll(kFirst);
    EXPECT_FALSE(timers.Contains(kFirst, 1));
    EXPECT_FALSE(timers.Contains(kFirst, 2));
    EXPECT_TRUE(timers.Contains(kSecond, 2));
}

TEST(TimerQueue, WorkersSetAndKillWhileTheInterfaceThreadTakesDueTimers)
{
    TimerQueue timers;
    std::atomic<bool> started { false };
    std::atomic<bool> stop { false };
    std::thread worker([&] {
        for (uintptr_t id = 0; !stop; id = (id + 1) % 64) {
            timers.Set(kSecond, id, 1, 0);
            timers.Kill(kSecond, (id + 32) % 64);
            started = true;
        }
    });
    while (!started)
        std::this_thread::yield();
    size_t taken = 0;
    for (uint32_t now = 1; now < 20000; ++now) {
        taken += timers.TakeDue(now).size();
        (void)timers.TicksToNext(now);
    }
    stop = true;
    worker.join();
    EXPECT_GT(taken, 0u);
}

}
