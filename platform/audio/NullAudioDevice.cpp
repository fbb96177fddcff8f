#include "platform/audio/NullAudioDevice.h"

#include "platform/Clock.h"

namespace lumarra {

NullAudioDevice::NullAudioDevice()
{
    constexpr OutputLayout kLayout { 2, 48000 };
    m_mixer = std::make_unique<AudioMixer>(kLayout, GetTickCount);
}

}
