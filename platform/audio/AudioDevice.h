#pragma once

#include "platform/audio/AudioMixer.h"

#include <memory>

namespace lumarra {

// An open sound output and the mixer that feeds it. Closing is destroying.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    AudioMixer& GetMixer() { return *m_mixer; }

protected:
    AudioDevice() = default;

    std::unique_ptr<AudioMixer> m_mixer;
};

// LUMARRA_AUDIO=null asks for the null output (nothing heard, time from the
// platform clock); otherwise the system's default output through SDL. Null
// when that cannot be opened.
std::unique_ptr<AudioDevice> OpenAudioDevice();

}
