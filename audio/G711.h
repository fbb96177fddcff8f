#pragma once

#include <cstdint>

namespace lumarra {

// ITU-T G.711 companded samples expanded to 16-bit linear PCM.
int16_t DecodeMuLaw(uint8_t code);
int16_t DecodeALaw(uint8_t code);

}
