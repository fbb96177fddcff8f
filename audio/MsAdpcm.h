#pragma once

#include "audio/WaveFormat.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumarra {

// Expands Microsoft ADPCM data to interleaved 16-bit PCM (little-endian bytes
// in `pcm`), with the predictor coefficients that `extra` (the format's
// cbSize bytes) carries. A short last block yields the samples it holds.
// False for a format no encoder can have written.
bool DecodeMsAdpcm(const WaveFormat& format, std::span<const uint8_t> extra, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm);

}
