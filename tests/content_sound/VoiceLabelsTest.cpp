// Holds the built voices to the kana they read: the phonemes Open JTalk
// reports for every voice text must be those of standard Japanese (ん before
// b, p and j still "N", っ a closure, りょ one palatal mora, おう a long
// vowel), a card reading pauses once at each phrase break and nowhere else,
// and no voice may stop before its last phoneme has sounded.

#include "audio/SoundBuffer.h"
#include "platform/CodePage.h"
#include "tests/content_sound/SpokenKana.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumarra {
namespace {

// Label times are in units of 100 ns.
constexpr double kLabelUnitsPerSecond = 1e7;
// Every card reading and prompt: 143 proverb cards, 46 kana cards, 27 prompts.
constexpr size_t kFewestVoices = 216;
// The texts of the card readings (Wave/000 … Wave/003), not of the prompts.
constexpr std::string_view kReadingPrefix = "Wave_00";

struct Labels {
    std::vector<std::string> phonemes;  // without the silences and pauses
    size_t pauses = 0;
    double speechSeconds = 0;  // from the first phoneme's start to the last one's end
};

// Parses the full-context labels "start end p1^p2-p3+p4=p5/A:...", one a
// line, silence first and last; the phoneme is p3. Devoiced vowels (capital
// letters) count as their vowels.
Labels ReadLabels(const std::filesystem::path& path)
{
    Labels labels;
    std::ifstream in(path);
    long long speechStart = -1, speechEnd = -1;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        long long start = 0, end = 0;
        std::string label;
        if (!(fields >> start >> end >> label))
            continue;
        size_t from = label.find('-'), to = label.find('+');
        if (from == std::string::npos || to == std::string::npos || to < from)
            continue;
        std::string phoneme = label.substr(from + 1, to - from - 1);
        labels.pauses += phoneme == "pau";
        if (phoneme == "sil" || phoneme == "pau")
            continue;
        if (phoneme.size() == 1 && std::string_view("AIUEO").find(phoneme[0]) != std::string_view::npos)
            phoneme[0] = static_cast<char>(phoneme[0] - 'A' + 'a');
        labels.phonemes.push_back(phoneme);
        if (speechStart < 0)
            speechStart = start;
        speechEnd = end;
    }
    if (speechStart >= 0)
        labels.speechSeconds = static_cast<double>(speechEnd - speechStart) / kLabelUnitsPerSecond;
    return labels;
}

// The phrase breaks of a card reading: runs of spaces and punctuation
// between two kana.
size_t PhraseBreaksOf(std::u32string_view text)
{
    constexpr std::u32string_view kBreak = U"、。 ";
    size_t breaks = 0;
    bool spoken = false, pending = false;
    for (char32_t c : text) {
        bool isBreak = kBreak.find(c) != std::u32string_view::npos;
        breaks += !isBreak && spoken && pending;
        pending = isBreak ? spoken : false;
        spoken = spoken || !isBreak;
    }
    return breaks;
}

std::string Joined(const std::vector<std::string>& phonemes)
{
    std::string joined;
    for (const std::string& phoneme : phonemes)
        joined += (joined.empty() ? "" : " ") + phoneme;
    return joined;
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The voice file a text was spoken into: the build names each text after it
// ("Wave/001/0000.mp3" is Wave_001_0000_mp3), and no voice name holds '_'.
std::string VoiceFileOf(const std::filesystem::path& labelFile)
{
    std::string stem = labelFile.stem().string();
    constexpr std::string_view kSuffix = "_mp3";
    if (stem.ends_with(kSuffix))
        stem.replace(stem.size() - kSuffix.size(), kSuffix.size(), ".mp3");
    std::replace(stem.begin(), stem.end(), '_', '\\');
    return stem;
}

double VoiceSeconds(const std::string& name)
{
    const char* home = std::getenv("LUMARRA_HOME");
    std::string path = std::string(home ? home : ".") + "/" + name;
    std::replace(path.begin(), path.end(), '\\', '/');
    SoundBuffer buffer;
    if (buffer.LoadFile(path) != 1 || buffer.GetFormat().samplesPerSec == 0)
        return 0;
    return static_cast<double>(buffer.GetPcm().size() / 2) / buffer.GetFormat().samplesPerSec;
}

TEST(VoiceLabels, EveryVoiceSaysItsKanaAndEndsAfterItsLastPhoneme)
{
    const char* dir = std::getenv("LUMARRA_VOICE_TEXTS");
    ASSERT_TRUE(dir) << "LUMARRA_VOICE_TEXTS names the folder of the spoken texts";
    size_t checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".lab")
            continue;
        Labels labels = ReadLabels(entry.path());
        if (labels.phonemes.empty())
            continue;  // spoken by the stand-in voice, which has no labels
        ++checked;
        std::filesystem::path textFile = entry.path();
        textFile.replace_extension(".txt");
        std::string text = ReadText(textFile);
        std::u32string kana = Cp932ToUtf32(Utf8ToCp932(text));
        EXPECT_EQ(Joined(labels.phonemes), Joined(PhonemesOf(kana))) << entry.path().filename() << ": " << text;
        if (entry.path().filename().string().starts_with(kReadingPrefix)) {
            EXPECT_EQ(labels.pauses, PhraseBreaksOf(kana)) << entry.path().filename() << ": " << text;
        }
        std::string voice = VoiceFileOf(entry.path());
        EXPECT_GE(VoiceSeconds(voice), labels.speechSeconds) << voice << " stops before its last phoneme";
    }
    if (checked == 0)
        GTEST_SKIP() << "no Open JTalk labels: the voices were spoken by espeak-ng";
    EXPECT_GE(checked, kFewestVoices);
}

}
}
