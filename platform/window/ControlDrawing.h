#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

class DrawContext;

// Colors every control paints with.
inline constexpr COLORREF kControlText = RGB(0, 0, 0);
inline constexpr COLORREF kGrayText = RGB(0x6D, 0x6D, 0x6D);
inline constexpr COLORREF kWindowFace = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kFocusBlue = RGB(0x00, 0x78, 0xD7);

// A one-pixel frame inside `rect`.
void DrawFrame(DrawContext& dc, const Rect& rect, COLORREF color);
// A two-pixel sunken edge inside `rect` (darker top and left).
void DrawSunkenEdge(DrawContext& dc, const Rect& rect);
// A dotted frame inside `rect`, as keyboard focus is shown.
void DrawFocusRect(DrawContext& dc, const Rect& rect);
// `rect` shrunk by `by` on every side.
Rect Deflate(const Rect& rect, int by);

}
