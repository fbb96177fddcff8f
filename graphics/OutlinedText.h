#pragma once

#include "platform/gdi/Font.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <string_view>

namespace lumarra {

class DrawContext;

// How the three outlined-text operations place their glyphs in the box.
enum class OutlinedTextStyle {
    // The caller's weight; glyphs on a common baseline; centred with the last
    // glyph's trailing space.
    Baseline,
    // Weight 600; every glyph's bottom on the tallest glyph's bottom; centred
    // with the trailing space.
    Bottom,
    // As Bottom, but centred by the advances alone.
    Plain,
};

// Weight of the Bottom and Plain styles.
inline constexpr int kOutlinedTextWeight = kFontWeightSemiBold;

// One character's 65-level grey bitmap (0 no ink … 64 full ink) with its
// metrics, as GetGlyphOutline's GGO_GRAY8_BITMAP gives them: a black box of
// `width` × `height` pixels in rows of `pitch` bytes, top row first, whose
// top-left corner lies `originX` right of the pen and `originY` above the
// baseline; the pen then moves on by `advance`.
struct GrayGlyph {
    int width = 0;
    int height = 0;
    int pitch = 0;
    int originX = 0;
    int originY = 0;
    int advance = 0;
    const uint8_t* bits = nullptr;
};

// Blends one grey glyph into `dc` with the top-left of its bitmap at
// (left, top), pixel by pixel in row order: ink weight b = 4v − 1, nearly
// covered pixels (b > 150) blend against the text color instead of reading
// the background. With a shade color other than kNoColor, each pixel whose
// right or lower neighbour is inked also writes the shade one pixel down and
// to the right.
void PaintGrayGlyph(DrawContext& dc, const GrayGlyph& glyph, int left, int top, COLORREF textColor,
    COLORREF shadeColor);

// Draws CP932 `text` centred in the box (x, y, w, h) in a font of `face`
// (CP932) made for the call at cell height `height`, half as wide, and
// `weight` (the Bottom and Plain styles use kOutlinedTextWeight instead).
// Runs on a device context the caller has open on the target and holds the
// target's lock for. Returns 0 for an empty text or when no font can be
// made, 1 after drawing.
int RenderOutlinedText(DrawContext& dc, OutlinedTextStyle style, std::string_view text, int x, int y, int w, int h,
    std::string_view face, int height, int weight, COLORREF textColor, COLORREF shadeColor);

}
