#pragma once

#include "platform/audio/AudioDevice.h"

#include <SDL2/SDL_audio.h>

namespace lumarra {

// The system's default sound output through SDL, fed by the mixer from
// SDL's audio thread.
class SdlAudioDevice final : public AudioDevice {
public:
    // Null when SDL has no audio output to open.
    static std::unique_ptr<SdlAudioDevice> Open();
    ~SdlAudioDevice() override;

    // Frames in the device buffer, the bound on output latency.
    int BufferFrames() const { return m_bufferFrames; }

private:
    SdlAudioDevice() = default;
    static void FillBuffer(void* device, Uint8* stream, int length);

    bool m_subsystemStarted = false;
    SDL_AudioDeviceID m_device = 0;
    int m_bufferFrames = 0;
};

}
