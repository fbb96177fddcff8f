#include "support/SystemInfo.h"

#include <gtest/gtest.h>

using namespace lumarra;

TEST(SystemInfo, LinuxCountsAsTheNtFamily)
{
    EXPECT_GE(GetOsCode(), 20);
}
