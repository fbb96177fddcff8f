#include "audio/SoundBuffer.h"

#include "audio/DecodedSound.h"
#include "audio/Mp3Decoder.h"
#include "audio/SoundDevice.h"
#include "audio/WaveDecoder.h"
#include "platform/Clock.h"
#include "platform/audio/AudioDevice.h"
#include "support/FileIo.h"
#include "support/FilePaths.h"

namespace lumarra {

namespace {

// ".mp3" in any letter case, multibyte characters stepped over whole.
bool HasMp3Extension(const std::string& path)
{
    std::string extension;
    if (!GetExtension(path, extension))
        return false;
    for (size_t pos = 0, step = 0; pos < extension.size(); pos += step) {
        step = PathCharLength(extension, pos);
        if (step == 1 && extension[pos] >= 'A' && extension[pos] <= 'Z')
            extension[pos] = static_cast<char>(extension[pos] - 'A' + 'a');
    }
    return extension == ".mp3";
}

}

SoundBuffer::~SoundBuffer()
{
    Release();
}

std::span<const uint8_t> SoundBuffer::GetPcm() const
{
    if (!m_pcmBlock)
        return {};
    return *m_pcmBlock;
}

int SoundBuffer::LoadFile(const std::string& path)
{
    try {
        DecodedSound sound;
        {
            size_t length = 0;
            std::unique_ptr<uint8_t[]> file = ReadWholeFile(path, length);
            if (!file || length == 0)
                return 0;
            std::span<const uint8_t> bytes(file.get(), length);
            if (!(HasMp3Extension(path) ? DecodeMp3(bytes, sound) : DecodeWave(bytes, sound)))
                return 0;
        }
        auto format = ParseWaveFormat(sound.formatBlock);
        if (!format)
            return 0;
        auto pcm = std::make_shared<const std::vector<uint8_t>>(std::move(sound.pcm));
        m_format = *format;
        m_formatBlock = std::move(sound.formatBlock);
        m_pcmBlock = std::move(pcm);
        return 1;
    } catch (...) {
        return 0;
    }
}

int SoundBuffer::CreateFromFile(const std::string& path)
{
    std::shared_ptr<AudioDevice> device = GetSoundDevice();
    if (!device || HasVoice() || !LoadFile(path))
        return 0;
    VoiceId voice = 0;
    try {
        voice = device->GetMixer().AddVoice(GetPcmLayout(m_format), m_pcmBlock);
    } catch (...) {
        voice = 0;
    }
    if (voice == 0) {
        FreeSound();
        return 0;
    }
    m_device = device;
    m_buffer = voice;
    return 1;
}

std::shared_ptr<AudioDevice> SoundBuffer::GetVoiceDevice() const
{
    if (m_buffer.load() == 0)
        return nullptr;
    std::shared_ptr<AudioDevice> device = m_device.lock();
    if (!device || device != GetSoundDevice())
        return nullptr;
    return device;
}

int SoundBuffer::Play(int loop)
{
    auto device = GetVoiceDevice();
    if (!device)
        return 0;
    m_playFlags = loop ? 1 : 0;
    return device->GetMixer().Play(m_buffer, loop != 0) ? 1 : 0;
}

int SoundBuffer::Stop()
{
    auto device = GetVoiceDevice();
    return device && device->GetMixer().Stop(m_buffer) ? 1 : 0;
}

int SoundBuffer::Pause()
{
    auto device = GetVoiceDevice();
    return device && device->GetMixer().Pause(m_buffer) ? 1 : 0;
}

int SoundBuffer::Resume()
{
    auto device = GetVoiceDevice();
    return device && device->GetMixer().Resume(m_buffer, m_playFlags != 0) ? 1 : 0;
}

int SoundBuffer::IsPlaying()
{
    auto device = GetVoiceDevice();
    if (!device)
        return 0;
    return device->GetMixer().IsPlaying(m_buffer).value_or(false) ? 1 : 0;
}

int SoundBuffer::WaitUntilEnd(const std::atomic<int>& keepWaiting)
{
    constexpr uint32_t kPollMs = 10;
    if (!GetVoiceDevice())
        return 0;
    bool playing = true;
    while (keepWaiting.load() != 0 && playing) {
        auto device = GetVoiceDevice();
        if (!device)
            break;
        std::optional<bool> status = device->GetMixer().IsPlaying(m_buffer);
        if (!status)
            return 0;
        playing = *status;
        Sleep(kPollMs);
    }
    Stop();
    return 1;
}

void SoundBuffer::Release()
{
    auto device = GetVoiceDevice();
    if (!device)
        return;
    device->GetMixer().RemoveVoice(m_buffer.exchange(0));
    m_device.reset();
    FreeSound();
}

void SoundBuffer::FreeSound()
{
    m_format = {};
    m_formatBlock.clear();
    m_formatBlock.shrink_to_fit();
    m_pcmBlock.reset();
}

}
