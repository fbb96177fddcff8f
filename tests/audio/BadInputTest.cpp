// Damaged and hostile sound files: each load fails cleanly and keeps nothing.

#include "audio/SoundBuffer.h"
#include "tests/audio/AudioTestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lumarra {
namespace {

using test::TempFolder;

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body, uint32_t declared)
{
    out.insert(out.end(), id, id + 4);
    Put32(out, declared);
    out.insert(out.end(), body.begin(), body.end());
}

struct WaveSpec {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 8000;
    uint16_t blockAlign = 2;
    uint16_t bits = 16;
    std::vector<uint8_t> extra;
    std::vector<uint8_t> data = std::vector<uint8_t>(64, 0x10);
    // Declared sizes; 0 means the true one.
    uint32_t fmtSize = 0;
    uint32_t dataSize = 0;
    uint32_t riffSize = 0;
    const char* form = "WAVE";
};

std::vector<uint8_t> MakeWave(const WaveSpec& spec)
{
    std::vector<uint8_t> fmt;
    Put16(fmt, spec.tag);
    Put16(fmt, spec.channels);
    Put32(fmt, spec.rate);
    Put32(fmt, spec.rate * spec.blockAlign);
    Put16(fmt, spec.blockAlign);
    Put16(fmt, spec.bits);
    if (!spec.extra.empty()) {
        Put16(fmt, static_cast<uint32_t>(spec.extra.size()));
        fmt.insert(fmt.end(), spec.extra.begin(), spec.extra.end());
    }
    std::vector<uint8_t> body(spec.form, spec.form + 4);
    PutChunk(body, "fmt ", fmt, spec.fmtSize ? spec.fmtSize : static_cast<uint32_t>(fmt.size()));
    PutChunk(body, "data", spec.data, spec.dataSize ? spec.dataSize : static_cast<uint32_t>(spec.data.size()));
    std::vector<uint8_t> file;
    PutChunk(file, "RIFF", body, spec.riffSize ? spec.riffSize : static_cast<uint32_t>(body.size()));
    return file;
}

class BadSoundFiles : public testing::Test {
protected:
    // Loads bytes saved under `name`; checks that a refused file leaves
    // nothing behind.
    int Load(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        test::WriteBytes(m_folder.Native(name), bytes);
        SoundBuffer sound;
        int result = sound.LoadFile(m_folder.Internal(name));
        if (!result) {
            EXPECT_TRUE(sound.GetPcm().empty()) << name;
            EXPECT_TRUE(sound.GetFormatBlock().empty()) << name;
        }
        return result;
    }

    TempFolder m_folder;
};

TEST_F(BadSoundFiles, WellFormedBuilderFileLoads)
{
    EXPECT_EQ(Load("good.wav", MakeWave({})), 1);
}

TEST_F(BadSoundFiles, MissingEmptyAndGarbageFilesFail)
{
    SoundBuffer sound;
    EXPECT_EQ(sound.LoadFile(m_folder.Internal("missing.wav")), 0);
    EXPECT_EQ(sound.LoadFile(m_folder.Internal("missing.mp3")), 0);
    EXPECT_EQ(Load("empty.wav", {}), 0);
    EXPECT_EQ(Load("empty.mp3", {}), 0);
    std::mt19937 random(7);
    std::vector<uint8_t> garbage(20000);
    for (auto& byte : garbage)
        byte = static_cast<uint8_t>(random());
    EXPECT_EQ(Load("garbage.wav", garbage), 0);
    EXPECT_EQ(Load("garbage.mp3", garbage), 0);
    EXPECT_EQ(Load("text.mp3", std::vector<uint8_t>(4000, 'a')), 0);
}

TEST_F(BadSoundFiles, MissingFormChunksOrDataFail)
{
    WaveSpec notWave;
    notWave.form = "AVI ";
    EXPECT_EQ(Load("avi.wav", MakeWave(notWave)), 0);
    WaveSpec emptyData;
    emptyData.data.clear();
    EXPECT_EQ(Load("emptydata.wav", MakeWave(emptyData)), 0);

    // Only a RIFF header and a "fmt " chunk.
    auto noData = MakeWave({});
    noData.resize(noData.size() - 64 - 8);
    EXPECT_EQ(Load("nodata.wav", noData), 0);
}

