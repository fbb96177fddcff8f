#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace lumarra;

// Threads that start, convert and end while others convert: the converter
// modules must stay loaded and each thread's conversions must not disturb
// another's.
TEST(CodePageThreads, ShortLivedThreadsConvertAlongsideEachOther)
{
    const std::string utf8 = "いぬもあるけば ぼうにあたる";
    const std::string sjis = Utf8ToCp932(utf8);
    std::atomic<int> wrong { 0 };
    for (int round = 0; round < 4; ++round) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 6; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 200; ++i) {
                    if (Utf8ToCp932(utf8) != sjis || Cp932ToUtf8(sjis) != utf8 || Cp932ToUtf32(sjis).size() != 14)
                        ++wrong;
                    if (Utf8ToCp932("a\xF0\x9F\x98\x80") != "a????")
                        ++wrong;
                }
            });
        for (std::thread& thread : threads)
            thread.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}
