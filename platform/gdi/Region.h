#pragma once

#include "platform/gdi/GdiTypes.h"

#include <vector>

namespace lumarra {

// An area as a list of non-overlapping rectangles.
class Region {
public:
    Region() = default;
    explicit Region(const Rect& rect);

    // Adds `rect` (RGN_OR): the parts not already covered are appended.
    void Unite(const Rect& rect);
    // Adds a rectangle the caller knows to overlap none of the region (runs
    // of a scan, say) in constant time.
    void AppendDisjoint(const Rect& rect);
    bool Contains(int x, int y) const;
    bool IsEmpty() const { return m_rects.empty(); }
    Rect GetBounds() const;
    // Number of pixels covered.
    long long GetArea() const;
    const std::vector<Rect>& GetRects() const { return m_rects; }

private:
    std::vector<Rect> m_rects;
};

}
