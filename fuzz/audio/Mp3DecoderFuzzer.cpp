// Hostile MP3 files through LAME's decoder and our growing output.

#include "audio/DecodedSound.h"
#include "audio/Mp3Decoder.h"
#include "audio/WaveFormat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lumarra;
    DecodedSound sound;
    if (!DecodeMp3({ data, size }, sound))
        return 0;
    auto format = ParseWaveFormat(sound.formatBlock);
    if (!format || format->channels != 1 || sound.pcm.empty() || sound.pcm.size() % 2 != 0)
        __builtin_trap();
    return 0;
}
