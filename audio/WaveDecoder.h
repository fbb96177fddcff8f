#pragma once

#include "audio/DecodedSound.h"

#include <cstdint>
#include <span>

namespace lumarra {

// Reads a RIFF WAVE file held in memory. PCM data (format tag 1) are kept
// unchanged with the file's own "fmt " chunk as the format block; any other
// encoding we can read becomes 16-bit PCM with an 18-byte PCM format. False,
// with `sound` untouched, for a file without the "WAVE" form, a "fmt " chunk
// (or one over 64 KiB) or a non-empty "data" chunk after it, a chunk that
// runs past the end of the file, zero channels or rate, or an encoding we
// cannot convert.
bool DecodeWave(std::span<const uint8_t> file, DecodedSound& sound);

}
