// Hostile WAVE files: the reader, every converter, and the mixer voice that
// plays what they let through.

#include "audio/DecodedSound.h"
#include "audio/WaveDecoder.h"
#include "audio/WaveFormat.h"
#include "platform/audio/MixerVoice.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lumarra;
    DecodedSound sound;
    if (!DecodeWave({ data, size }, sound))
        return 0;
    auto format = ParseWaveFormat(sound.formatBlock);
    if (!format)
        __builtin_trap();
    auto pcm = std::make_shared<const std::vector<uint8_t>>(std::move(sound.pcm));
    auto voice = MixerVoice::Create(GetPcmLayout(*format), pcm, OutputLayout { 2, 48000 });
    if (!voice)
        return 0;
    constexpr size_t kFrames = 256;
    int16_t out[kFrames * 2];
    voice->Play(false);
    for (int i = 0; i < 4 && voice->IsPlaying(); ++i)
        voice->Render(out, kFrames);
    voice->Advance(kFrames);
    return 0;
}
