// Checks the sound files the asset build puts beside the program: each one
// the game loads exists, decodes with the game's own loader, lasts a sensible
// time and is as loud as its kind should be.

#include "audio/SoundBuffer.h"
#include "support/FileIo.h"
#include "support/FilePaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace lumarra {
namespace {

// Voices and music are normalised to one level, so none drowns another;
// effects may sit lower, to stay under the voices they are heard with.
constexpr double kLoudestPeakDb = -1.0;
constexpr double kQuietestPeakDb = -6.0;
constexpr double kQuietestEffectPeakDb = -14.0;
constexpr double kShortestVoice = 0.4;
constexpr double kLongestVoice = 8.0;
constexpr double kLongestEffect = 3.0;
constexpr double kShortestLoop = 40.0;
// The game's original MP3 reader holds ten samples per byte of file; files
// must not decode to more.
constexpr size_t kSamplesPerFileByte = 10;
// A loop's end and start meet at near silence; a step of more than this
// between neighbouring samples across the join would click.
constexpr int kLargestJoinStep = 1000;
constexpr size_t kJoinWindow = 441;

struct Sound {
    std::string name;
    WaveFormat format;
    std::vector<int16_t> samples;
    size_t fileBytes = 0;

    double GetSeconds() const { return static_cast<double>(samples.size()) / format.samplesPerSec; }
    double PeakDb() const
    {
        int peak = 1;
        for (int16_t sample : samples)
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        return 20 * std::log10(peak / 32768.0);
    }
    // Loudness over `length` seconds from `from` (silence past the end).
    double RmsDb(double from, double length) const
    {
        size_t first = std::min(samples.size(), static_cast<size_t>(from * format.samplesPerSec));
        size_t count = static_cast<size_t>(length * format.samplesPerSec);
        double sum = 1e-9;
        for (size_t n = first; n < std::min(samples.size(), first + count); ++n)
            sum += static_cast<double>(samples[n]) * samples[n];
        return 10 * std::log10(sum / std::max<size_t>(count, 1) / (32768.0 * 32768.0));
    }
};

std::string PathOf(const std::string& name)
{
    return JoinPath(GetModuleFolder(), name);
}

// Loads the file as the game does; false (with a test failure) when it can't.
bool Load(const std::string& name, Sound& sound)
{
    SoundBuffer buffer;
    if (buffer.LoadFile(PathOf(name)) != 1) {
        ADD_FAILURE() << name << " is missing or does not decode";
        return false;
    }
    sound.name = name;
    sound.format = buffer.GetFormat();
    EXPECT_EQ(sound.format.bitsPerSample, 16) << name;
    EXPECT_EQ(sound.format.channels, 1) << name;
    std::span<const uint8_t> pcm = buffer.GetPcm();
    sound.samples.resize(pcm.size() / 2);
    std::memcpy(sound.samples.data(), pcm.data(), sound.samples.size() * 2);
    ReadWholeFile(PathOf(name), sound.fileBytes);
    if (sound.samples.empty() || sound.format.samplesPerSec == 0) {
        ADD_FAILURE() << name << " holds no sound";
        return false;
    }
    return true;
}

void ExpectEvenLoudness(const Sound& sound, double quietestPeak = kQuietestPeakDb)
{
    double peak = sound.PeakDb();
    EXPECT_GE(peak, quietestPeak) << sound.name;
    EXPECT_LE(peak, kLoudestPeakDb) << sound.name;
}

void ExpectDecoderCapacity(const Sound& sound)
{
    EXPECT_LE(sound.samples.size(), sound.fileBytes * kSamplesPerFileByte)
        << sound.name << ": bit rate too low for its sample rate";
}

void CheckVoice(const std::string& name, double longest = kLongestVoice)
{
    Sound sound;
    if (!Load(name, sound))
        return;
    EXPECT_GE(sound.GetSeconds(), kShortestVoice) << name;
    EXPECT_LE(sound.GetSeconds(), longest) << name;
    ExpectEvenLoudness(sound);
    ExpectDecoderCapacity(sound);
}

void CheckEffect(const std::string& name)
{
    Sound sound;
    if (!Load(name, sound))
        return;
    EXPECT_LT(sound.GetSeconds(), kLongestEffect) << name;
    ExpectEvenLoudness(sound, kQuietestEffectPeakDb);
    if (name.ends_with(".mp3"))
        ExpectDecoderCapacity(sound);
}

std::string Numbered(const char* pattern, int number)
{
    char name[64];
    std::snprintf(name, sizeof name, pattern, number);
    return name;
}

TEST(ContentSoundTest, MusicLoopsAreLongAndJoinWithoutAClick)
{
    for (const char* name : { "Data\\Sound01.mp3", "Data\\Sound02.mp3" }) {
        Sound sound;
        if (!Load(name, sound))
            continue;
        EXPECT_GE(sound.GetSeconds(), kShortestLoop) << name;
        ExpectDecoderCapacity(sound);
        ASSERT_GT(sound.samples.size(), 2 * kJoinWindow);
        std::vector<int16_t> join(sound.samples.end() - kJoinWindow, sound.samples.end());
        join.insert(join.end(), sound.samples.begin(), sound.samples.begin() + kJoinWindow);
        int largestStep = 0;
        for (size_t n = 0; n + 1 < join.size(); ++n)
            largestStep = std::max(largestStep, std::abs(join[n + 1] - join[n]));
        EXPECT_LE(largestStep, kLargestJoinStep) << name;
        EXPECT_LE(std::abs(sound.samples.back() - sound.samples.front()), kLargestJoinStep) << name;
    }
}

TEST(ContentSoundTest, EffectsAreShortAndNeverClip)
{
    for (const char* name : { "Data\\Sound03.mp3", "Data\\Sound04.mp3", "Data\\Sound07.mp3", "Data\\Sound08.mp3",
             "Data\\Sound09.mp3", "Data\\Sound14.mp3", "Data\\Sound18.wav" })
        CheckEffect(name);
}

// The result panel plays its effect, waits half a second and starts its
// voice: the fault sound must be over by then, and the take chime, still
// ringing, must sit well under the first second of every take voice.
TEST(ContentSoundTest, PanelEffectsLeaveRoomForTheirVoices)
{
    constexpr double kVoiceDelay = 0.5;
    constexpr double kFirstWord = 1.0;
    constexpr double kChimeUnderVoiceDb = 5.0;
    constexpr double kMp3Padding = 0.03;  // the encoder's delay and last frame
    Sound fault, chime;
    if (Load("Data\\Sound14.mp3", fault)) {
        EXPECT_LE(fault.GetSeconds(), kVoiceDelay + kMp3Padding) << "the fault sound runs into its voice";
    }
    if (!Load("Data\\Sound07.mp3", chime))
        return;
    double chimeUnderVoice = chime.RmsDb(kVoiceDelay, kFirstWord);
    for (int taker = 1; taker <= 2; ++taker) {
        for (int phrase = 1; phrase <= 3; ++phrase) {
            Sound voice;
            if (Load(Numbered(taker == 1 ? "Wave\\GetCard1%d.mp3" : "Wave\\GetCard2%d.mp3", phrase), voice)) {
                EXPECT_LE(chimeUnderVoice, voice.RmsDb(0, kFirstWord) - kChimeUnderVoiceDb) << voice.name;
            }
        }
    }
}

TEST(ContentSoundTest, ClickIsPlainPcmWave)
{
    SoundBuffer buffer;
    ASSERT_EQ(buffer.LoadFile(PathOf("Data\\Sound18.wav")), 1);
    // A PCM file keeps its own "fmt " chunk: it was taken without conversion.
    std::optional<WaveFormat> stored = ParseWaveFormat(buffer.GetFormatBlock());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->formatTag, kWaveFormatPcm);
    EXPECT_EQ(stored->bitsPerSample, 16);
}

