#pragma once

#include "audio/SoundBuffer.h"

#include <atomic>
#include <string>

namespace lumarra {

// A sound file beside the program with the mode it was last played in. A
// clip whose file did not load stays empty and every operation on it does
// nothing.
class SoundClip {
public:
    SoundClip() = default;
    virtual ~SoundClip() = default;
    SoundClip(const SoundClip&) = delete;
    SoundClip& operator=(const SoundClip&) = delete;

    // Loads `name` (relative to the program's folder, "Data\Sound01.mp3").
    // Always 1: a missing or unreadable file just leaves the clip silent.
    int Load(const std::string& name);
    // Stops the sound and frees it.
    void Unload();
    // Plays from the start: once for mode 0 or 1, looping for any other.
    int Play(int mode);
    int Stop();
    int Pause();
    int Resume();
    int IsPlaying();
    int WaitUntilEnd(const std::atomic<int>& keepWaiting);

    int GetMode() const { return m_mode.load(); }
    SoundBuffer& GetSound() { return m_sound; }

private:
    SoundBuffer m_sound;
    std::atomic<int> m_mode { 0 };
};

// Operations the scenes use for clips of their own (card readings and other
// one-off voices).

// Loads `name` into the clip and plays it once; with `wait` non-zero, waits
// for its end and unloads it.
void PlayFileOnce(SoundClip& clip, const std::string& name, int wait);
// Waits for the clip's end, then unloads it.
void FinishClip(SoundClip& clip);
// Stops the clip and unloads it.
void CutClip(SoundClip& clip);

}
