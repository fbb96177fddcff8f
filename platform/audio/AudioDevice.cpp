#include "platform/audio/AudioDevice.h"

#include "platform/audio/NullAudioDevice.h"
#include "platform/audio/SdlAudioDevice.h"

#include <cstdlib>
#include <string_view>

namespace lumarra {

std::unique_ptr<AudioDevice> OpenAudioDevice()
{
    const char* choice = std::getenv("LUMARRA_AUDIO");
    if (choice && std::string_view(choice) == "null")
        return std::make_unique<NullAudioDevice>();
    return SdlAudioDevice::Open();
}

}
