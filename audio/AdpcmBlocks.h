#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumarra {

// Decodes ADPCM data block by block into 16-bit PCM: every whole block, then
// a short last block for the frames its bytes hold. `samplesIn(bytes)` gives
// the frames a block of that many bytes holds; `decodeBlock(block, samples,
// out)` writes them.
template <typename SamplesIn, typename DecodeBlock>
void DecodeAdpcmBlocks(std::span<const uint8_t> data, size_t blockAlign, size_t samplesPerBlock, size_t channels,
    std::vector<uint8_t>& pcm, SamplesIn samplesIn, DecodeBlock decodeBlock)
{
    const size_t frames = data.size() / blockAlign * samplesPerBlock + samplesIn(data.size() % blockAlign);
    const size_t frameBytes = channels * 2;
    pcm.assign(frames * frameBytes, 0);

    uint8_t* out = pcm.data();
    for (size_t offset = 0; offset < data.size(); offset += blockAlign) {
        auto block = data.subspan(offset, std::min(blockAlign, data.size() - offset));
        size_t samples = samplesIn(block.size());
        if (samples == 0)
            break;
        decodeBlock(block, samples, out);
        out += samples * frameBytes;
    }
}

}
