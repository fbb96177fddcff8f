#pragma once

#include "app/HotSpot.h"

#include <array>
#include <mutex>
#include <optional>

namespace lumarra {

// The stage's 110 clickable rectangles. Scripts register and remove spots on
// the worker thread while the interface thread hit-tests them, so every
// operation takes the table's own lock.
class HotSpotTable {
public:
    static constexpr int kCount = 110;
    // As a key to remove or enable: every used spot.
    static constexpr int kAllKeys = 256;
    // The key of the cards on the table.
    static constexpr int kTableKey = 512;

    // The first free slot, stored enabled; -1 when all are in use.
    int Add(int x, int y, int w, int h, int value, int key);
    void RemoveByValue(int value);
    void RemoveByKey(int key);
    // A value of 0 removes the table cards.
    void RemoveDefault(int value);
    void Enable(int key, int enabled);
    void Clear();
    HotSpot Get(int index) const;

    // The lowest-index enabled spot containing the point.
    std::optional<HotSpot> FindHit(int x, int y) const;
    // The same among spots of `value`, with the point at least `inset`
    // pixels inside the edges.
    std::optional<HotSpot> FindHoverHit(int x, int y, int value, int inset) const;

private:
    template <typename Change>
    void ForEachUsed(int key, Change&& change);

    mutable std::mutex m_lock;
    std::array<HotSpot, kCount> m_spots;
};

}
