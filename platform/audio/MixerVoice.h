#pragma once

#include "platform/audio/PcmLayout.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// SDL's converter, kept out of the header so that the audio layer above
// compiles without SDL.
struct _SDL_AudioStream;
typedef struct _SDL_AudioStream SDL_AudioStream;

namespace lumarra {

// One sound of the mixer: its whole PCM, the play position and a converter
// from its own format and rate to the output's. Not thread-safe; the mixer
// serialises every call.
class MixerVoice {
public:
    // Null when the layout is not one we can play or the sound holds no
    // whole frame.
    static std::unique_ptr<MixerVoice> Create(const PcmLayout& source, std::shared_ptr<const std::vector<uint8_t>> pcm,
        const OutputLayout& output);
    ~MixerVoice();
    MixerVoice(const MixerVoice&) = delete;
    MixerVoice& operator=(const MixerVoice&) = delete;

    // Plays from the first frame.
    void Play(bool loop);
    // Stops and rewinds.
    void Stop();
    // Stops where it is; Resume goes on from there.
    void Pause();
    void Resume(bool loop);
    bool IsPlaying() const { return m_playing; }
    // Source frames consumed so far.
    uint64_t GetPosition() const { return m_position; }

    // Renders up to `frames` output frames into `out`; fewer when a sound
    // that does not loop ends, which stops and rewinds the voice.
    size_t Render(int16_t* out, size_t frames);
    // Moves a playing voice on by `frames` output frames without rendering.
    void Advance(size_t frames);

private:
    MixerVoice(const PcmLayout& source, std::shared_ptr<const std::vector<uint8_t>> pcm, const OutputLayout& output);
    bool OpenStream();
    size_t RenderDirect(int16_t* out, size_t frames);
    size_t RenderConverted(int16_t* out, size_t frames);
    // Puts the next run of source frames into the converter.
    bool FeedStream();
    // Puts silence after the last frame: the converter holds back the end of
    // a sound until more input pushes it out.
    bool FeedSilence();
    void PrepareSourceRun(const uint8_t* in, size_t frames);
    void Rewind();

    struct StreamDeleter {
        void operator()(SDL_AudioStream* stream) const;
    };

    PcmLayout m_source;
    OutputLayout m_output;
    std::shared_ptr<const std::vector<uint8_t>> m_pcm;
    size_t m_sourceFrameBytes = 0;
    size_t m_frames = 0;
    // Null when the sound already has the output's format and rate.
    std::unique_ptr<SDL_AudioStream, StreamDeleter> m_stream;
    // Source frames rewritten for the converter (24-bit samples, or more
    // channels than it takes).
    bool m_needsPreparation = false;
    int m_streamChannels = 0;
    std::vector<int32_t> m_prepared;
    std::vector<uint8_t> m_silence;
    // Output frames a whole pass of the sound lasts, and those given out
    // since the start.
    uint64_t m_outputFrames = 0;
    uint64_t m_outputDone = 0;

    bool m_playing = false;
    bool m_loop = false;
    bool m_sourceDone = false;
    uint64_t m_position = 0;
    uint64_t m_advanceRemainder = 0;
};

}
