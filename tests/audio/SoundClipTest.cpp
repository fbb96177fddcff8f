// Clips beside the program, the sound table and the scene operations, on the
// null output.

#include "audio/SoundDevice.h"
#include "audio/SoundTable.h"
#include "platform/Clock.h"
#include "tests/audio/AudioTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumarra {
namespace {

using test::RunCommand;
using test::TempFolder;

class SoundClipTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_home = new TempFolder;
        setenv("LUMARRA_HOME", s_home->Native("").c_str(), 1);
        std::filesystem::create_directories(s_home->GetPath() / "Data");
        std::filesystem::create_directories(s_home->GetPath() / "Wave");
        std::string tone = s_home->Native("tone.wav");
        ASSERT_TRUE(RunCommand("sox -R -n -r 22050 -c 1 " + tone + " synth 0.15 sine 500"));
        // Every table file but the first music track.
        ASSERT_TRUE(RunCommand("lame --quiet -b 64 " + tone + " " + s_home->Native("Data/Sound02.mp3")));
        for (const char* name : { "Data/Sound03.mp3", "Data/Sound04.mp3", "Data/Sound07.mp3", "Data/Sound08.mp3",
                 "Data/Sound09.mp3", "Data/Sound14.mp3", "Wave/Menu1.mp3", "Wave/Menu2.mp3", "Wave/Game1.mp3",
                 "Wave/Game2.mp3", "Wave/Game3.mp3", "Wave/Game4.mp3", "Wave/Game5.mp3" })
            std::filesystem::copy_file(s_home->Native("Data/Sound02.mp3"), s_home->Native(name));
        std::filesystem::copy_file(tone, s_home->Native("Data/Sound18.wav"));
    }

    static void TearDownTestSuite()
    {
        unsetenv("LUMARRA_HOME");
        delete s_home;
        s_home = nullptr;
    }

    void SetUp() override { ASSERT_EQ(OpenSoundDevice(), 1); }
    void TearDown() override { CloseSoundDevice(); }

    static TempFolder* s_home;
};

TempFolder* SoundClipTest::s_home = nullptr;

TEST_F(SoundClipTest, TableLoadsWhatIsThereAndMissingFilesStaySilent)
{
    std::atomic<int> waitFlag { 0 };
    SoundTable table(&waitFlag);
    table.Load();
    EXPECT_FALSE(table.Clip(1).GetSound().HasVoice());
    for (int number = 2; number <= SoundTable::kClipCount; ++number)
        EXPECT_TRUE(table.Clip(number).GetSound().HasVoice()) << number;
    EXPECT_EQ(table.Clip(9).GetSound().GetFormat().samplesPerSec, 22050u) << "the WAVE effect";

    table.PlaySound(1, -1);
    EXPECT_EQ(waitFlag.load(), 1);
    EXPECT_EQ(table.Clip(1).IsPlaying(), 0);
    EXPECT_EQ(table.Clip(1).GetMode(), -1);
    table.UnloadAll();
}

TEST_F(SoundClipTest, NumbersOutsideTheTableDoNothing)
{
    std::atomic<int> waitFlag { 0 };
    SoundTable table(&waitFlag);
    table.Load();
    table.PlaySound(0, 1);
    table.PlaySound(17, 1);
    table.PlaySound(-1, 1);
    EXPECT_EQ(waitFlag.load(), 0);
    for (int number = 1; number <= SoundTable::kClipCount; ++number)
        EXPECT_EQ(table.Clip(number).IsPlaying(), 0);
    table.StopSound(17);
    table.UnloadAll();
}

TEST_F(SoundClipTest, ModesPlayOnceOrLoopAndStopSoundZeroStopsAll)
{
    SoundTable table;
    table.Load();
    table.PlaySound(2, -1);
    table.PlaySound(3, 2);
    table.PlaySound(4, 1);
    table.PlaySound(5, 0);
    Sleep(400);
    EXPECT_EQ(table.Clip(2).IsPlaying(), 1);
    EXPECT_EQ(table.Clip(3).IsPlaying(), 1);
    EXPECT_EQ(table.Clip(4).IsPlaying(), 0);
    EXPECT_EQ(table.Clip(5).IsPlaying(), 0);

    table.StopSound(3);
    EXPECT_EQ(table.Clip(3).IsPlaying(), 0);
    EXPECT_EQ(table.Clip(2).IsPlaying(), 1);
    table.PlaySound(6, 1);
    table.StopSound(0);
    for (int number = 1; number <= SoundTable::kClipCount; ++number)
        EXPECT_EQ(table.Clip(number).IsPlaying(), 0) << number;
    table.UnloadAll();
}

TEST_F(SoundClipTest, SceneOperationsOnAClipOfTheirOwn)
{
    SoundClip clip;
    uint32_t start = GetTickCount();
    PlayFileOnce(clip, "Wave\\Menu1.mp3", 0);
    EXPECT_LT(GetTickCount() - start, 100u) << "without wait it returns at once";
    EXPECT_EQ(clip.IsPlaying(), 1);
    EXPECT_TRUE(clip.GetSound().HasVoice());
    FinishClip(clip);
    EXPECT_FALSE(clip.GetSound().HasVoice());
    EXPECT_GE(GetTickCount() - start, 150u);

    PlayFileOnce(clip, "Wave\\Menu2.mp3", 1);
    EXPECT_FALSE(clip.GetSound().HasVoice()) << "a waited clip is unloaded";

    clip.Load("Wave\\Game1.mp3");
    clip.Play(-1);
    CutClip(clip);
    EXPECT_FALSE(clip.GetSound().HasVoice());
    EXPECT_EQ(clip.IsPlaying(), 0);

    EXPECT_EQ(clip.Load("Wave\\Missing.mp3"), 1);
    EXPECT_EQ(clip.Play(1), 1);
    EXPECT_EQ(clip.IsPlaying(), 0);
    FinishClip(clip);
}

}
}
