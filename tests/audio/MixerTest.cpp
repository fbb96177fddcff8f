// The mixer on its own: summing, restart, pause, looping, ending, format and
// rate conversion, and voices moved on by a clock.

#include "platform/audio/AudioMixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <numeric>
#include <thread>

namespace lumarra {
namespace {

constexpr OutputLayout kMono8k { 1, 8000 };

std::shared_ptr<const std::vector<uint8_t>> Pcm16(const std::vector<int16_t>& samples)
{
    auto bytes = std::make_shared<std::vector<uint8_t>>(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        (*bytes)[i * 2] = static_cast<uint8_t>(samples[i]);
        (*bytes)[i * 2 + 1] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) >> 8);
    }
    return bytes;
}

std::vector<int16_t> Ramp(size_t length, int16_t first = 1)
{
    std::vector<int16_t> ramp(length);
    std::iota(ramp.begin(), ramp.end(), first);
    return ramp;
}

std::vector<int16_t> Mix(AudioMixer& mixer, size_t frames)
{
    std::vector<int16_t> out(frames * static_cast<size_t>(mixer.GetOutput().channels));
    mixer.Mix(out.data(), frames);
    return out;
}

std::vector<int16_t> Slice(const std::vector<int16_t>& from, size_t begin, size_t end)
{
    return { from.begin() + static_cast<long>(begin), from.begin() + static_cast<long>(end) };
}

TEST(AudioMixer, SumsVoicesWithSaturation)
{
    AudioMixer mixer(kMono8k);
    VoiceId low = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(std::vector<int16_t>(100, 1000)));
    VoiceId high = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(std::vector<int16_t>(100, 2000)));
    VoiceId loud = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(std::vector<int16_t>(100, 31000)));
    VoiceId quietLoud = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(std::vector<int16_t>(100, -31000)));
    ASSERT_TRUE(low && high && loud && quietLoud);

    EXPECT_EQ(Mix(mixer, 4), std::vector<int16_t>(4, 0)) << "nothing plays before Play";
    mixer.Play(low, false);
    mixer.Play(high, false);
    EXPECT_EQ(Mix(mixer, 10), std::vector<int16_t>(10, 3000));
    mixer.Play(loud, false);
    EXPECT_EQ(Mix(mixer, 10), std::vector<int16_t>(10, INT16_MAX));
    mixer.Stop(low);
    mixer.Stop(high);
    mixer.Stop(loud);
    mixer.Play(quietLoud, false);
    mixer.Play(quietLoud, false);
    EXPECT_EQ(Mix(mixer, 10), std::vector<int16_t>(10, -31000)) << "a voice never plays over itself";
}

TEST(AudioMixer, PlayRestartsPauseKeepsThePlaceStopRewinds)
{
    AudioMixer mixer(kMono8k);
    auto ramp = Ramp(1000);
    VoiceId voice = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(ramp));
    mixer.Play(voice, false);
    EXPECT_EQ(Mix(mixer, 100), Slice(ramp, 0, 100));
    mixer.Play(voice, false);
    EXPECT_EQ(Mix(mixer, 50), Slice(ramp, 0, 50));

    mixer.Pause(voice);
    EXPECT_EQ(mixer.IsPlaying(voice), false);
    EXPECT_EQ(Mix(mixer, 20), std::vector<int16_t>(20, 0));
    mixer.Resume(voice, false);
    EXPECT_EQ(Mix(mixer, 10), Slice(ramp, 50, 60));

    mixer.Stop(voice);
    EXPECT_EQ(mixer.GetPosition(voice), 0u);
    mixer.Resume(voice, false);
    EXPECT_EQ(Mix(mixer, 10), Slice(ramp, 0, 10));
}

TEST(AudioMixer, LoopsOrEndsAndRewinds)
{
    AudioMixer mixer(kMono8k);
    auto ramp = Ramp(30);
    VoiceId voice = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(ramp));

    mixer.Play(voice, true);
    auto looped = Mix(mixer, 75);
    for (size_t i = 0; i < looped.size(); ++i)
        ASSERT_EQ(looped[i], ramp[i % ramp.size()]) << i;
    EXPECT_EQ(mixer.IsPlaying(voice), true);

    mixer.Play(voice, false);
    auto once = Mix(mixer, 50);
    EXPECT_EQ(Slice(once, 0, 30), ramp);
    EXPECT_EQ(Slice(once, 30, 50), std::vector<int16_t>(20, 0));
    EXPECT_EQ(mixer.IsPlaying(voice), false);
    EXPECT_EQ(mixer.GetPosition(voice), 0u);
}

