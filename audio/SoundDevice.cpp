#include "audio/SoundDevice.h"

#include "platform/audio/AudioDevice.h"

#include <mutex>

namespace lumarra {

namespace {

std::mutex g_deviceLock;
std::shared_ptr<AudioDevice> g_device;

}

int OpenSoundDevice()
{
    std::lock_guard lock(g_deviceLock);
    if (g_device)
        return 0;
    try {
        g_device = OpenAudioDevice();
    } catch (...) {
        g_device.reset();
    }
    return g_device ? 1 : 0;
}

void CloseSoundDevice()
{
    std::shared_ptr<AudioDevice> closing;
    std::lock_guard lock(g_deviceLock);
    closing.swap(g_device);
}

std::shared_ptr<AudioDevice> GetSoundDevice()
{
    std::lock_guard lock(g_deviceLock);
    return g_device;
}

}
