#pragma once

#include "audio/SoundClip.h"

#include <array>
#include <atomic>

namespace lumarra {

// The stage's sixteen music, effect and voice clips, numbered 1 to 16.
class SoundTable {
public:
    static constexpr int kClipCount = 16;

    // `waitFlag` is the stage's flag that its interruptible waits watch;
    // PlaySound sets it. May be null.
    explicit SoundTable(std::atomic<int>* waitFlag = nullptr);

    // Loads the sixteen files in table order; missing ones stay silent.
    void Load();
    // Stops and frees every clip.
    void UnloadAll();

    // Plays clip `number` (1 to 16) with `mode` (0 or 1 once, anything else
    // looping); other numbers do nothing.
    void PlaySound(int number, int mode);
    // 0 stops every clip in order, 1 to 16 that clip; other numbers nothing.
    void StopSound(int number);

    // Clip `number`, 1 to 16.
    SoundClip& Clip(int number) { return m_clips[static_cast<size_t>(number - 1)]; }

private:
    static bool IsClipNumber(int number) { return number >= 1 && number <= kClipCount; }

    std::atomic<int>* m_waitFlag;
    std::array<SoundClip, kClipCount> m_clips;
};

}
