#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace lumarra {

class Bitmap;

// Whether `rop` is one of the raster operations the blits perform.
bool IsSupportedRop(uint32_t rop);
// Whether `rop` reads the source.
bool RopUsesSource(uint32_t rop);

// Combines source and destination rectangles of equal size with `rop`,
// converting between any two pixel formats. `source` may be null for the
// operations that do not read it. Both rectangles are clipped to their
// bitmaps; destination pixels without a source stay untouched. False for an
// unsupported operation or nothing to draw.
bool BlitBitmap(Bitmap& target, int x, int y, int w, int h, const Bitmap* source, int srcX, int srcY, uint32_t rop);

// Scales the source rectangle onto the target rectangle, then combines with
// `rop`. `averaging` (HALFTONE) gives each target pixel the mean of the
// source area behind it; otherwise the nearest source pixel is taken.
bool StretchBitmap(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop, bool averaging);

}