TEST(ContentSoundTest, EveryPromptIsSpoken)
{
    std::vector<std::string> names = { "Wave\\Menu1.mp3", "Wave\\Menu2.mp3", "Wave\\ChoiceLevel.mp3" };
    for (int game = 1; game <= 5; ++game)
        names.push_back(Numbered("Wave\\Game%d.mp3", game));
    for (int level = 0; level <= 5; ++level)
        names.push_back(Numbered("Wave\\Level%d.mp3", level));
    for (const std::string& name : names)
        CheckVoice(name);
}

TEST(ContentSoundTest, TimedPromptsEndBeforeTheyAreCut)
{
    // The result panel stops its voice after 5 s for a take and 3 s for a
    // fault; the start prompt is waited for at most 3 s.
    constexpr double kTakePanelSeconds = 5.0;
    constexpr double kFaultPanelSeconds = 3.0;
    constexpr double kStartSeconds = 3.0;
    for (int phrase = 1; phrase <= 3; ++phrase) {
        CheckVoice(Numbered("Wave\\GetCard1%d.mp3", phrase), kTakePanelSeconds);
        CheckVoice(Numbered("Wave\\GetCard2%d.mp3", phrase), kTakePanelSeconds);
        CheckVoice(Numbered("Wave\\GetCard3%d.mp3", phrase), kFaultPanelSeconds);
        CheckVoice(Numbered("Wave\\GetCard4%d.mp3", phrase), kFaultPanelSeconds);
    }
    CheckVoice("Wave\\Start.mp3", kStartSeconds);
}

TEST(ContentSoundTest, EveryCardHasItsReadingAndNoMore)
{
    struct Deck {
        int folder;
        int cards;
    };
    for (Deck deck : { Deck { 1, 48 }, Deck { 2, 48 }, Deck { 3, 47 }, Deck { 0, 46 } }) {
        char pattern[32];
        std::snprintf(pattern, sizeof pattern, "Wave\\%03d\\%%03d0.mp3", deck.folder);
        for (int card = 0; card < deck.cards; ++card)
            CheckVoice(Numbered(pattern, card));
        EXPECT_EQ(FileExists(PathOf(Numbered(pattern, deck.cards))), 0) << "an extra reading in folder " << deck.folder;
    }
}

}
}
