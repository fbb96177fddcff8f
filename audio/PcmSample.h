#pragma once

#include <cstdint>

namespace lumarra {

inline void StoreSample16(uint8_t* at, int sample)
{
    at[0] = static_cast<uint8_t>(sample);
    at[1] = static_cast<uint8_t>(static_cast<unsigned>(sample) >> 8);
}

inline int16_t ClampSample16(int64_t value)
{
    return static_cast<int16_t>(value < INT16_MIN ? INT16_MIN : value > INT16_MAX ? INT16_MAX : value);
}

}
