// Any byte sequence handed to the IMG decoder.

#include "graphics/ImgDecoder.h"

#include <cstdlib>
#include <numeric>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lumarra::ImgDecoder decoder;
    if (!decoder.Parse({ data, size }))
        return 0;
    std::span<const uint8_t> indices = decoder.GetIndices();
    if (indices.size() != static_cast<size_t>(decoder.GetWidth()) * static_cast<size_t>(decoder.GetHeight()))
        std::abort();
    // Touch every index so a short buffer shows up under the sanitizers.
    volatile unsigned sum = std::accumulate(indices.begin(), indices.end(), 0u);
    (void)sum;
    std::vector<uint8_t> info;
    uint32_t infoSize = 0;
    if (decoder.MakeInfo(info, infoSize) && (infoSize < 48 || infoSize > info.size()))
        std::abort();
    return 0;
}
