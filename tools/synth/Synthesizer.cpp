#include "tools/synth/Synthesizer.h"

#include "tools/synth/Instrument.h"
#include "tools/synth/Reverb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumarra {

namespace {

constexpr double kFadeInSeconds = 0.002;
constexpr double kFadeOutSeconds = 0.02;
// A loop's end is a rest in the music; the longer fade lets reverb tails die
// away there instead of being cut.
constexpr double kLoopFadeOutSeconds = 0.15;

void FadeEnds(std::vector<float>& mix, int rate, double fadeOutSeconds)
{
    size_t fadeIn = std::min(mix.size(), static_cast<size_t>(kFadeInSeconds * rate));
    for (size_t n = 0; n < fadeIn; ++n)
        mix[n] *= static_cast<float>(n) / static_cast<float>(fadeIn);
    size_t fadeOut = std::min(mix.size(), static_cast<size_t>(fadeOutSeconds * rate));
    for (size_t n = 0; n < fadeOut; ++n) {
        double left = static_cast<double>(n) / static_cast<double>(fadeOut);  // 0 at the last sample
        mix[mix.size() - 1 - n] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * left));
    }
}

std::vector<int16_t> ToPeakLevel(const std::vector<float>& mix, double peakDb)
{
    float peak = 0;
    for (float sample : mix)
        peak = std::max(peak, std::fabs(sample));
    std::vector<int16_t> samples(mix.size());
    if (peak <= 0)
        return samples;
    double scale = std::pow(10.0, peakDb / 20.0) * 32767.0 / peak;
    for (size_t n = 0; n < mix.size(); ++n)
        samples[n] = static_cast<int16_t>(std::clamp(std::lround(mix[n] * scale), -32768L, 32767L));
    return samples;
}

}

std::vector<int16_t> RenderScore(const Score& score)
{
    double beatSeconds = score.GetSecondsPerBeat();
    double seconds = score.GetLengthInBeats() * beatSeconds + (score.loop ? 0 : score.tailSeconds);
    std::vector<float> mix(static_cast<size_t>(std::ceil(seconds * score.rate)));

    for (const ScorePart& part : score.parts) {
        Instrument instrument(part.timbre, score.rate);
        for (const ScoreNote& note : part.notes) {
            // Chord notes share the part's level so a chord is no louder than a note.
            float gain = static_cast<float>(part.level / std::sqrt(static_cast<double>(note.frequencies.size())));
            size_t start = static_cast<size_t>(std::lround(note.startBeat * beatSeconds * score.rate));
            for (double frequency : note.frequencies)
                instrument.AddNote(mix, start, frequency, note.beats * beatSeconds, gain);
        }
    }
    if (score.reverb > 0)
        Reverb(score.rate).Apply(mix, static_cast<float>(score.reverb));
    FadeEnds(mix, score.rate, score.loop ? kLoopFadeOutSeconds : kFadeOutSeconds);
    return ToPeakLevel(mix, score.peakDb);
}

}
