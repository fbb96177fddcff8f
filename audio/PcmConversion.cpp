#include "audio/PcmConversion.h"

#include "audio/G711.h"
#include "audio/ImaAdpcm.h"
#include "audio/LittleEndian.h"
#include "audio/MsAdpcm.h"
#include "audio/PcmSample.h"
#include "platform/audio/PcmLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace lumarra {

namespace {

// The extensible format's extra bytes: valid bits, channel mask, then the
// sub-format GUID whose first two bytes are the plain format tag.
constexpr size_t kExtensibleExtraBytes = 22;
constexpr size_t kSubFormatOffset = 6;
constexpr std::array<uint8_t, 14> kSubFormatGuidTail
    = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71 };

std::span<const uint8_t> ExtraBytes(std::span<const uint8_t> fmtChunk, const WaveFormat& format)
{
    if (fmtChunk.size() <= kWaveFormatSize)
        return {};
    return fmtChunk.subspan(kWaveFormatSize, std::min<size_t>(format.cbSize, fmtChunk.size() - kWaveFormatSize));
}

// Full-scale 32-bit samples are rounded to 16 bits, so every wider source
// goes through one rounding step.
int16_t Round32To16(int32_t sample)
{
    constexpr int32_t kLargestRoundingDown = 0x7FFF7FFF;
    if (sample > kLargestRoundingDown)
        return INT16_MAX;
    return static_cast<int16_t>((int64_t { sample } + 0x8000) >> 16);
}

int32_t FloatTo32(double value)
{
    constexpr double kFullScale = 2147483648.0;
    if (std::isnan(value))
        return 0;
    double scaled = std::floor(value * kFullScale + 0.5);
    if (scaled >= kFullScale)
        return INT32_MAX;
    if (scaled <= -kFullScale)
        return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

template <typename Convert>
bool ConvertEachSample(const WaveFormat& format, size_t sampleBytes, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm, Convert convert)
{
    if (format.blockAlign != format.channels * sampleBytes)
        return false;
    const size_t samples = data.size() / format.blockAlign * format.channels;
    pcm.resize(samples * 2);
    const uint8_t* in = data.data();
    for (size_t i = 0; i < samples; ++i, in += sampleBytes)
        StoreSample16(pcm.data() + i * 2, convert(in));
    return true;
}

bool ConvertInteger(const WaveFormat& format, std::span<const uint8_t> data, std::vector<uint8_t>& pcm)
{
    constexpr size_t kMaxSampleBytes = 4;
    size_t sampleBytes = (format.bitsPerSample + 7u) / 8u;
    if (sampleBytes == 0 || sampleBytes > kMaxSampleBytes)
        return false;
    return ConvertEachSample(format, sampleBytes, data, pcm,
        [sampleBytes](const uint8_t* at) { return Round32To16(ReadSample32(at, sampleBytes)); });
}

bool ConvertFloat(const WaveFormat& format, std::span<const uint8_t> data, std::vector<uint8_t>& pcm)
{
    if (format.bitsPerSample == 32) {
        return ConvertEachSample(format, 4, data, pcm, [](const uint8_t* at) {
            float value;
            uint32_t bits = ReadLe32({ at, 4 }, 0);
            std::memcpy(&value, &bits, sizeof value);
            return Round32To16(FloatTo32(value));
        });
    }
    if (format.bitsPerSample == 64) {
        return ConvertEachSample(format, 8, data, pcm, [](const uint8_t* at) {
            double value;
            uint64_t bits = ReadLe32({ at, 8 }, 0) | uint64_t { ReadLe32({ at, 8 }, 4) } << 32;
            std::memcpy(&value, &bits, sizeof value);
            return Round32To16(FloatTo32(value));
        });
    }
    return false;
}

bool ConvertCompanded(const WaveFormat& format, std::span<const uint8_t> data, std::vector<uint8_t>& pcm,
    int16_t (*expand)(uint8_t))
{
    if (format.bitsPerSample != 8)
        return false;
    return ConvertEachSample(format, 1, data, pcm, [expand](const uint8_t* at) { return expand(*at); });
}

// The plain tag an extensible format stands for, or 0.
uint16_t SubFormatTag(std::span<const uint8_t> extra)
{
    if (extra.size() < kExtensibleExtraBytes)
        return 0;
    auto guid = extra.subspan(kSubFormatOffset);
    if (!std::equal(kSubFormatGuidTail.begin(), kSubFormatGuidTail.end(), guid.begin() + 2))
        return 0;
    return ReadLe16(guid, 0);
}

}

bool ConvertToPcm16(std::span<const uint8_t> fmtChunk, const WaveFormat& format, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm)
{
    if (format.channels == 0 || format.blockAlign == 0)
        return false;
    auto extra = ExtraBytes(fmtChunk, format);
    uint16_t tag = format.formatTag;
    if (tag == kWaveFormatExtensible)
        tag = SubFormatTag(extra);
    switch (tag) {
    case kWaveFormatPcm:
        return ConvertInteger(format, data, pcm);
    case kWaveFormatIeeeFloat:
        return ConvertFloat(format, data, pcm);
    case kWaveFormatMuLaw:
        return ConvertCompanded(format, data, pcm, DecodeMuLaw);
    case kWaveFormatALaw:
        return ConvertCompanded(format, data, pcm, DecodeALaw);
    case kWaveFormatImaAdpcm:
        return DecodeImaAdpcm(format, extra, data, pcm);
    case kWaveFormatMsAdpcm:
        return DecodeMsAdpcm(format, extra, data, pcm);
    default:
        return false;
    }
}

}
