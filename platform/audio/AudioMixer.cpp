#include "platform/audio/AudioMixer.h"

#include <algorithm>

namespace lumarra {

AudioMixer::AudioMixer(const OutputLayout& output, TickSource ticks)
    : m_output(output)
    , m_ticks(ticks)
    , m_lastTick(ticks ? ticks() : 0)
{
}

AudioMixer::~AudioMixer() = default;

VoiceId AudioMixer::AddVoice(const PcmLayout& layout, std::shared_ptr<const std::vector<uint8_t>> pcm)
{
    auto voice = MixerVoice::Create(layout, std::move(pcm), m_output);
    if (!voice)
        return 0;
    std::lock_guard lock(m_lock);
    FollowTicksLocked();
    VoiceId id = m_nextVoice++;
    if (m_nextVoice == 0)
        m_nextVoice = 1;
    m_voices[id] = std::move(voice);
    return id;
}

void AudioMixer::RemoveVoice(VoiceId voice)
{
    std::unique_ptr<MixerVoice> removed;
    std::lock_guard lock(m_lock);
    auto found = m_voices.find(voice);
    if (found == m_voices.end())
        return;
    removed = std::move(found->second);
    m_voices.erase(found);
}

MixerVoice* AudioMixer::FindLocked(VoiceId voice)
{
    FollowTicksLocked();
    auto found = m_voices.find(voice);
    return found == m_voices.end() ? nullptr : found->second.get();
}

bool AudioMixer::Play(VoiceId voice, bool loop)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (found)
        found->Play(loop);
    return found != nullptr;
}

bool AudioMixer::Stop(VoiceId voice)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (found)
        found->Stop();
    return found != nullptr;
}

bool AudioMixer::Pause(VoiceId voice)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (found)
        found->Pause();
    return found != nullptr;
}

bool AudioMixer::Resume(VoiceId voice, bool loop)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (found)
        found->Resume(loop);
    return found != nullptr;
}

std::optional<bool> AudioMixer::IsPlaying(VoiceId voice)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (!found)
        return std::nullopt;
    return found->IsPlaying();
}

std::optional<uint64_t> AudioMixer::GetPosition(VoiceId voice)
{
    std::lock_guard lock(m_lock);
    MixerVoice* found = FindLocked(voice);
    if (!found)
        return std::nullopt;
    return found->GetPosition();
}

void AudioMixer::Mix(int16_t* out, size_t frames)
{
    const size_t samples = frames * static_cast<size_t>(m_output.channels);
    std::lock_guard lock(m_lock);
    m_sum.assign(samples, 0);
    m_voiceOutput.resize(samples);
    for (auto& [id, voice] : m_voices) {
        size_t rendered = voice->Render(m_voiceOutput.data(), frames) * static_cast<size_t>(m_output.channels);
        for (size_t i = 0; i < rendered; ++i)
            m_sum[i] += m_voiceOutput[i];
    }
    for (size_t i = 0; i < samples; ++i)
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(m_sum[i], INT16_MIN, INT16_MAX));
}

void AudioMixer::Advance(size_t frames)
{
    std::lock_guard lock(m_lock);
    AdvanceLocked(frames);
}

void AudioMixer::AdvanceLocked(size_t frames)
{
    for (auto& [id, voice] : m_voices)
        voice->Advance(frames);
}

void AudioMixer::FollowTicksLocked()
{
    constexpr uint64_t kTicksPerSecond = 1000;
    if (!m_ticks)
        return;
    uint32_t now = m_ticks();
    uint64_t elapsed = static_cast<uint32_t>(now - m_lastTick);
    m_lastTick = now;
    uint64_t scaled = elapsed * static_cast<uint64_t>(m_output.sampleRate) + m_tickRemainder;
    m_tickRemainder = scaled % kTicksPerSecond;
    AdvanceLocked(static_cast<size_t>(scaled / kTicksPerSecond));
}

}
