#pragma once

#include "platform/audio/MixerVoice.h"
#include "platform/audio/PcmLayout.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace lumarra {

// Names a voice of a mixer; 0 is no voice.
using VoiceId = uint32_t;

// Sums every playing voice, each converted to the output's format, into
// 16-bit output with saturation. All operations may be called from any
// thread; the output side calls Mix (or, for a device nobody hears, lets
// time pass with Advance).
class AudioMixer {
public:
    // A source of millisecond ticks (a wrapping 32-bit count) that moves the
    // mixer's voices on by itself: every operation first lets the ticks
    // elapsed since the last one pass, unheard.
    using TickSource = uint32_t (*)();

    explicit AudioMixer(const OutputLayout& output, TickSource ticks = nullptr);
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    const OutputLayout& GetOutput() const { return m_output; }

    // A stopped voice for the sound; 0 when its layout cannot be played.
    VoiceId AddVoice(const PcmLayout& layout, std::shared_ptr<const std::vector<uint8_t>> pcm);
    void RemoveVoice(VoiceId voice);

    // Each false for an unknown voice.
    bool Play(VoiceId voice, bool loop);
    bool Stop(VoiceId voice);
    bool Pause(VoiceId voice);
    bool Resume(VoiceId voice, bool loop);
    std::optional<bool> IsPlaying(VoiceId voice);
    // Source frames the voice has consumed.
    std::optional<uint64_t> GetPosition(VoiceId voice);

    // Writes the next `frames` output frames.
    void Mix(int16_t* out, size_t frames);
    // Lets `frames` output frames pass without producing them.
    void Advance(size_t frames);

private:
    MixerVoice* FindLocked(VoiceId voice);
    void FollowTicksLocked();
    void AdvanceLocked(size_t frames);

    OutputLayout m_output;
    TickSource m_ticks;
    std::mutex m_lock;
    std::unordered_map<VoiceId, std::unique_ptr<MixerVoice>> m_voices;
    VoiceId m_nextVoice = 1;
    uint32_t m_lastTick = 0;
    uint64_t m_tickRemainder = 0;
    std::vector<int32_t> m_sum;
    std::vector<int16_t> m_voiceOutput;
};

}
