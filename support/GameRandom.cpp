#include "support/GameRandom.h"

#include <atomic>
#include <ctime>

namespace lumarra {

namespace {

// The classic linear congruential generator of the C runtimes the game's
// sequences were first tuned with: values are bits 16–30 of the state.
constexpr uint32_t kMultiplier = 214013;
constexpr uint32_t kIncrement = 2531011;
constexpr int kValueShift = 16;

std::atomic<uint32_t> g_state { 1 };

}

void GameRandom::Seed(uint32_t seed)
{
    g_state.store(seed);
}

void GameRandom::SeedFromTime()
{
    Seed(static_cast<uint32_t>(std::time(nullptr)));
}

int GameRandom::Next()
{
    uint32_t state = g_state.load();
    uint32_t next = 0;
    // Two threads drawing at once get two successive values, never the same.
    do {
        next = state * kMultiplier + kIncrement;
    } while (!g_state.compare_exchange_weak(state, next));
    return static_cast<int>((next >> kValueShift) & kMax);
}

}
