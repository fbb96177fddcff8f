// MP3 loading checked against `lame --decode`: our samples are the left
// channel as decoded, untrimmed, so lame's trimmed output must appear in
// them whole at the encoder and decoder delay.

#include "audio/SoundBuffer.h"
#include "tests/audio/AudioTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace lumarra {
namespace {

using test::RunCommand;
using test::TempFolder;

struct Mp3Case {
    const char* name;
    int channels;
    int rate;
    const char* lameOptions;
};

// lame trims at most its encoder delay plus the decoder's 529 samples.
constexpr size_t kLargestLameTrim = 4000;

void PrintTo(const Mp3Case& value, std::ostream* out)
{
    *out << value.name;
}

class Mp3AgainstLame : public testing::TestWithParam<Mp3Case> { };

TEST_P(Mp3AgainstLame, KeepsTheLeftChannelUntrimmed)
{
    const Mp3Case& mp3 = GetParam();
    TempFolder folder;
    // Different signals left and right, so taking the wrong channel shows.
    ASSERT_TRUE(RunCommand("sox -R -n -r " + std::to_string(mp3.rate) + " -c " + std::to_string(mp3.channels) + " "
        + folder.Native("source.wav") + " synth 1.5 sine 440 sine 1250 vol 0.8"));
    ASSERT_TRUE(RunCommand(std::string("lame --quiet ") + mp3.lameOptions + " " + folder.Native("source.wav") + " "
        + folder.Native("sound.mp3")));
    ASSERT_TRUE(
        RunCommand("lame --quiet --decode -t " + folder.Native("sound.mp3") + " " + folder.Native("reference.raw")));
    auto decoded = test::ReadRawSamples(folder.Native("reference.raw"));
    std::vector<int16_t> left;
    for (size_t i = 0; i < decoded.size(); i += static_cast<size_t>(mp3.channels))
        left.push_back(decoded[i]);
    ASSERT_GT(left.size(), 1000u);

    SoundBuffer sound;
    ASSERT_EQ(sound.LoadFile(folder.Internal("sound.mp3")), 1);
    const WaveFormat& format = sound.GetFormat();
    EXPECT_EQ(format.formatTag, kWaveFormatPcm);
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.samplesPerSec, static_cast<uint32_t>(mp3.rate));
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, 2);
    EXPECT_EQ(format.avgBytesPerSec, static_cast<uint32_t>(mp3.rate * 2));
    EXPECT_EQ(sound.GetFormatBlock().size(), kWaveFormatSize);

    auto ours = test::ToSamples({ sound.GetPcm().begin(), sound.GetPcm().end() });
    ASSERT_GE(ours.size(), left.size());
    ASSERT_LE(ours.size(), left.size() + kLargestLameTrim);
    auto found = std::search(ours.begin(), ours.end(), left.begin(), left.end());
    EXPECT_NE(found, ours.end()) << "lame's samples do not appear in ours";
}

INSTANTIATE_TEST_SUITE_P(Streams, Mp3AgainstLame,
    testing::Values(Mp3Case { "Mono22kCbr", 1, 22050, "-b 64" }, Mp3Case { "Mono22kVbr", 1, 22050, "-V 5" },
        Mp3Case { "Stereo22kCbr", 2, 22050, "-b 96" }, Mp3Case { "Stereo22kVbr", 2, 22050, "-V 2" },
        Mp3Case { "Mono44kCbr", 1, 44100, "-b 128" }, Mp3Case { "Mono44kVbr", 1, 44100, "-V 4" },
        Mp3Case { "Stereo44kCbr", 2, 44100, "-b 128" }, Mp3Case { "Stereo44kVbr", 2, 44100, "-V 0" },
        Mp3Case { "Mono48kCbr", 1, 48000, "-b 160" }, Mp3Case { "Mono48kVbr", 1, 48000, "-V 6" },
        Mp3Case { "Stereo48kCbr", 2, 48000, "-b 192" }, Mp3Case { "Stereo48kVbr", 2, 48000, "-V 3" },
        // Below 0.8 bits per sample period: more than ten samples per file
        // byte, which must neither be cut nor overrun anything.
        Mp3Case { "LowBitRate", 1, 44100, "-b 32 --resample 44.1" },
        // A tag whose padding the decoder alone would take for frames.
        Mp3Case { "Id3v2Tagged", 2, 44100, "-b 128 --add-id3v2 --tt Title --pad-id3v2-size 3000" }),
    [](const testing::TestParamInfo<Mp3Case>& info) { return std::string(info.param.name); });

}
}
