#include "tools/synth/Score.h"
#include "tools/synth/Synthesizer.h"
#include "tools/synth/WaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumarra {
namespace {

Score Parse(const std::string& text)
{
    std::string error;
    std::optional<Score> score = ParseScore(text, error);
    EXPECT_TRUE(score.has_value()) << error;
    return score.value_or(Score {});
}

std::string ParseError(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(ParseScore(text, error).has_value()) << text;
    return error;
}

int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

double Rms(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    double sum = 0;
    for (size_t n = from; n < to; ++n)
        sum += static_cast<double>(samples[n]) * samples[n];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// The fundamental of a steady stretch: the shortest period whose
// autocorrelation comes close to the strongest one between 50 Hz and 4 kHz.
double Fundamental(const std::vector<int16_t>& samples, int rate, size_t from, size_t length)
{
    auto at = [&](size_t lag) {
        double sum = 0;
        for (size_t n = from; n < from + length; ++n)
            sum += static_cast<double>(samples[n]) * samples[n + lag];
        return sum;
    };
    size_t shortest = static_cast<size_t>(rate / 4000), longest = static_cast<size_t>(rate / 50);
    std::vector<double> correlation(longest + 2);
    for (size_t lag = shortest - 1; lag <= longest + 1; ++lag)
        correlation[lag] = at(lag);
    double strongest = *std::max_element(correlation.begin() + static_cast<long>(shortest), correlation.end() - 1);
    size_t bestLag = shortest;
    while (bestLag < longest
        && !(correlation[bestLag] > 0.9 * strongest && correlation[bestLag] >= correlation[bestLag - 1]
            && correlation[bestLag] >= correlation[bestLag + 1]))
        ++bestLag;
    double best = correlation[bestLag];
    // A parabola through the peak and its neighbours finds the fraction of a lag.
    double left = correlation[bestLag - 1], right = correlation[bestLag + 1];
    double shift = 0.5 * (left - right) / (left - 2 * best + right);
    return rate / (static_cast<double>(bestLag) + shift);
}

TEST(ScoreTest, ReadsSettingsPartsChordsAndRests)
{
    Score score = Parse("# a comment\n"
                        "rate 22050\ntempo 90\nmeter 3\npeak -6\ntail 0.25\nreverb 0.1\nloop\n"
                        "part pluck 0.5\n"
                        "A4 C#5+E5:2 | r:1.5 Bb3:0.5 r | # trailing comment\n"
                        "part flute 1\n"
                        "A4:3 |\n");
    EXPECT_EQ(score.rate, 22050);
    EXPECT_DOUBLE_EQ(score.tempo, 90);
    EXPECT_DOUBLE_EQ(score.peakDb, -6);
    EXPECT_TRUE(score.loop);
    ASSERT_EQ(score.parts.size(), 2u);
    const ScorePart& pluck = score.parts[0];
    EXPECT_EQ(pluck.timbre, Timbre::Pluck);
    ASSERT_EQ(pluck.notes.size(), 3u);
    ASSERT_EQ(pluck.notes[1].frequencies.size(), 2u);
    EXPECT_NEAR(pluck.notes[1].frequencies[0], 554.37, 0.01);
    EXPECT_NEAR(pluck.notes[1].frequencies[1], 659.26, 0.01);
    EXPECT_DOUBLE_EQ(pluck.notes[2].startBeat, 4.5);
    EXPECT_NEAR(pluck.notes[2].frequencies[0], 233.08, 0.01);
    EXPECT_DOUBLE_EQ(score.parts[1].notes[0].startBeat, 0);  // each part starts at the top
    // The closing rest belongs to the piece: a loop breathes there.
    EXPECT_DOUBLE_EQ(score.GetLengthInBeats(), 6);
}

TEST(ScoreTest, RejectsMistakesWithTheirLine)
{
    EXPECT_EQ(ParseError("part pluck 1\nA4\nH4\n"), "line 3: bad note 'H4'");
    EXPECT_EQ(ParseError("part pluck 1\nA9\n").substr(0, 7), "line 2:");
    EXPECT_EQ(ParseError("part pluck 1\nA#\n").substr(0, 7), "line 2:");
    EXPECT_EQ(ParseError("part pluck 1\nA4+\n").substr(0, 7), "line 2:");
    EXPECT_EQ(ParseError("part pluck 1\nA4:0\n").substr(0, 7), "line 2:");
    EXPECT_EQ(ParseError("part pluck 1\nA4:x\n").substr(0, 7), "line 2:");
    EXPECT_EQ(ParseError("rate 8000\npart pluck 1\nA4 C5+B7\n"), "line 3: note 'C5+B7' is too high for the rate");
    EXPECT_EQ(ParseError("part harp 1\nA4\n"), "line 1: unknown timbre 'harp'");
    EXPECT_EQ(ParseError("A4\n"), "line 1: notes before the first part");
    EXPECT_EQ(ParseError("tempo 5000\npart bell 1\nA4\n").substr(0, 7), "line 1:");
    EXPECT_EQ(ParseError("tempo\n").substr(0, 7), "line 1:");
    EXPECT_EQ(ParseError("rate 44100 48000\n").substr(0, 7), "line 1:");
    // Timing changed after notes would shift them silently.
    EXPECT_EQ(ParseError("part bell 1\nA4\ntempo 60\n").substr(0, 7), "line 3:");
    EXPECT_EQ(ParseError("rate 44100\npart bell 1\nr:4\n"), "the score has no notes");
    EXPECT_EQ(ParseError(""), "the score has no notes");
}

TEST(ScoreTest, BarLinesCatchMiscountedBars)
{
    EXPECT_EQ(ParseError("meter 4\npart flute 1\nA4 A4 B4:2 | A4 A4 B4 |\n"),
        "line 3: bar line at beat 7 is not on a bar of 4");
    Parse("meter 3\npart flute 1\nA4:1.5 B4:0.5 C5 | D5:3 |\n");
}

TEST(ScoreTest, RefusesPiecesTooLongToRender)
{
    EXPECT_NE(ParseError("tempo 20\npart bell 1\nA4:64 A4:64\n").find("longer than"), std::string::npos);
}

TEST(SynthesizerTest, LoudestSampleSitsAtThePeakLevel)
{
    for (const char* timbre : { "pluck", "bell", "flute", "wood" }) {
        Score score = Parse(std::string("peak -6\ntail 0.3\npart ") + timbre + " 1\nA4 C5+E5\n");
        std::vector<int16_t> samples = RenderScore(score);
        EXPECT_NEAR(Peak(samples), 32767 * std::pow(10.0, -6 / 20.0), 1.0) << timbre;
    }
}

TEST(SynthesizerTest, LoopIsItsWrittenLengthAndJoinsAtSilence)
{
    Score score = Parse("rate 8000\ntempo 120\nloop\nreverb 0.3\npart pluck 1\nA4:3 r:1\npart bell 0.5\nE5:4\n");
    std::vector<int16_t> samples = RenderScore(score);
    EXPECT_EQ(samples.size(), 16000u);  // 4 beats of 0.5 s; no ring-out past the end
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
    // The fade into the join is smooth: no step between neighbours near the end.
    for (size_t n = samples.size() - 200; n + 1 < samples.size(); ++n)
        EXPECT_LT(std::abs(samples[n + 1] - samples[n]), 2000) << n;
}

TEST(SynthesizerTest, OneShotRingsOutForItsTail)
{
    Score score = Parse("rate 8000\ntempo 60\ntail 0.5\npart bell 1\nA4\n");
    EXPECT_EQ(RenderScore(score).size(), 12000u);
}

TEST(SynthesizerTest, NotesSoundAtTheirPitch)
{
    struct Case {
        const char* timbre;
        const char* note;
        double frequency;
    };
    // High plucked notes need the fractional part of the string's delay.
    for (Case c : { Case { "pluck", "A4", 440.0 }, Case { "pluck", "E6", 1318.5 }, Case { "pluck", "A2", 110.0 },
             Case { "flute", "A4", 440.0 }, Case { "flute", "C6", 1046.5 } }) {
        Score score = Parse(std::string("tempo 60\npart ") + c.timbre + " 1\n" + c.note + ":2\n");
        std::vector<int16_t> samples = RenderScore(score);
        double found = Fundamental(samples, score.rate, 8000, 4000);
        EXPECT_NEAR(found, c.frequency, c.frequency * 0.004) << c.timbre << " " << c.note;
    }
}

TEST(SynthesizerTest, ReleasedStringsDieAway)
{
    Score score = Parse("tempo 60\ntail 0.4\npart pluck 1\nA4:0.3\n");
    std::vector<int16_t> samples = RenderScore(score);
    double held = Rms(samples, 0, 4410);
    double released = Rms(samples, samples.size() - 4410, samples.size());
    EXPECT_GT(held, 1000);
    EXPECT_LT(released, held / 20);
}

TEST(SynthesizerTest, SameScoreGivesSameSamples)
{
    const char* text = "tail 0.2\nreverb 0.2\npart pluck 1\nA4 E5\npart flute 0.5\nA3:2\npart wood 0.3\nE6\n";
    EXPECT_EQ(RenderScore(Parse(text)), RenderScore(Parse(text)));
}

TEST(WaveFileTest, WritesMonoPcmRiff)
{
    std::string wave = EncodeWaveFile({ 1, -2, 0x1234 }, 22050);
    auto u16 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(wave.at(at)) | static_cast<uint8_t>(wave.at(at + 1)) << 8);
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    ASSERT_EQ(wave.size(), 44u + 6u);
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(4), wave.size() - 8);
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1u);  // PCM
    EXPECT_EQ(u16(22), 1u);  // mono
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(u32(28), 44100u);  // bytes per second
    EXPECT_EQ(u16(32), 2u);      // block alignment
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(wave.substr(36, 4), "data");
    EXPECT_EQ(u32(40), 6u);
    EXPECT_EQ(u16(44), 1u);
    EXPECT_EQ(u16(46), 0xFFFEu);
    EXPECT_EQ(u16(48), 0x1234u);
}

}
}
