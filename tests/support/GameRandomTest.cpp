#include "support/GameRandom.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace lumarra;

TEST(GameRandom, GivesTheClassicSequenceForAKnownSeed)
{
    GameRandom::Seed(1);
    const std::array<int, 6> expected = { 41, 18467, 6334, 26500, 19169, 15724 };
    for (int value : expected)
        EXPECT_EQ(GameRandom::Next(), value);

    // Reseeding starts the sequence again; values never leave 0–32767.
    GameRandom::Seed(1);
    EXPECT_EQ(GameRandom::Next(), 41);
    GameRandom::Seed(0xFFFFFFFFu);
    for (int i = 0; i < 10000; ++i) {
        int value = GameRandom::Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, GameRandom::kMax);
    }
}

TEST(GameRandom, ThreadsDrawingAtOnceShareOneSequenceWithoutLosingADraw)
{
    constexpr int kThreads = 4;
    constexpr int kDraws = 5000;
    GameRandom::Seed(12345);
    std::vector<int> sequential;
    for (int i = 0; i < kThreads * kDraws; ++i)
        sequential.push_back(GameRandom::Next());

    GameRandom::Seed(12345);
    std::vector<std::vector<int>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kDraws; ++i)
                drawn[static_cast<size_t>(t)].push_back(GameRandom::Next());
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::vector<int> together;
    for (const auto& part : drawn)
        together.insert(together.end(), part.begin(), part.end());
    std::sort(together.begin(), together.end());
    std::sort(sequential.begin(), sequential.end());
    EXPECT_EQ(together, sequential) << "a value was drawn twice or a step of the state was lost";
}
