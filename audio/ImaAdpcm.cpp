#include "audio/ImaAdpcm.h"

#include "audio/AdpcmBlocks.h"
#include "audio/LittleEndian.h"
#include "audio/PcmSample.h"

#include <algorithm>
#include <array>

namespace lumarra {

namespace {

constexpr std::array<int, 89> kStepTable = { 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41,
    45, 50, 55, 60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408, 449,
    494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066, 2272, 2499, 2749, 3024,
    3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818,
    18500, 20350, 22385, 24623, 27086, 29794, 32767 };
constexpr std::array<int, 8> kIndexAdjust = { -1, -1, -1, -1, 2, 4, 6, 8 };
constexpr int kMaxStepIndex = static_cast<int>(kStepTable.size()) - 1;

// Each channel's block header: first sample (16 bits), step index, reserved.
constexpr size_t kHeaderBytesPerChannel = 4;
// Data follow in 32-bit words, one channel's eight 4-bit codes per word.
constexpr size_t kWordBytes = 4;
constexpr size_t kSamplesPerWord = 8;

struct ChannelState {
    int sample = 0;
    int stepIndex = 0;

    int Expand(int code)
    {
        int step = kStepTable[static_cast<size_t>(stepIndex)];
        int difference = step >> 3;
        if (code & 1)
            difference += step >> 2;
        if (code & 2)
            difference += step >> 1;
        if (code & 4)
            difference += step;
        sample = ClampSample16(code & 8 ? sample - difference : sample + difference);
        stepIndex = std::clamp(stepIndex + kIndexAdjust[static_cast<size_t>(code & 7)], 0, kMaxStepIndex);
        return sample;
    }
};

// Decodes one block (or the front part of a short last block) of `samples`
// frames into `out`.
void DecodeBlock(std::span<const uint8_t> block, size_t channels, size_t samples, uint8_t* out)
{
    const size_t frameBytes = channels * 2;
    for (size_t c = 0; c < channels; ++c) {
        ChannelState state;
        size_t header = c * kHeaderBytesPerChannel;
        state.sample = static_cast<int16_t>(ReadLe16(block, header));
        state.stepIndex = std::min<int>(block[header + 2], kMaxStepIndex);
        StoreSample16(out + c * 2, state.sample);
        const uint8_t* words = block.data() + channels * kHeaderBytesPerChannel + c * kWordBytes;
        for (size_t n = 1; n < samples; ++n) {
            size_t code = n - 1;
            size_t word = code / kSamplesPerWord;
            size_t nibble = code % kSamplesPerWord;
            uint8_t byte = words[word * channels * kWordBytes + nibble / 2];
            int value = nibble % 2 ? byte >> 4 : byte & 0x0F;
            StoreSample16(out + n * frameBytes + c * 2, state.Expand(value));
        }
    }
}

}

bool DecodeImaAdpcm(const WaveFormat& format, std::span<const uint8_t> extra, std::span<const uint8_t> data,
    std::vector<uint8_t>& pcm)
{
    constexpr uint16_t kBitsPerCode = 4;
    const size_t channels = format.channels;
    const size_t blockAlign = format.blockAlign;
    const size_t headerBytes = channels * kHeaderBytesPerChannel;
    const size_t groupBytes = channels * kWordBytes;
    if (format.bitsPerSample != kBitsPerCode || channels == 0 || blockAlign < headerBytes
        || (blockAlign - headerBytes) % groupBytes != 0)
        return false;
    size_t samplesPerBlock = 1 + (blockAlign - headerBytes) / groupBytes * kSamplesPerWord;
    if (extra.size() >= 2) {
        size_t declared = ReadLe16(extra, 0);
        if (declared == 0 || declared > samplesPerBlock)
            return false;
        samplesPerBlock = declared;
    }

    auto samplesIn = [&](size_t bytes) -> size_t {
        if (bytes < headerBytes)
            return 0;
        return std::min(samplesPerBlock, 1 + (bytes - headerBytes) / groupBytes * kSamplesPerWord);
    };
    DecodeAdpcmBlocks(data, blockAlign, samplesPerBlock, channels, pcm, samplesIn,
        [&](std::span<const uint8_t> block, size_t samples, uint8_t* out) {
            DecodeBlock(block, channels, samples, out);
        });
    return true;
}

}
