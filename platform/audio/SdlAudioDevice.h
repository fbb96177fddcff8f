#pragma once

#include "platform/audio/AudioDevice.h"

#include <cstdint>

namespace lumarra {

// The system's default sound output through SDL, fed by the mixer from
// SDL's audio thread.
class SdlAudioDevice final : public AudioDevice {
public:
    // Null when SDL has no audio output to open.
    static std::unique_ptr<SdlAudioDevice> Open();
    ~SdlAudioDevice() override;

    // Frames in the device buffer, the bound on output latency.
    int GetBufferFrames() const { return m_bufferFrames; }

private:
    SdlAudioDevice() = default;
    static void FillBuffer(void* device, uint8_t* stream, int length);

    bool m_subsystemStarted = false;
    // An SDL_AudioDeviceID; 0 when none is open.
    uint32_t m_device = 0;
    int m_bufferFrames = 0;
};

}
