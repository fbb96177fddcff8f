#include "audio/G711.h"

namespace lumarra {

int16_t DecodeMuLaw(uint8_t code)
{
    constexpr int kBias = 0x84;
    code = static_cast<uint8_t>(~code);
    int exponent = (code >> 4) & 0x07;
    int magnitude = (((code & 0x0F) << 3) + kBias) << exponent;
    return static_cast<int16_t>((code & 0x80) ? kBias - magnitude : magnitude - kBias);
}

int16_t DecodeALaw(uint8_t code)
{
    constexpr uint8_t kEvenBitInversion = 0x55;
    code ^= kEvenBitInversion;
    int exponent = (code >> 4) & 0x07;
    int magnitude = ((code & 0x0F) << 4) + 8;
    if (exponent != 0)
        magnitude = (magnitude + 0x100) << (exponent - 1);
    return static_cast<int16_t>((code & 0x80) ? magnitude : -magnitude);
}

}
