#include "platform/Clock.h"

#include <gtest/gtest.h>

using namespace lumarra;

// Runs under the default scale of 1 (the test does not set one): a sleep lasts
// about its time on the tick clock.
TEST(Clock, SleepAdvancesTicksByItsLength)
{
    uint32_t before = GetTickCount();
    Sleep(30);
    uint32_t elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 30u * GetTimeScale() / GetTimeScale() - 1);
    EXPECT_LT(elapsed, 30u + 500u);
}
