#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

// A clickable rectangle of the stage. The rectangle is kept as
// (x, y, x + w - 1, y + h - 1) and tested with its right and bottom edges
// left out, so a spot is hit one pixel short of its nominal size on those
// sides. A key of 0 marks a free slot.
struct HotSpot {
    Rect rect;
    int value = 0;
    int key = 0;
    int enabled = 0;

    bool IsUsed() const { return key != 0; }
    bool Contains(int x, int y) const { return rect.Contains(x, y); }
};

}
