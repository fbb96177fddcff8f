#pragma once

#include <cstdint>

namespace lumarra {

// The program's one pseudo-random sequence. The shuffle, the computer
// opponent and every input wait draw from the same state, so the order of
// draws anywhere in the program shapes the whole sequence. Any thread may
// draw; each draw advances the shared state exactly once.
class GameRandom {
public:
    static constexpr int kMax = 0x7FFF;

    static void Seed(uint32_t seed);
    // Seeds from the current time, as the stage does when it starts.
    static void SeedFromTime();
    // The next value, 0 to kMax.
    static int Next();
};

}
