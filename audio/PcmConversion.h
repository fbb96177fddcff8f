#pragma once

#include "audio/WaveFormat.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumarra {

// Converts WAVE data of any encoding we read (IMA and Microsoft ADPCM,
// mu-law, A-law, IEEE float, 8- to 32-bit integer PCM, and
// WAVE_FORMAT_EXTENSIBLE with an integer or float sub-format) to 16-bit PCM
// with the same channels and rate, as little-endian bytes in `pcm`.
// `fmtChunk` is the whole "fmt " chunk. False for an encoding or a format we
// cannot convert.
bool ConvertToPcm16(std::span<const uint8_t> fmtChunk, const WaveFormat& format, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm);

}
