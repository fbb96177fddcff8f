#include "game/TakeTimeStatistic.h"

#include "support/RegistryStore.h"

namespace lumarra {

namespace {

constexpr const char* kStatisticKey = "HKEY_CURRENT_USER\\Software\\Orvella\\Network";

// Where each byte of the two inverted numbers goes (byte 0 least
// significant); position 4 is the check byte.
constexpr uint32_t kCheckAt = 4;
constexpr std::array<uint32_t, 4> kCountAt = { 6, 3, 1, 5 };
constexpr std::array<uint32_t, 4> kAverageAt = { 8, 0, 7, 2 };

// The newest take weighs one part in four.
constexpr uint32_t kAverageWeight = 3;
constexpr uint32_t kAverageParts = 4;

uint8_t CheckSum(const TakeTimeStatistic::Value& value)
{
    uint8_t sum = 0;
    for (uint32_t i = 0; i < TakeTimeStatistic::kValueSize; ++i) {
        if (i != kCheckAt)
            sum = static_cast<uint8_t>(sum + value[i]);
    }
    return sum;
}

void Spread(TakeTimeStatistic::Value& value, uint32_t number, const std::array<uint32_t, 4>& at)
{
    uint32_t inverted = ~number;
    for (size_t i = 0; i < at.size(); ++i)
        value[at[i]] = static_cast<uint8_t>(inverted >> (8 * i));
}

uint32_t Gather(const TakeTimeStatistic::Value& value, const std::array<uint32_t, 4>& at)
{
    uint32_t inverted = 0;
    for (size_t i = 0; i < at.size(); ++i)
        inverted |= static_cast<uint32_t>(value[at[i]]) << (8 * i);
    return ~inverted;
}

}

void TakeTimeStatistic::Add(uint32_t ms)
{
    if (count == 0)
        averageMs = ms;
    else
        averageMs = static_cast<uint32_t>(
            (static_cast<uint64_t>(ms) + kAverageWeight * uint64_t { averageMs }) / kAverageParts);
    ++count;
}

TakeTimeStatistic::Value TakeTimeStatistic::Encode() const
{
    Value value {};
    Spread(value, count, kCountAt);
    Spread(value, averageMs, kAverageAt);
    value[kCheckAt] = CheckSum(value);
    return value;
}

std::optional<TakeTimeStatistic> TakeTimeStatistic::Decode(const uint8_t* data, uint32_t size)
{
    if (!data || size != kValueSize)
        return std::nullopt;
    Value value {};
    for (uint32_t i = 0; i < kValueSize; ++i)
        value[i] = data[i];
    if (value[kCheckAt] != CheckSum(value))
        return std::nullopt;
    return TakeTimeStatistic { Gather(value, kCountAt), Gather(value, kAverageAt) };
}

std::optional<TakeTimeStatistic> TakeTimeStatistic::Load(const char* statisticKey)
{
    RegistryStore store(kStatisticKey);
    // Room for one byte more, so that a longer value does not pass as whole.
    std::array<uint8_t, kValueSize + 1> buffer {};
    uint32_t size = static_cast<uint32_t>(buffer.size());
    if (!statisticKey || !store.ReadBinary(static_cast<const char*>(nullptr), statisticKey, buffer.data(), size))
        return std::nullopt;
    return Decode(buffer.data(), size);
}

int TakeTimeStatistic::Record(const char* statisticKey, uint32_t ms)
{
    if (!statisticKey)
        return 0;
    RegistryStore store(kStatisticKey);
    uint32_t type = 0;
    TakeTimeStatistic statistic;
    if (store.QueryValueType(static_cast<const char*>(nullptr), statisticKey, type)) {
        std::optional<TakeTimeStatistic> stored = Load(statisticKey);
        if (!stored)
            return 0;
        statistic = *stored;
    }
    statistic.Add(ms);
    Value value = statistic.Encode();
    return store.WriteBinary(static_cast<const char*>(nullptr), statisticKey, value.data(), kValueSize);
}

}
