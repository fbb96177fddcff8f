#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace lumarra {

// How fast the child takes cards in one deck: the number of takes and a
// running average of their times, kept as one 9-byte binary value per deck
// under HKEY_CURRENT_USER\Software\Orvella\Network.
//
// The stored form hides the numbers from casual editing: both are
// bit-inverted, their bytes are spread over the value and byte 4 holds the
// 8-bit sum of the other eight.
struct TakeTimeStatistic {
    static constexpr uint32_t kValueSize = 9;
    using Value = std::array<uint8_t, kValueSize>;

    uint32_t count = 0;
    uint32_t averageMs = 0;

    // Folds one take into the statistic: the first sets the average, later
    // ones weigh a quarter against the average so far.
    void Add(uint32_t ms);

    Value Encode() const;
    // Empty for a value of the wrong size or with a wrong check byte.
    static std::optional<TakeTimeStatistic> Decode(const uint8_t* data, uint32_t size);

    // Adds a take to the deck's stored statistic. A missing value starts a
    // fresh one; a damaged value is left exactly as it is. 1 when the new
    // value was written.
    static int Record(const char* statisticKey, uint32_t ms);
    // The stored statistic, empty when it is missing or damaged.
    static std::optional<TakeTimeStatistic> Load(const char* statisticKey);
};

}
