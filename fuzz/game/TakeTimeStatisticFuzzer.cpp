// Decodes arbitrary bytes as a stored take-time statistic. A value that is
// accepted must encode back to exactly the same bytes, so that a statistic
// read and written again never changes what was not updated.

#include "game/TakeTimeStatistic.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

using namespace lumarra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::optional<TakeTimeStatistic> statistic = TakeTimeStatistic::Decode(data, static_cast<uint32_t>(size));
    if (!statistic)
        return 0;
    if (size != TakeTimeStatistic::kValueSize)
        std::abort();
    TakeTimeStatistic::Value value = statistic->Encode();
    for (size_t i = 0; i < size; ++i) {
        if (value[i] != data[i])
            std::abort();
    }
    statistic->Add(static_cast<uint32_t>(data[0]) * 100);
    if (!TakeTimeStatistic::Decode(statistic->Encode().data(), TakeTimeStatistic::kValueSize))
        std::abort();
    return 0;
}
