#pragma once

#include "tools/synth/Score.h"

#include <cstdint>
#include <vector>

namespace lumarra {

// Plays notes of one timbre into a mix. Its noise comes from a fixed seed, so
// the same notes always give the same samples.
class Instrument {
public:
    Instrument(Timbre timbre, int rate);

    // Adds a note starting at sample `start`, held for `seconds`; plucked
    // strings and bells then ring out, a flute releases. Samples that would
    // fall past the end of `mix` are dropped.
    void AddNote(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain);

private:
    void AddPluck(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain);
    void AddBell(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain);
    void AddFlute(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain);
    void AddWood(std::vector<float>& mix, size_t start, double frequency, float gain);
    float Noise();

    Timbre m_timbre;
    double m_rate;
    uint32_t m_noiseState = 0x2545F491u;
};

}
