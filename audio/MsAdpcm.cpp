#include "audio/MsAdpcm.h"

#include "audio/AdpcmBlocks.h"
#include "audio/LittleEndian.h"
#include "audio/PcmSample.h"

#include <algorithm>
#include <array>

namespace lumarra {

namespace {

constexpr std::array<int, 16> kAdaptation
    = { 230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230 };
constexpr int kMinDelta = 16;
// Far above anything an encoder produces; keeps hostile data from
// overflowing the step arithmetic.
constexpr int64_t kMaxDelta = 1 << 24;

// Each channel's block header: predictor index (8 bits), delta, the second
// and the first sample (16 bits each).
constexpr size_t kHeaderBytesPerChannel = 7;
// The extra format bytes: samples per block, coefficient count, then pairs.
constexpr size_t kExtraHeaderBytes = 4;
constexpr size_t kCoefficientPairBytes = 4;

struct Coefficients {
    int first = 0;
    int second = 0;
};

struct ChannelState {
    Coefficients coefficients;
    int64_t delta = 0;
    int sample1 = 0;
    int sample2 = 0;

    int Expand(int code)
    {
        int64_t predicted = (int64_t { sample1 } * coefficients.first + int64_t { sample2 } * coefficients.second) >> 8;
        int signedCode = code & 8 ? code - 16 : code;
        int sample = ClampSample16(predicted + signedCode * delta);
        delta = std::clamp<int64_t>((kAdaptation[static_cast<size_t>(code)] * delta) >> 8, kMinDelta, kMaxDelta);
        sample2 = sample1;
        sample1 = sample;
        return sample;
    }
};

void DecodeBlock(std::span<const uint8_t> block, const std::vector<Coefficients>& table, size_t channels,
    size_t samples, uint8_t* out)
{
    std::vector<ChannelState> states(channels);
    for (size_t c = 0; c < channels; ++c) {
        size_t predictor = block[c];
        // A predictor outside the table is damage; the first pair keeps the
        // block decodable.
        states[c].coefficients = table[predictor < table.size() ? predictor : 0];
        states[c].delta = static_cast<int16_t>(ReadLe16(block, channels + c * 2));
        states[c].sample1 = static_cast<int16_t>(ReadLe16(block, channels * 3 + c * 2));
        states[c].sample2 = static_cast<int16_t>(ReadLe16(block, channels * 5 + c * 2));
    }
    const size_t frameBytes = channels * 2;
    for (size_t c = 0; c < channels && samples > 0; ++c)
        StoreSample16(out + c * 2, states[c].sample2);
    for (size_t c = 0; c < channels && samples > 1; ++c)
        StoreSample16(out + frameBytes + c * 2, states[c].sample1);

    const uint8_t* codes = block.data() + channels * kHeaderBytesPerChannel;
    size_t nibble = 0;
    for (size_t n = 2; n < samples; ++n) {
        for (size_t c = 0; c < channels; ++c, ++nibble) {
            uint8_t byte = codes[nibble / 2];
            int code = nibble % 2 ? byte & 0x0F : byte >> 4;
            StoreSample16(out + n * frameBytes + c * 2, states[c].Expand(code));
        }
    }
}

}

bool DecodeMsAdpcm(const WaveFormat& format, std::span<const uint8_t> extra, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm)
{
    constexpr uint16_t kBitsPerCode = 4;
    const size_t channels = format.channels;
    const size_t blockAlign = format.blockAlign;
    const size_t headerBytes = channels * kHeaderBytesPerChannel;
    if (format.bitsPerSample != kBitsPerCode || channels == 0 || blockAlign < headerBytes
        || extra.size() < kExtraHeaderBytes)
        return false;
    const size_t maxSamplesPerBlock = 2 + (blockAlign - headerBytes) * 2 / channels;
    const size_t samplesPerBlock = ReadLe16(extra, 0);
    const size_t coefficientCount = ReadLe16(extra, 2);
    if (samplesPerBlock < 2 || samplesPerBlock > maxSamplesPerBlock || coefficientCount == 0
        || extra.size() < kExtraHeaderBytes + coefficientCount * kCoefficientPairBytes)
        return false;
    std::vector<Coefficients> table(coefficientCount);
    for (size_t i = 0; i < coefficientCount; ++i) {
        size_t at = kExtraHeaderBytes + i * kCoefficientPairBytes;
        table[i] = { static_cast<int16_t>(ReadLe16(extra, at)), static_cast<int16_t>(ReadLe16(extra, at + 2)) };
    }

    auto samplesIn = [&](size_t bytes) -> size_t {
        if (bytes < headerBytes)
            return 0;
        return std::min(samplesPerBlock, 2 + (bytes - headerBytes) * 2 / channels);
    };
    DecodeAdpcmBlocks(data, blockAlign, samplesPerBlock, channels, pcm, samplesIn,
        [&](std::span<const uint8_t> block, size_t samples, uint8_t* out) {
            DecodeBlock(block, table, channels, samples, out);
        });
    return true;
}

}
