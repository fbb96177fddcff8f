#pragma once

#include "audio/WaveFormat.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumarra {

class AudioDevice;

// One whole sound in memory and its voice on the sound device. Operations
// return 1 for success and 0 for failure and never throw; every one but
// LoadFile fails while no sound device is open. Play, Stop, Pause, Resume,
// IsPlaying and WaitUntilEnd may be called from several threads at once;
// CreateFromFile and Release must not overlap any other call on the object.
class SoundBuffer {
public:
    SoundBuffer() = default;
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Loads the file (LoadFile) and gives it a voice on the open device.
    // Refused when no device is open or this object already has a voice.
    int CreateFromFile(const std::string& path);

    // Decodes a sound file into 16-bit (or the file's own) PCM and keeps it
    // here; needs no device. Names ending in ".mp3" (any case) are MP3, every
    // other name a RIFF WAVE file. On failure nothing is kept.
    int LoadFile(const std::string& path);

    // Plays from the start, looping when `loop` is non-zero; restarts a
    // sound that is playing.
    int Play(int loop);
    // Stops and rewinds.
    int Stop();
    // Stops where the sound is; Resume goes on from there.
    int Pause();
    int Resume();
    int IsPlaying();
    // Blocks until the sound ends or `keepWaiting` becomes 0 (polled every
    // 10 ms), then leaves it stopped and rewound. Fails at once without a
    // voice; a looping sound waits until the flag is cleared.
    int WaitUntilEnd(const std::atomic<int>& keepWaiting);
    // Frees the voice and the sound. Does nothing once the device that made
    // the voice has closed.
    void Release();

    bool HasVoice() const { return m_buffer.load() != 0; }

    // The sound LoadFile kept: the format block (a PCM file's own "fmt "
    // chunk, else an 18-byte 16-bit PCM format), its parsed format and the
    // PCM bytes. Empty before a successful load.
    std::span<const uint8_t> GetFormatBlock() const { return m_formatBlock; }
    const WaveFormat& GetFormat() const { return m_format; }
    std::span<const uint8_t> GetPcm() const;
    uint32_t GetPcmBytes() const { return static_cast<uint32_t>(GetPcm().size()); }

private:
    // The device this object's voice lives on, when it is still the open one.
    std::shared_ptr<AudioDevice> GetVoiceDevice() const;
    void FreeSound();

    std::atomic<uint32_t> m_buffer { 0 };
    std::weak_ptr<AudioDevice> m_device;
    WaveFormat m_format;
    std::atomic<int> m_playFlags { 0 };
    std::vector<uint8_t> m_formatBlock;
    // Shared with the voice, which reads it while it plays.
    std::shared_ptr<const std::vector<uint8_t>> m_pcmBlock;
};

}
