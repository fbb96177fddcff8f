#pragma once

#include "audio/DecodedSound.h"

#include <cstdint>
#include <span>

namespace lumarra {

// Decodes an MP3 file held in memory with LAME's decoder into mono 16-bit PCM
// at the stream's rate: the left channel of a stereo stream, every sample as
// decoded (encoder delay and padding stay). The output grows with the
// decoded sound, so no length is refused or cut. A leading ID3v2 tag is
// skipped. False, with `sound` untouched, when the decoder rejects the data
// or it yields no samples.
bool DecodeMp3(std::span<const uint8_t> file, DecodedSound& sound);

}
