#include "tools/synth/Instrument.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumarra {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

void Put(std::vector<float>& mix, size_t index, double value)
{
    if (index < mix.size())
        mix[index] += static_cast<float>(value);
}

// Rises from 0 to 1 along half a cosine: no corner, so no click.
double SmoothStep(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

}

Instrument::Instrument(Timbre timbre, int rate)
    : m_timbre(timbre)
    , m_rate(rate)
{
}

float Instrument::Noise()
{
    m_noiseState = m_noiseState * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(m_noiseState) / 2147483648.0);
}

void Instrument::AddNote(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain)
{
    switch (m_timbre) {
    case Timbre::Pluck:
        AddPluck(mix, start, frequency, seconds, gain);
        break;
    case Timbre::Bell:
        AddBell(mix, start, frequency, seconds, gain);
        break;
    case Timbre::Flute:
        AddFlute(mix, start, frequency, seconds, gain);
        break;
    case Timbre::Wood:
        AddWood(mix, start, frequency, gain);
        break;
    }
}

// A Karplus-Strong string: a burst of soft noise circulates in a delay line one
// period long; the averaging in the loop mellows the tone as it rings. An
// allpass stage supplies the fraction of a sample the integer delay lacks, so
// high notes stay in tune.
void Instrument::AddPluck(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain)
{
    constexpr double kRingSeconds = 1.4;    // fundamental's time constant while held
    constexpr double kDampSeconds = 0.09;   // time constant once the note is let go
    constexpr double kDampedLength = 0.45;  // rendered after the note's end
    double period = m_rate / frequency;
    size_t length = static_cast<size_t>(std::max(2.0, std::floor(period - 0.6)));
    double fraction = period - static_cast<double>(length) - 0.5;
    double allpass = (1 - fraction) / (1 + fraction);
    double loopGain = std::exp(-period / (m_rate * kRingSeconds));

    std::vector<double> line(length);
    double smoothed = 0;
    for (double& cell : line) {
        smoothed += 0.5 * (Noise() - smoothed);
        cell = smoothed;
    }
    double mean = 0;
    for (double cell : line)
        mean += cell;
    mean /= static_cast<double>(length);
    for (double& cell : line)
        cell -= mean;

    size_t held = static_cast<size_t>(seconds * m_rate);
    size_t total = held + static_cast<size_t>(kDampedLength * m_rate);
    double previous = 0, allpassIn = 0, allpassOut = 0;
    for (size_t n = 0, index = 0; n < total; ++n) {
        double out = line[index];
        double average = 0.5 * (out + previous);
        previous = out;
        double shifted = allpass * average + allpassIn - allpass * allpassOut;
        allpassIn = average;
        allpassOut = shifted;
        line[index] = loopGain * shifted;
        index = index + 1 == length ? 0 : index + 1;

        double envelope = SmoothStep(n / (0.002 * m_rate));
        if (n > held)
            envelope *= std::exp(-static_cast<double>(n - held) / (kDampSeconds * m_rate));
        Put(mix, start + n, 1.6 * gain * envelope * out);
    }
}

// A soft bell: a few partials, some of them inharmonic, the higher ones fading
// sooner. High bells ring shorter than low ones, as real ones do.
void Instrument::AddBell(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain)
{
    struct Partial {
        double ratio, amplitude, decay;
    };
    static constexpr Partial kPartials[] = {
        { 1.0, 1.0, 1.0 },
        { 2.0, 0.45, 0.6 },
        { 2.76, 0.25, 0.4 },
        { 4.07, 0.12, 0.25 },
        { 5.4, 0.06, 0.15 },
    };
    constexpr double kBaseRing = 1.3;
    constexpr double kLongestRing = 4.0;
    double ring = kBaseRing * std::sqrt(std::clamp(440.0 / frequency, 0.4, 2.0));
    size_t total = static_cast<size_t>(std::min(kLongestRing, seconds + 3 * ring) * m_rate);
    for (const Partial& partial : kPartials) {
        double partialFrequency = frequency * partial.ratio;
        if (partialFrequency >= m_rate / 2)
            continue;
        double step = kTwoPi * partialFrequency / m_rate;
        double fade = 1.0 / (ring * partial.decay * m_rate);
        for (size_t n = 0; n < total; ++n) {
            double envelope = SmoothStep(n / (0.003 * m_rate)) * std::exp(-static_cast<double>(n) * fade);
            Put(mix, start + n, 0.55 * gain * partial.amplitude * envelope * std::sin(step * static_cast<double>(n)));
        }
    }
}

// A flute-like voice: a few soft harmonics, a breath of filtered noise, a slow
// swell and a vibrato that only sets in once the note is steady.
void Instrument::AddFlute(std::vector<float>& mix, size_t start, double frequency, double seconds, float gain)
{
    static constexpr double kHarmonics[] = { 1.0, 0.22, 0.08, 0.03 };
    constexpr double kAttack = 0.06;
    constexpr double kRelease = 0.10;
    constexpr double kVibratoRate = 5.0;
    constexpr double kVibratoDepth = 0.004;
    constexpr double kVibratoDelay = 0.18;
    constexpr double kBreath = 0.05;

    size_t held = static_cast<size_t>(seconds * m_rate);
    size_t total = held + static_cast<size_t>(kRelease * m_rate);
    double phase = 0, breath = 0;
    for (size_t n = 0; n < total; ++n) {
        double t = n / m_rate;
        double vibrato = kVibratoDepth * SmoothStep((t - kVibratoDelay) / 0.3) * std::sin(kTwoPi * kVibratoRate * t);
        phase += kTwoPi * frequency * (1 + vibrato) / m_rate;
        double tone = 0;
        for (size_t k = 0; k < std::size(kHarmonics); ++k)
            tone += kHarmonics[k] * std::sin(phase * static_cast<double>(k + 1));
        breath += 0.2 * (Noise() - breath);
        double envelope = SmoothStep(t / kAttack) * (0.85 + 0.15 * std::exp(-t / 0.4));
        if (n > held)
            envelope *= 1 - SmoothStep((n - held) / (kRelease * m_rate));
        Put(mix, start + n, 0.7 * gain * envelope * (tone + kBreath * breath));
    }
}

// A short knock: a quickly damped tone with a tick of noise at its front.
void Instrument::AddWood(std::vector<float>& mix, size_t start, double frequency, float gain)
{
    constexpr double kToneDecay = 0.018;
    constexpr double kTickDecay = 0.0015;
    constexpr double kLength = 0.15;
    size_t total = static_cast<size_t>(kLength * m_rate);
    double step = kTwoPi * frequency / m_rate;
    for (size_t n = 0; n < total; ++n) {
        double t = n / m_rate;
        double envelope = SmoothStep(n / (0.0005 * m_rate));
        double tone = std::exp(-t / kToneDecay) * std::sin(step * static_cast<double>(n));
        double tick = 0.4 * std::exp(-t / kTickDecay) * Noise();
        Put(mix, start + n, gain * envelope * (tone + tick));
    }
}

}
