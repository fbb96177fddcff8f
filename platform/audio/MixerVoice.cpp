#include "platform/audio/MixerVoice.h"

#include <SDL2/SDL_audio.h>
#include <algorithm>
#include <bit>
#include <cstring>

namespace lumarra {

namespace {

// The converter takes up to eight channels; wider sounds are folded to two.
constexpr int kMaxStreamChannels = 8;
constexpr int kFoldedChannels = 2;
// Source frames handed to the converter at a time.
constexpr size_t kFeedFrames = 1024;
// Rates a sound may have; beyond them conversion would need unbounded work
// per output frame.
constexpr int kMinSampleRate = 100;
constexpr int kMaxSampleRate = 384000;
constexpr int kMaxBytesPerSample = 4;

SDL_AudioFormat StreamFormat(int bytesPerSample)
{
    switch (bytesPerSample) {
    case 1:
        return AUDIO_U8;
    case 2:
        return AUDIO_S16LSB;
    default:
        return AUDIO_S32LSB;
    }
}

}

void MixerVoice::StreamDeleter::operator()(SDL_AudioStream* stream) const
{
    SDL_FreeAudioStream(stream);
}

std::unique_ptr<MixerVoice> MixerVoice::Create(const PcmLayout& source, std::shared_ptr<const std::vector<uint8_t>> pcm,
    const OutputLayout& output)
{
    if (!pcm || source.channels <= 0 || source.bytesPerSample <= 0 || source.bytesPerSample > kMaxBytesPerSample
        || source.sampleRate < kMinSampleRate || source.sampleRate > kMaxSampleRate)
        return nullptr;
    std::unique_ptr<MixerVoice> voice(new MixerVoice(source, std::move(pcm), output));
    if (voice->m_frames == 0 || !voice->OpenStream())
        return nullptr;
    return voice;
}

MixerVoice::MixerVoice(const PcmLayout& source, std::shared_ptr<const std::vector<uint8_t>> pcm,
    const OutputLayout& output)
    : m_source(source)
    , m_output(output)
    , m_pcm(std::move(pcm))
    , m_sourceFrameBytes(static_cast<size_t>(source.channels) * static_cast<size_t>(source.bytesPerSample))
    , m_frames(m_pcm->size() / m_sourceFrameBytes)
{
}

MixerVoice::~MixerVoice() = default;

bool MixerVoice::OpenStream()
{
    constexpr int kOutputBytesPerSample = 2;
    bool sameFormat = m_source.bytesPerSample == kOutputBytesPerSample && m_source.channels == m_output.channels
        && m_source.sampleRate == m_output.sampleRate && std::endian::native == std::endian::little;
    if (sameFormat)
        return true;
    m_needsPreparation = m_source.bytesPerSample == 3 || m_source.channels > kMaxStreamChannels;
    m_streamChannels = m_source.channels > kMaxStreamChannels ? kFoldedChannels : m_source.channels;
    SDL_AudioFormat format = m_needsPreparation ? AUDIO_S32LSB : StreamFormat(m_source.bytesPerSample);
    m_stream.reset(SDL_NewAudioStream(format, static_cast<Uint8>(m_streamChannels), m_source.sampleRate, AUDIO_S16SYS,
        static_cast<Uint8>(m_output.channels), m_output.sampleRate));
    size_t streamFrameBytes = static_cast<size_t>(m_streamChannels) * SDL_AUDIO_BITSIZE(format) / 8;
    m_silence.assign(kFeedFrames * streamFrameBytes, format == AUDIO_U8 ? 0x80 : 0);
    m_outputFrames = uint64_t { m_frames } * static_cast<uint64_t>(m_output.sampleRate)
        / static_cast<uint64_t>(m_source.sampleRate);
    return m_stream != nullptr;
}

void MixerVoice::Play(bool loop)
{
    m_loop = loop;
    Rewind();
    m_playing = true;
}

void MixerVoice::Stop()
{
    m_playing = false;
    Rewind();
}

void MixerVoice::Pause()
{
    m_playing = false;
}

void MixerVoice::Resume(bool loop)
{
    m_loop = loop;
    m_playing = true;
}

void MixerVoice::Rewind()
{
    m_position = 0;
    m_advanceRemainder = 0;
    m_outputDone = 0;
    m_sourceDone = false;
    if (m_stream)
        SDL_AudioStreamClear(m_stream.get());
}

size_t MixerVoice::Render(int16_t* out, size_t frames)
{
    if (!m_playing)
        return 0;
    return m_stream ? RenderConverted(out, frames) : RenderDirect(out, frames);
}

size_t MixerVoice::RenderDirect(int16_t* out, size_t frames)
{
    size_t done = 0;
    while (done < frames && m_playing) {
        size_t run = std::min<size_t>(frames - done, m_frames - m_position);
        std::memcpy(out + done * static_cast<size_t>(m_output.channels),
            m_pcm->data() + m_position * m_sourceFrameBytes, run * m_sourceFrameBytes);
        m_position += run;
        done += run;
        if (m_position == m_frames) {
            if (m_loop)
                m_position = 0;
            else
                Stop();
        }
    }
    return done;
}

size_t MixerVoice::RenderConverted(int16_t* out, size_t frames)
{
    if (m_sourceDone)
        frames
            = static_cast<size_t>(std::min<uint64_t>(frames, m_outputFrames - std::min(m_outputDone, m_outputFrames)));
    const size_t outputFrameBytes = static_cast<size_t>(m_output.channels) * sizeof(int16_t);
    const int wanted = static_cast<int>(frames * outputFrameBytes);
    bool fed = true;
    while (fed && SDL_AudioStreamAvailable(m_stream.get()) < wanted)
        fed = m_sourceDone ? FeedSilence() : FeedStream();
    size_t got = static_cast<size_t>(std::max(SDL_AudioStreamGet(m_stream.get(), out, wanted), 0)) / outputFrameBytes;
    m_outputDone += got;
    // The voice ends with its last output frame, or when the converter
    // refuses input (nothing more could ever come out).
    if (!fed || (m_sourceDone && m_outputDone >= m_outputFrames))
        Stop();
    return got;
}

bool MixerVoice::FeedStream()
{
    size_t run = std::min(kFeedFrames, m_frames - m_position);
    const uint8_t* in = m_pcm->data() + m_position * m_sourceFrameBytes;
    int result;
    if (m_needsPreparation) {
        PrepareSourceRun(in, run);
        result = SDL_AudioStreamPut(m_stream.get(), m_prepared.data(),
            static_cast<int>(m_prepared.size() * sizeof(int32_t)));
    } else {
        result = SDL_AudioStreamPut(m_stream.get(), in, static_cast<int>(run * m_sourceFrameBytes));
    }
    if (result != 0)
        return false;
    m_position += run;
    if (m_position == m_frames) {
        if (m_loop)
            m_position = 0;
        else
            m_sourceDone = true;
    }
    return true;
}

bool MixerVoice::FeedSilence()
{
    return SDL_AudioStreamPut(m_stream.get(), m_silence.data(), static_cast<int>(m_silence.size())) == 0;
}

void MixerVoice::PrepareSourceRun(const uint8_t* in, size_t frames)
{
    const size_t channels = static_cast<size_t>(m_source.channels);
    const size_t bytes = static_cast<size_t>(m_source.bytesPerSample);
    const size_t streamChannels = static_cast<size_t>(m_streamChannels);
    m_prepared.resize(frames * streamChannels);
    for (size_t frame = 0; frame < frames; ++frame, in += m_sourceFrameBytes) {
        int32_t* out = m_prepared.data() + frame * streamChannels;
        if (channels == streamChannels) {
            for (size_t c = 0; c < channels; ++c)
                out[c] = ReadSample32(in + c * bytes, bytes);
            continue;
        }
        // Even channels to the left, odd ones to the right, each averaged.
        int64_t sums[kFoldedChannels] = {};
        for (size_t c = 0; c < channels; ++c)
            sums[c % kFoldedChannels] += ReadSample32(in + c * bytes, bytes);
        for (size_t side = 0; side < kFoldedChannels; ++side) {
            size_t count = (channels + kFoldedChannels - 1 - side) / kFoldedChannels;
            out[side] = static_cast<int32_t>(sums[side] / static_cast<int64_t>(count));
        }
    }
}

void MixerVoice::Advance(size_t frames)
{
    if (!m_playing)
        return;
    if (m_sourceDone) {
        Stop();
        return;
    }
    uint64_t scaled = uint64_t { frames } * static_cast<uint64_t>(m_source.sampleRate) + m_advanceRemainder;
    uint64_t sourceFrames = scaled / static_cast<uint64_t>(m_output.sampleRate);
    m_advanceRemainder = scaled % static_cast<uint64_t>(m_output.sampleRate);
    if (m_stream)
        SDL_AudioStreamClear(m_stream.get());
    m_position += sourceFrames;
    if (m_position < m_frames)
        return;
    if (m_loop)
        m_position %= m_frames;
    else
        Stop();
}

}