TEST_F(BadSoundFiles, ChunkSizesThatLieFail)
{
    WaveSpec gigabytes;
    gigabytes.dataSize = 0xFFFFFFF0u;
    EXPECT_EQ(Load("gigabytes.wav", MakeWave(gigabytes)), 0);

    auto truncated = MakeWave({});
    truncated.resize(truncated.size() - 10);
    EXPECT_EQ(Load("truncated.wav", truncated), 0);

    WaveSpec hugeFormat;
    hugeFormat.fmtSize = 0x7FFFFFF0u;
    EXPECT_EQ(Load("hugefmt.wav", MakeWave(hugeFormat)), 0);

    // A RIFF chunk that ends before its "data" chunk.
    WaveSpec shortRiff;
    shortRiff.riffSize = 30;
    EXPECT_EQ(Load("shortriff.wav", MakeWave(shortRiff)), 0);

    // A RIFF size past the end of the file is harmless.
    WaveSpec longRiff;
    longRiff.riffSize = 0xFFFFFFF0u;
    EXPECT_EQ(Load("longriff.wav", MakeWave(longRiff)), 1);
}

TEST_F(BadSoundFiles, FormatChunkOver64KiBIsRefused)
{
    WaveSpec big;
    big.tag = 0x11;
    big.bits = 4;
    big.blockAlign = 36;
    big.extra.assign(70000, 0);
    EXPECT_EQ(Load("bigfmt.wav", MakeWave(big)), 0);

    WaveSpec tooShort;
    tooShort.fmtSize = 14;
    EXPECT_EQ(Load("shortfmt.wav", MakeWave(tooShort)), 0);
}

TEST_F(BadSoundFiles, ImpossibleFormatsFail)
{
    WaveSpec noChannels;
    noChannels.channels = 0;
    EXPECT_EQ(Load("nochannels.wav", MakeWave(noChannels)), 0);
    WaveSpec noRate;
    noRate.rate = 0;
    EXPECT_EQ(Load("norate.wav", MakeWave(noRate)), 0);

    WaveSpec ima;
    ima.tag = 0x11;
    ima.bits = 4;
    for (uint16_t blockAlign : { 0, 3, 37 }) {
        ima.blockAlign = blockAlign;
        EXPECT_EQ(Load("ima.wav", MakeWave(ima)), 0) << blockAlign;
    }
    ima.blockAlign = 36;
    ima.extra = { 0xFF, 0x7F };  // more samples per block than the block holds
    EXPECT_EQ(Load("imaspb.wav", MakeWave(ima)), 0);
    ima.extra = { 65, 0 };
    EXPECT_EQ(Load("imagood.wav", MakeWave(ima)), 1);

    WaveSpec ms;
    ms.tag = 0x02;
    ms.bits = 4;
    ms.blockAlign = 64;
    ms.extra = { 116, 0, 0xE8, 0x03 };  // 1000 coefficient pairs that are not there
    EXPECT_EQ(Load("mscoef.wav", MakeWave(ms)), 0);
    ms.blockAlign = 6;  // shorter than one block header
    ms.extra = { 2, 0, 1, 0, 0, 1, 0, 0 };
    EXPECT_EQ(Load("msalign.wav", MakeWave(ms)), 0);

    WaveSpec unknown;
    unknown.tag = 0x55;
    EXPECT_EQ(Load("mp3inwave.wav", MakeWave(unknown)), 0);
    WaveSpec oddFloat;
    oddFloat.tag = 3;
    oddFloat.bits = 24;
    oddFloat.blockAlign = 3;
    EXPECT_EQ(Load("float24.wav", MakeWave(oddFloat)), 0);
}

TEST_F(BadSoundFiles, DamagedMp3Fails)
{
    ASSERT_TRUE(test::RunCommand("sox -R -n -r 44100 -c 2 " + m_folder.Native("tone.wav") + " synth 0.5 sine 440"));
    ASSERT_TRUE(
        test::RunCommand("lame --quiet -b 128 " + m_folder.Native("tone.wav") + " " + m_folder.Native("tone.mp3")));
    auto mp3 = test::ReadBytes(m_folder.Native("tone.mp3"));
    EXPECT_EQ(Load("whole.mp3", mp3), 1);
    EXPECT_EQ(Load("header.mp3", { mp3.begin(), mp3.begin() + 4 }), 0);
    // Cut inside the first audio frame: no whole frame decodes.
    EXPECT_EQ(Load("firstframe.mp3", { mp3.begin(), mp3.begin() + 600 }), 0);
}

}
}
