#include "platform/audio/SdlAudioDevice.h"

#include <SDL2/SDL.h>
#include <type_traits>

namespace lumarra {

static_assert(std::is_same_v<SDL_AudioDeviceID, uint32_t>, "the header keeps the device id as a uint32_t");

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open()
{
    // 512 frames at 48 kHz keep a sound's start within about 11 ms of its
    // Play call.
    constexpr int kSampleRate = 48000;
    constexpr int kChannels = 2;
    constexpr int kBufferFrames = 512;

    std::unique_ptr<SdlAudioDevice> device(new SdlAudioDevice);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    device->m_subsystemStarted = true;

    SDL_AudioSpec wanted {};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = FillBuffer;
    wanted.userdata = device.get();
    SDL_AudioSpec obtained {};
    // The mixer converts every voice itself, so the device's own rate is
    // taken rather than converted once more; the format stays 16-bit.
    device->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device->m_device == 0)
        return nullptr;
    device->m_bufferFrames = obtained.samples;
    device->m_mixer = std::make_unique<AudioMixer>(OutputLayout { obtained.channels, obtained.freq });
    SDL_PauseAudioDevice(device->m_device, 0);
    return device;
}

SdlAudioDevice::~SdlAudioDevice()
{
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    if (m_subsystemStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::FillBuffer(void* device, uint8_t* stream, int length)
{
    auto* self = static_cast<SdlAudioDevice*>(device);
    const auto& output = self->m_mixer->GetOutput();
    size_t frames = static_cast<size_t>(length) / (static_cast<size_t>(output.channels) * sizeof(int16_t));
    self->m_mixer->Mix(reinterpret_cast<int16_t*>(stream), frames);
}

}
