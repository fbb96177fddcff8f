#pragma once

#include <cstddef>
#include <cstdint>

namespace lumarra {

// Integer PCM as a sound holds it: little-endian, 1 to 4 bytes a sample
// (unsigned for 1 byte), channels interleaved.
struct PcmLayout {
    int channels = 0;
    int sampleRate = 0;
    int bytesPerSample = 0;
};

// What the mixer produces: interleaved signed 16-bit samples.
struct OutputLayout {
    int channels = 0;
    int sampleRate = 0;
};

// The integer sample of `bytes` bytes (1 to 4) at `at`, moved to full 32-bit
// scale.
inline int32_t ReadSample32(const uint8_t* at, size_t bytes)
{
    if (bytes == 1)
        return static_cast<int32_t>((uint32_t { at[0] } ^ 0x80u) << 24);
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= uint32_t { at[i] } << (8 * (4 - bytes + i));
    return static_cast<int32_t>(value);
}

}
