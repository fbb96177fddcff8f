#pragma once

#include <cstdint>
#include <vector>

namespace lumarra {

// A decoded sound: its format block (a WAVEFORMATEX, possibly followed by a
// file's own extra format bytes) and its PCM samples.
struct DecodedSound {
    std::vector<uint8_t> formatBlock;
    std::vector<uint8_t> pcm;
};

}
