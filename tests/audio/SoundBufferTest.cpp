// Sound buffers on the sound device: the null output (LUMARRA_AUDIO=null, set
// for every test) moves sounds on with the clock, so waits end on time.

#include "audio/SoundBuffer.h"
#include "audio/SoundDevice.h"
#include "platform/Clock.h"
#include "platform/audio/AudioDevice.h"
#include "tests/audio/AudioTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace lumarra {
namespace {

using test::RunCommand;
using test::TempFolder;

class SoundBufferTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TempFolder;
        ASSERT_TRUE(
            RunCommand("sox -R -n -r 22050 -c 1 -b 16 " + s_folder->Native("short.wav") + " synth 0.2 sine 440"));
        ASSERT_TRUE(
            RunCommand("sox -R -n -r 8000 -c 2 -b 16 " + s_folder->Native("other.wav") + " synth 0.1 sine 300"));
    }

    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    void TearDown() override { CloseSoundDevice(); }

    static std::string File(const char* name) { return s_folder->Internal(name); }

    static TempFolder* s_folder;
};

TempFolder* SoundBufferTest::s_folder = nullptr;

TEST_F(SoundBufferTest, WithoutADeviceEveryOperationFails)
{
    ASSERT_EQ(GetSoundDevice(), nullptr);
    SoundBuffer sound;
    std::atomic<int> keepWaiting { 1 };
    EXPECT_EQ(sound.CreateFromFile(File("short.wav")), 0);
    EXPECT_EQ(sound.Play(0), 0);
    EXPECT_EQ(sound.Stop(), 0);
    EXPECT_EQ(sound.Pause(), 0);
    EXPECT_EQ(sound.Resume(), 0);
    EXPECT_EQ(sound.IsPlaying(), 0);
    EXPECT_EQ(sound.WaitUntilEnd(keepWaiting), 0);
    sound.Release();
    // Loading alone needs no device.
    EXPECT_EQ(sound.LoadFile(File("short.wav")), 1);
}

TEST_F(SoundBufferTest, WithoutAnyOutputTheDeviceDoesNotOpen)
{
    std::string saved = std::getenv("LUMARRA_AUDIO") ? std::getenv("LUMARRA_AUDIO") : "";
    setenv("LUMARRA_AUDIO", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(OpenSoundDevice(), 0);
    EXPECT_EQ(GetSoundDevice(), nullptr);
    unsetenv("SDL_AUDIODRIVER");
    setenv("LUMARRA_AUDIO", saved.c_str(), 1);
}

TEST_F(SoundBufferTest, SecondOpenFailsAndKeepsTheFirstDevice)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    auto first = GetSoundDevice();
    EXPECT_EQ(OpenSoundDevice(), 0);
    EXPECT_EQ(GetSoundDevice(), first);
}

TEST_F(SoundBufferTest, SecondCreateFailsAndKeepsTheOldSound)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    EXPECT_EQ(sound.CreateFromFile(File("other.wav")), 0);
    EXPECT_EQ(sound.GetFormat().samplesPerSec, 22050u);
    EXPECT_EQ(sound.GetFormat().channels, 1);

    SoundBuffer missing;
    EXPECT_EQ(missing.CreateFromFile(File("missing.wav")), 0);
    EXPECT_EQ(missing.IsPlaying(), 0);
    EXPECT_EQ(missing.Play(0), 0);
    EXPECT_EQ(missing.CreateFromFile(File("other.wav")), 1) << "a failed object can load anew";
}

TEST_F(SoundBufferTest, PlaysOnceUntilItsEndThenStops)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    ASSERT_EQ(sound.Play(0), 1);
    EXPECT_EQ(sound.IsPlaying(), 1);
    const std::atomic<int> keepWaiting { 1 };
    uint32_t start = GetTickCount();
    EXPECT_EQ(sound.WaitUntilEnd(keepWaiting), 1);
    uint32_t waited = GetTickCount() - start;
    EXPECT_GE(waited, 195u);
    EXPECT_LT(waited, 195u + 1000u);
    EXPECT_EQ(sound.IsPlaying(), 0);
}

TEST_F(SoundBufferTest, PauseResumeAndStopPlay)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    ASSERT_EQ(sound.Play(1), 1);
    EXPECT_EQ(sound.Pause(), 1);
    EXPECT_EQ(sound.IsPlaying(), 0);
    Sleep(300);
    EXPECT_EQ(sound.Resume(), 1);
    EXPECT_EQ(sound.IsPlaying(), 1) << "a paused looping sound loops again";
    Sleep(300);
    EXPECT_EQ(sound.IsPlaying(), 1);
    EXPECT_EQ(sound.Stop(), 1);
    EXPECT_EQ(sound.IsPlaying(), 0);
}

TEST_F(SoundBufferTest, ClearingTheFlagFromAnotherThreadEndsTheWait)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    ASSERT_EQ(sound.Play(1), 1);
    std::atomic<int> keepWaiting { 1 };
    std::atomic<uint32_t> clearedAt { 0 };
    std::thread clearer([&] {
        Sleep(400);
        clearedAt = GetTickCount();
        keepWaiting = 0;
    });
    EXPECT_EQ(sound.WaitUntilEnd(keepWaiting), 1);
    uint32_t returnedAt = GetTickCount();
    clearer.join();
    EXPECT_LT(returnedAt - clearedAt.load(), 100u) << "the wait polls every 10 ms";
    EXPECT_EQ(sound.IsPlaying(), 0) << "the wait leaves the sound stopped";
}

TEST_F(SoundBufferTest, ReleaseAfterTheDeviceClosedDoesNothing)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    ASSERT_EQ(sound.Play(1), 1);
    CloseSoundDevice();
    sound.Release();
    EXPECT_TRUE(sound.HasVoice());
    EXPECT_EQ(sound.IsPlaying(), 0);

    // A new device knows nothing of the old voice.
    ASSERT_EQ(OpenSoundDevice(), 1);
    EXPECT_EQ(sound.Play(0), 0);
    EXPECT_EQ(sound.IsPlaying(), 0);
}

TEST_F(SoundBufferTest, ReleaseFreesVoiceAndSound)
{
    ASSERT_EQ(OpenSoundDevice(), 1);
    SoundBuffer sound;
    ASSERT_EQ(sound.CreateFromFile(File("short.wav")), 1);
    sound.Release();
    EXPECT_FALSE(sound.HasVoice());
    EXPECT_TRUE(sound.GetPcm().empty());
    EXPECT_EQ(sound.Play(0), 0);
    EXPECT_EQ(sound.CreateFromFile(File("other.wav")), 1);
}

}
}
