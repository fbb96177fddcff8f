#pragma once

#include "platform/audio/AudioDevice.h"

namespace lumarra {

// An output nobody hears: voices move on with the platform clock (and its
// time scale), so sounds end when they would have ended aloud.
class NullAudioDevice final : public AudioDevice {
public:
    NullAudioDevice();
};

}
