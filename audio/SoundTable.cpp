#include "audio/SoundTable.h"

namespace lumarra {

namespace {

constexpr std::array<const char*, SoundTable::kClipCount> kClipFiles = {
    "Data\\Sound01.mp3",  // title menu music
    "Data\\Sound02.mp3",  // play and study music
    "Data\\Sound03.mp3",  // score display, won
    "Data\\Sound04.mp3",  // score display, lost
    "Data\\Sound07.mp3",  // take announced
    "Data\\Sound08.mp3",  // hit
    "Data\\Sound09.mp3",  // card taken
    "Data\\Sound14.mp3",  // fault announced
    "Data\\Sound18.wav",  // study click
    "Wave\\Menu1.mp3",
    "Wave\\Menu2.mp3",
    "Wave\\Game1.mp3",
    "Wave\\Game2.mp3",
    "Wave\\Game3.mp3",
    "Wave\\Game4.mp3",
    "Wave\\Game5.mp3",
};

}

SoundTable::SoundTable(std::atomic<int>* waitFlag)
    : m_waitFlag(waitFlag)
{
}

void SoundTable::Load()
{
    for (int number = 1; number <= kClipCount; ++number)
        Clip(number).Load(kClipFiles[static_cast<size_t>(number - 1)]);
}

void SoundTable::UnloadAll()
{
    for (SoundClip& clip : m_clips)
        clip.Unload();
}

void SoundTable::PlaySound(int number, int mode)
{
    if (!IsClipNumber(number))
        return;
    if (m_waitFlag)
        m_waitFlag->store(1);
    Clip(number).Play(mode);
}

void SoundTable::StopSound(int number)
{
    if (number == 0) {
        for (SoundClip& clip : m_clips)
            clip.Stop();
    } else if (IsClipNumber(number)) {
        Clip(number).Stop();
    }
}

}