TEST(AudioMixer, ConvertsSampleSizesAndChannels)
{
    constexpr OutputLayout kStereo8k { 2, 8000 };
    AudioMixer mixer(kStereo8k);
    // 8-bit unsigned 0xC0, 24-bit 0x123456 and 32-bit 0x7FFF0000, each mono.
    auto u8 = std::make_shared<std::vector<uint8_t>>(64, 0xC0);
    auto s24 = std::make_shared<std::vector<uint8_t>>();
    auto s32 = std::make_shared<std::vector<uint8_t>>();
    for (int i = 0; i < 64; ++i) {
        s24->insert(s24->end(), { 0x56, 0x34, 0x12 });
        s32->insert(s32->end(), { 0x00, 0x00, 0xFF, 0x7F });
    }
    struct Case {
        PcmLayout layout;
        std::shared_ptr<const std::vector<uint8_t>> pcm;
        int expected;
    } cases[] = {
        { { 1, 8000, 1 }, u8, 0x4000 },
        { { 1, 8000, 3 }, s24, 0x1234 },
        { { 1, 8000, 4 }, s32, 0x7FFF },
    };
    for (const Case& c : cases) {
        VoiceId voice = mixer.AddVoice(c.layout, c.pcm);
        ASSERT_NE(voice, 0u) << c.layout.bytesPerSample;
        mixer.Play(voice, false);
        auto out = Mix(mixer, 32);
        for (int16_t sample : out)
            ASSERT_NEAR(sample, c.expected, 1) << c.layout.bytesPerSample;
        mixer.RemoveVoice(voice);
    }

    // Eleven channels, more than the converter takes, fold to two.
    std::vector<int16_t> wide;
    for (int frame = 0; frame < 64; ++frame)
        for (int channel = 0; channel < 11; ++channel)
            wide.push_back(static_cast<int16_t>(channel % 2 ? -600 : 600));
    VoiceId folded = mixer.AddVoice({ 11, 8000, 2 }, Pcm16(wide));
    ASSERT_NE(folded, 0u);
    mixer.Play(folded, false);
    auto out = Mix(mixer, 16);
    for (size_t i = 0; i < out.size(); i += 2) {
        EXPECT_NEAR(out[i], 600, 1);
        EXPECT_NEAR(out[i + 1], -600, 1);
    }
}

TEST(AudioMixer, ResamplesToTheOutputRate)
{
    constexpr OutputLayout kStereo48k { 2, 48000 };
    constexpr int kSourceRate = 22050;
    constexpr double kFrequency = 441.0;
    constexpr double kAmplitude = 12000.0;
    std::vector<int16_t> sine(kSourceRate / 2);
    for (size_t i = 0; i < sine.size(); ++i)
        sine[i]
            = static_cast<int16_t>(kAmplitude * std::sin(2 * M_PI * kFrequency * static_cast<double>(i) / kSourceRate));

    AudioMixer mixer(kStereo48k);
    VoiceId voice = mixer.AddVoice({ 1, kSourceRate, 2 }, Pcm16(sine));
    mixer.Play(voice, false);
    std::vector<int16_t> left;
    while (mixer.IsPlaying(voice) == true) {
        auto out = Mix(mixer, 512);
        for (size_t i = 0; i < out.size(); i += 2) {
            ASSERT_EQ(out[i], out[i + 1]) << "mono goes to both sides";
            left.push_back(out[i]);
        }
        ASSERT_LT(left.size(), 100000u);
    }
    while (!left.empty() && left.back() == 0)
        left.pop_back();
    double expectedFrames = static_cast<double>(sine.size()) * 48000 / kSourceRate;
    EXPECT_NEAR(static_cast<double>(left.size()), expectedFrames, 64);

    // Away from the edges the tone keeps its level and its pitch.
    size_t crossings = 0;
    double energy = 0;
    const size_t begin = 2000;
    const size_t end = left.size() - 2000;
    for (size_t i = begin; i < end; ++i) {
        energy += static_cast<double>(left[i]) * left[i];
        if ((left[i - 1] < 0) != (left[i] < 0))
            ++crossings;
    }
    double rms = std::sqrt(energy / static_cast<double>(end - begin));
    EXPECT_NEAR(rms, kAmplitude / std::sqrt(2.0), kAmplitude * 0.02);
    double seconds = static_cast<double>(end - begin) / 48000;
    EXPECT_NEAR(static_cast<double>(crossings) / 2 / seconds, kFrequency, 3);
}

