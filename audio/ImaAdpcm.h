#pragma once

#include "audio/WaveFormat.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumarra {

// Expands IMA ADPCM data in its WAVE block layout to interleaved 16-bit PCM
// (little-endian bytes in `pcm`). `extra` is the format's cbSize bytes. A
// short last block yields the samples it holds. False for a format no encoder
// can have written (wrong sample size, impossible block alignment).
bool DecodeImaAdpcm(const WaveFormat& format, std::span<const uint8_t> extra, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm);

}
