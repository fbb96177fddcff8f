#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

class Bitmap;
struct TextRun;

// Draws a laid-out run into a bitmap: with OPAQUE first fills the run's cells
// in `backgroundColor`, then blends every inked pixel toward `textColor` by its
// coverage and fills the bars. `clip` (when given) limits both, on top of the
// run's own clip. Returns false when nothing could be drawn (no bitmap).
bool RenderText(Bitmap& bitmap, const TextRun& run, COLORREF textColor, int backgroundMode, COLORREF backgroundColor,
    const Rect* clip = nullptr);

// One channel-wise blend: `coverage` 0 keeps `under`, 255 gives `ink`.
COLORREF BlendCoverage(COLORREF under, COLORREF ink, uint8_t coverage);

}