TEST(AudioMixer, RefusesLayoutsItCannotPlay)
{
    AudioMixer mixer(kMono8k);
    auto pcm = Pcm16(Ramp(100));
    EXPECT_EQ(mixer.AddVoice({ 0, 8000, 2 }, pcm), 0u);
    EXPECT_EQ(mixer.AddVoice({ 1, 0, 2 }, pcm), 0u);
    EXPECT_EQ(mixer.AddVoice({ 1, 8000, 0 }, pcm), 0u);
    EXPECT_EQ(mixer.AddVoice({ 1, 8000, 5 }, pcm), 0u);
    EXPECT_EQ(mixer.AddVoice({ 1, 8000, 2 }, nullptr), 0u);
    EXPECT_EQ(mixer.AddVoice({ 1, 8000, 2 }, std::make_shared<std::vector<uint8_t>>(1, 0)), 0u) << "no whole frame";
    EXPECT_FALSE(mixer.Play(12345, false));
    EXPECT_FALSE(mixer.IsPlaying(12345).has_value());
}

std::atomic<uint32_t> g_ticks { 0xFFFFFF00u };

uint32_t FakeTicks()
{
    return g_ticks.load();
}

TEST(AudioMixer, ClockDrivenVoicesEndWhenTheirTimeHasPassed)
{
    // Starts just before the tick count wraps.
    AudioMixer mixer(OutputLayout { 2, 48000 }, FakeTicks);
    VoiceId second = mixer.AddVoice({ 1, 8000, 2 }, Pcm16(std::vector<int16_t>(8000, 5)));
    VoiceId looping = mixer.AddVoice({ 2, 44100, 2 }, Pcm16(std::vector<int16_t>(2 * 4410, 5)));
    mixer.Play(second, false);
    mixer.Play(looping, true);

    g_ticks += 500;
    EXPECT_EQ(mixer.IsPlaying(second), true);
    EXPECT_EQ(mixer.GetPosition(second), 4000u);
    mixer.Pause(second);
    g_ticks += 10000;
    EXPECT_EQ(mixer.GetPosition(second), 4000u) << "a paused voice stands still";
    mixer.Resume(second, false);
    g_ticks += 499;
    EXPECT_EQ(mixer.IsPlaying(second), true);
    g_ticks += 2;
    EXPECT_EQ(mixer.IsPlaying(second), false);
    EXPECT_EQ(mixer.GetPosition(second), 0u);

    EXPECT_EQ(mixer.IsPlaying(looping), true);
    EXPECT_LT(*mixer.GetPosition(looping), 4410u);
}

TEST(AudioMixer, VoicesChangeWhileTheOutputThreadMixes)
{
    AudioMixer mixer(OutputLayout { 2, 48000 });
    std::atomic<bool> mixing { true };
    std::thread output([&] {
        std::vector<int16_t> out(512 * 2);
        while (mixing)
            mixer.Mix(out.data(), 512);
    });
    for (int round = 0; round < 200; ++round) {
        VoiceId voice = mixer.AddVoice({ 1, 22050, 2 }, Pcm16(Ramp(2000)));
        ASSERT_NE(voice, 0u);
        mixer.Play(voice, round % 2 == 0);
        mixer.Pause(voice);
        mixer.Resume(voice, true);
        mixer.IsPlaying(voice);
        mixer.Play(voice, false);
        if (round % 3)
            mixer.RemoveVoice(voice);
    }
    mixing = false;
    output.join();
}

}
}
