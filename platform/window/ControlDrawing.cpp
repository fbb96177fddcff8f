#include "platform/window/ControlDrawing.h"

#include "platform/gdi/DrawContext.h"

namespace lumarra {

namespace {

constexpr COLORREF kShadow = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kDarkShadow = RGB(0x69, 0x69, 0x69);
constexpr COLORREF kLight = RGB(0xE3, 0xE3, 0xE3);
constexpr COLORREF kHighlight = RGB(0xFF, 0xFF, 0xFF);

}

Rect Deflate(const Rect& rect, int by)
{
    return { rect.left + by, rect.top + by, rect.right - by, rect.bottom - by };
}

void DrawFrame(DrawContext& dc, const Rect& rect, COLORREF color)
{
    dc.FillSolidRect({ rect.left, rect.top, rect.right, rect.top + 1 }, color);
    dc.FillSolidRect({ rect.left, rect.bottom - 1, rect.right, rect.bottom }, color);
    dc.FillSolidRect({ rect.left, rect.top, rect.left + 1, rect.bottom }, color);
    dc.FillSolidRect({ rect.right - 1, rect.top, rect.right, rect.bottom }, color);
}

void DrawSunkenEdge(DrawContext& dc, const Rect& rect)
{
    auto edge = [&](const Rect& r, COLORREF topLeft, COLORREF bottomRight) {
        dc.FillSolidRect({ r.left, r.top, r.right, r.top + 1 }, topLeft);
        dc.FillSolidRect({ r.left, r.top, r.left + 1, r.bottom }, topLeft);
        dc.FillSolidRect({ r.left, r.bottom - 1, r.right, r.bottom }, bottomRight);
        dc.FillSolidRect({ r.right - 1, r.top, r.right, r.bottom }, bottomRight);
    };
    edge(rect, kShadow, kHighlight);
    edge(Deflate(rect, 1), kDarkShadow, kLight);
}

void DrawFocusRect(DrawContext& dc, const Rect& rect)
{
    for (int x = rect.left; x < rect.right; x += 2) {
        dc.SetPixelV(x, rect.top, kControlText);
        dc.SetPixelV(x, rect.bottom - 1, kControlText);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        dc.SetPixelV(rect.left, y, kControlText);
        dc.SetPixelV(rect.right - 1, y, kControlText);
    }
}

}
