#include "tools/synth/Reverb.h"

#include <cmath>

namespace lumarra {

namespace {

// Mutually prime delays keep the echoes from piling up into a ringing tone.
constexpr double kCombMilliseconds[] = { 29.7, 37.1, 41.1, 43.7 };
constexpr double kAllpassMilliseconds[] = { 5.0, 1.7 };
constexpr float kCombFeedback = 0.8f;
constexpr float kCombDamping = 0.35f;
constexpr float kAllpassGain = 0.6f;

size_t DelayInSamples(double milliseconds, int rate)
{
    return static_cast<size_t>(std::lround(milliseconds * rate / 1000.0));
}

}

Reverb::Reverb(int rate)
{
    for (double ms : kCombMilliseconds)
        m_combs.push_back({ std::vector<float>(DelayInSamples(ms, rate)), 0, 0 });
    for (double ms : kAllpassMilliseconds)
        m_allpasses.push_back({ std::vector<float>(DelayInSamples(ms, rate)), 0 });
}

float Reverb::Process(float input)
{
    float sum = 0;
    for (Comb& comb : m_combs) {
        float delayed = comb.line[comb.index];
        comb.memory = delayed + kCombDamping * (comb.memory - delayed);
        comb.line[comb.index] = input + kCombFeedback * comb.memory;
        comb.index = (comb.index + 1) % comb.line.size();
        sum += delayed;
    }
    float out = sum / static_cast<float>(m_combs.size());
    for (Allpass& allpass : m_allpasses) {
        float delayed = allpass.line[allpass.index];
        float fed = out + kAllpassGain * delayed;
        allpass.line[allpass.index] = fed;
        allpass.index = (allpass.index + 1) % allpass.line.size();
        out = delayed - kAllpassGain * fed;
    }
    return out;
}

void Reverb::Apply(std::vector<float>& signal, float wet)
{
    for (float& sample : signal)
        sample += wet * Process(sample);
}

}
