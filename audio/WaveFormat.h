#pragma once

#include "platform/audio/PcmLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace lumarra {

// The WAVEFORMATEX record as RIFF files store it: little-endian, 18 bytes
// (16 in files that leave out cbSize).
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;
};

inline constexpr size_t kWaveFormatSize = 18;
inline constexpr size_t kWaveFormatMinSize = 16;

inline constexpr uint16_t kWaveFormatPcm = 0x0001;
inline constexpr uint16_t kWaveFormatMsAdpcm = 0x0002;
inline constexpr uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr uint16_t kWaveFormatALaw = 0x0006;
inline constexpr uint16_t kWaveFormatMuLaw = 0x0007;
inline constexpr uint16_t kWaveFormatImaAdpcm = 0x0011;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// Reads the record from the start of a "fmt " chunk; empty when the chunk is
// shorter than 16 bytes. cbSize is 0 when the chunk has no room for it.
std::optional<WaveFormat> ParseWaveFormat(std::span<const uint8_t> chunk);

std::array<uint8_t, kWaveFormatSize> EncodeWaveFormat(const WaveFormat& format);

// How the mixer reads integer PCM of this format; an empty layout (which it
// refuses) for anything else.
PcmLayout GetPcmLayout(const WaveFormat& format);

// 16-bit PCM with the given channel count and rate, cbSize 0.
WaveFormat MakePcm16Format(uint16_t channels, uint32_t samplesPerSec);

}
