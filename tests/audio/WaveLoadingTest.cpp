// WAVE loading checked against sox: every encoding we convert must give the
// samples sox itself decodes from the same file.

#include "audio/SoundBuffer.h"
#include "tests/audio/AudioTestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace lumarra {
namespace {

using test::RunCommand;
using test::TempFolder;

struct Encoding {
    const char* name;
    const char* soxOptions;
    int channels;
    int rate;
};

// A tone and noise, so every code and sample range of the encodings is used.
constexpr const char* kSignal = "synth 0.3 sine 440 whitenoise sine 1300 vol 0.9";

void PrintTo(const Encoding& value, std::ostream* out)
{
    *out << value.name;
}

class WaveAgainstSox : public testing::TestWithParam<Encoding> { };

TEST_P(WaveAgainstSox, GivesTheSamplesSoxDecodes)
{
    const Encoding& encoding = GetParam();
    TempFolder folder;
    std::string source = folder.Native("source.wav");
    ASSERT_TRUE(RunCommand("sox -R -n -r " + std::to_string(encoding.rate) + " -c " + std::to_string(encoding.channels)
        + " " + encoding.soxOptions + " " + source + " " + kSignal));
    std::string reference = folder.Native("reference.raw");
    ASSERT_TRUE(RunCommand("sox -D " + source + " -t raw -e signed-integer -b 16 -L " + reference));
    auto expected = test::ReadRawSamples(reference);
    ASSERT_FALSE(expected.empty());

    SoundBuffer sound;
    ASSERT_EQ(sound.LoadFile(folder.Internal("source.wav")), 1);
    const WaveFormat& format = sound.GetFormat();
    EXPECT_EQ(format.formatTag, kWaveFormatPcm);
    EXPECT_EQ(format.channels, encoding.channels);
    EXPECT_EQ(format.samplesPerSec, static_cast<uint32_t>(encoding.rate));
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.blockAlign, encoding.channels * 2);
    EXPECT_EQ(format.avgBytesPerSec, static_cast<uint32_t>(encoding.channels * 2 * encoding.rate));
    EXPECT_EQ(sound.GetFormatBlock().size(), kWaveFormatSize);

    auto actual = test::ToSamples({ sound.GetPcm().begin(), sound.GetPcm().end() });
    // ADPCM decodes whole blocks; sox stops at the sample count the file
    // declares, inside the last one.
    ASSERT_GE(actual.size(), expected.size());
    actual.resize(expected.size());
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Encodings, WaveAgainstSox,
    testing::Values(Encoding { "ImaAdpcmMono", "-e ima-adpcm", 1, 22050 },
        Encoding { "ImaAdpcmStereo", "-e ima-adpcm", 2, 44100 }, Encoding { "MsAdpcmMono", "-e ms-adpcm", 1, 11025 },
        Encoding { "MsAdpcmStereo", "-e ms-adpcm", 2, 22050 }, Encoding { "MuLaw", "-e u-law", 1, 8000 },
        Encoding { "ALawStereo", "-e a-law", 2, 8000 }, Encoding { "Float32", "-e floating-point -b 32", 2, 44100 },
        Encoding { "Float64", "-e floating-point -b 64", 1, 48000 },
        Encoding { "Extensible24", "-e signed-integer -b 24", 2, 48000 },
        Encoding { "Extensible32", "-e signed-integer -b 32", 1, 44100 },
        Encoding { "ExtensibleFourChannels16", "-e signed-integer -b 16", 4, 22050 },
        Encoding { "ExtensibleFloatSixChannels", "-e floating-point -b 32", 6, 16000 }),
    [](const testing::TestParamInfo<Encoding>& info) { return std::string(info.param.name); });

TEST(WaveLoading, KeepsPcmUnchangedWithTheFilesOwnFormatChunk)
{
    TempFolder folder;
    std::string path = folder.Native("pcm.wav");
    ASSERT_TRUE(RunCommand("sox -R -n -r 22050 -c 2 -e signed-integer -b 16 " + path + " " + kSignal));
    auto file = test::ReadBytes(path);
    ASSERT_GT(file.size(), 44u);

    SoundBuffer sound;
    ASSERT_EQ(sound.LoadFile(folder.Internal("pcm.wav")), 1);
    std::vector<uint8_t> fmtChunk(file.begin() + 20, file.begin() + 36);
    EXPECT_EQ(std::vector<uint8_t>(sound.GetFormatBlock().begin(), sound.GetFormatBlock().end()), fmtChunk);
    EXPECT_EQ(std::vector<uint8_t>(sound.GetPcm().begin(), sound.GetPcm().end()),
        std::vector<uint8_t>(file.begin() + 44, file.end()));

    // Eight-bit PCM stays eight-bit.
    ASSERT_TRUE(
        RunCommand("sox -R -n -r 8000 -c 1 -e unsigned-integer -b 8 " + folder.Native("u8.wav") + " " + kSignal));
    ASSERT_EQ(sound.LoadFile(folder.Internal("u8.wav")), 1);
    EXPECT_EQ(sound.GetFormat().bitsPerSample, 8);
    EXPECT_EQ(sound.GetPcmBytes(), 2400u);
}

TEST(WaveLoading, ChoosesTheDecoderByExtensionAlone)
{
    TempFolder folder;
    ASSERT_TRUE(RunCommand("sox -R -n -r 22050 -c 1 " + folder.Native("tone.wav") + " " + kSignal));
    ASSERT_TRUE(RunCommand("lame --quiet -b 64 " + folder.Native("tone.wav") + " " + folder.Native("tone.mp3")));
    auto wave = test::ReadBytes(folder.Native("tone.wav"));
    auto mp3 = test::ReadBytes(folder.Native("tone.mp3"));
    test::WriteBytes(folder.Native("upper.MP3"), mp3);
    test::WriteBytes(folder.Native("mixed.Mp3"), mp3);
    test::WriteBytes(folder.Native("double.mp3.wav"), mp3);
    test::WriteBytes(folder.Native("noextension"), wave);
    test::WriteBytes(folder.Native("wave.mp3x"), wave);
    // Quiet 8-bit samples hold no byte that could start an MP3 frame.
    ASSERT_TRUE(
        RunCommand("sox -R -n -r 8000 -c 2 -b 8 -t wav " + folder.Native("wave.mp3") + " synth 0.3 sine 440 vol 0.1"));

    SoundBuffer sound;
    EXPECT_EQ(sound.LoadFile(folder.Internal("upper.MP3")), 1);
    EXPECT_EQ(sound.LoadFile(folder.Internal("mixed.Mp3")), 1);
    EXPECT_EQ(sound.LoadFile(folder.Internal("noextension")), 1);
    EXPECT_EQ(sound.LoadFile(folder.Internal("wave.mp3x")), 1);
    // An MP3 read as WAVE, and a WAVE read as MP3, are refused.
    EXPECT_EQ(sound.LoadFile(folder.Internal("double.mp3.wav")), 0);
    EXPECT_EQ(sound.LoadFile(folder.Internal("wave.mp3")), 0);
}

}
}
