#include "app/HotSpotTable.h"

namespace lumarra {

int HotSpotTable::Add(int x, int y, int w, int h, int value, int key)
{
    std::lock_guard guard(m_lock);
    for (size_t i = 0; i < m_spots.size(); ++i) {
        if (!m_spots[i].IsUsed()) {
            m_spots[i] = { { x, y, x + w - 1, y + h - 1 }, value, key, 1 };
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <typename Change>
void HotSpotTable::ForEachUsed(int key, Change&& change)
{
    std::lock_guard guard(m_lock);
    for (HotSpot& spot : m_spots) {
        if (spot.IsUsed() && (key == kAllKeys || spot.key == key))
            change(spot);
    }
}

void HotSpotTable::RemoveByValue(int value)
{
    ForEachUsed(kAllKeys, [value](HotSpot& spot) {
        if (spot.value == value)
            spot = {};
    });
}

void HotSpotTable::RemoveByKey(int key)
{
    ForEachUsed(key, [](HotSpot& spot) { spot = {}; });
}

void HotSpotTable::RemoveDefault(int value)
{
    if (value != 0)
        RemoveByValue(value);
    else
        RemoveByKey(kTableKey);
}

void HotSpotTable::Enable(int key, int enabled)
{
    ForEachUsed(key, [enabled](HotSpot& spot) { spot.enabled = enabled; });
}

void HotSpotTable::Clear()
{
    std::lock_guard guard(m_lock);
    m_spots.fill({});
}

HotSpot HotSpotTable::Get(int index) const
{
    std::lock_guard guard(m_lock);
    if (index < 0 || index >= kCount)
        return {};
    return m_spots[static_cast<size_t>(index)];
}

std::optional<HotSpot> HotSpotTable::FindHit(int x, int y) const
{
    std::lock_guard guard(m_lock);
    for (const HotSpot& spot : m_spots) {
        if (spot.IsUsed() && spot.enabled && spot.Contains(x, y))
            return spot;
    }
    return std::nullopt;
}

std::optional<HotSpot> HotSpotTable::FindHoverHit(int x, int y, int value, int inset) const
{
    std::lock_guard guard(m_lock);
    for (const HotSpot& spot : m_spots) {
        Rect inner { spot.rect.left + inset, spot.rect.top + inset, spot.rect.right - inset, spot.rect.bottom - inset };
        if (spot.IsUsed() && spot.enabled && spot.value == value && inner.Contains(x, y))
            return spot;
    }
    return std::nullopt;
}

}
