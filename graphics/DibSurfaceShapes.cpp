#include "graphics/DibSurfaceFrame.h"

#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"

// Pixels, fills, shapes and the selections they are drawn with.

namespace lumarra {

// ---------------------------------------------------------------------------
// Pixels and fills

COLORREF DibSurface::GetPixel(int x, int y)
{
    return Guarded<COLORREF>(CLR_INVALID, [&](SurfaceDC& dc) { return dc->GetPixel(x, y); });
}

COLORREF DibSurface::SetPixel(int x, int y, COLORREF color)
{
    return Guarded<COLORREF>(CLR_INVALID, [&](SurfaceDC& dc) { return dc->SetPixel(x, y, color); });
}

int DibSurface::SetPixelV(int x, int y, COLORREF color)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->SetPixelV(x, y, color) ? 1 : 0; });
}

int DibSurface::FillSolidRect(const Rect& rect, COLORREF color)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        // The framework's fill leaves the background color set.
        dc->SetBkColor(color);
        return dc->FillSolidRect(rect, color) ? 1 : 0;
    });
}

int DibSurface::FillSolidRect(int x, int y, int w, int h, COLORREF color)
{
    return FillSolidRect(Rect { x, y, x + w, y + h }, color);
}

// ---------------------------------------------------------------------------
// Shapes

int DibSurface::GetPolyFillMode()
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->GetPolyFillMode(); });
}

int DibSurface::SetPolyFillMode(int mode)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->SetPolyFillMode(mode); });
}

int DibSurface::Polygon(std::span<const Point> points)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Polygon(points) ? 1 : 0; });
}

int DibSurface::Polyline(std::span<const Point> points)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Polyline(points) ? 1 : 0; });
}

int DibSurface::PolyPolygon(std::span<const Point> points, std::span<const int> counts)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->PolyPolygon(points, counts) ? 1 : 0; });
}

int DibSurface::Ellipse(const Rect& rect)
{
    return Ellipse(rect.left, rect.top, rect.right, rect.bottom);
}

int DibSurface::Ellipse(int left, int top, int right, int bottom)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Ellipse(left, top, right, bottom) ? 1 : 0; });
}

int DibSurface::Chord(const Rect& rect, Point start, Point end)
{
    return Chord(rect.left, rect.top, rect.right, rect.bottom, start.x, start.y, end.x, end.y);
}

int DibSurface::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Chord(left, top, right, bottom, x1, y1, x2, y2) ? 1 : 0; });
}

int DibSurface::Pie(const Rect& rect, Point start, Point end)
{
    return Pie(rect.left, rect.top, rect.right, rect.bottom, start.x, start.y, end.x, end.y);
}

int DibSurface::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Pie(left, top, right, bottom, x1, y1, x2, y2) ? 1 : 0; });
}

int DibSurface::Rectangle(const Rect& rect)
{
    return Rectangle(rect.left, rect.top, rect.right, rect.bottom);
}

int DibSurface::Rectangle(int left, int top, int right, int bottom)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->Rectangle(left, top, right, bottom) ? 1 : 0; });
}

int DibSurface::RoundRect(const Rect& rect, int cornerW, int cornerH)
{
    return RoundRect(rect.left, rect.top, rect.right, rect.bottom, cornerW, cornerH);
}

int DibSurface::RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->RoundRect(left, top, right, bottom, cornerW, cornerH) ? 1 : 0; });
}

// ---------------------------------------------------------------------------
// Selections

Bitmap* DibSurface::SelectObject(Bitmap* bitmap)
{
    return Guarded<Bitmap*>(nullptr, [&](SurfaceDC& dc) { return dc->SelectBitmap(bitmap); });
}

const Pen* DibSurface::SelectObject(const Pen* pen)
{
    return Guarded<const Pen*>(nullptr, [&](SurfaceDC& dc) { return dc->SelectPen(pen); });
}

const Brush* DibSurface::SelectObject(const Brush* brush)
{
    return Guarded<const Brush*>(nullptr, [&](SurfaceDC& dc) { return dc->SelectBrush(brush); });
}

std::shared_ptr<const Font> DibSurface::SelectObject(std::shared_ptr<const Font> font)
{
    return Guarded<std::shared_ptr<const Font>>(nullptr, [&](SurfaceDC& dc) { return dc->SelectFont(font); });
}

Bitmap* DibSurface::SelectBitmap(Bitmap* bitmap)
{
    return Guarded<Bitmap*>(nullptr, [&](SurfaceDC& dc) { return dc.SelectBitmap(bitmap); });
}

std::shared_ptr<const Font> DibSurface::SelectFont(std::shared_ptr<const Font> font)
{
    return Guarded<std::shared_ptr<const Font>>(nullptr, [&](SurfaceDC& dc) { return dc.SelectFont(font); });
}

const Brush* DibSurface::SelectBrush(const Brush* brush)
{
    return Guarded<const Brush*>(nullptr, [&](SurfaceDC& dc) { return dc.SelectBrush(brush); });
}

const Pen* DibSurface::SelectPen(const Pen* pen)
{
    return Guarded<const Pen*>(nullptr, [&](SurfaceDC& dc) { return dc.SelectPen(pen); });
}

Point DibSurface::MoveTo(Point point)
{
    return MoveTo(point.x, point.y);
}

Point DibSurface::MoveTo(int x, int y)
{
    return Guarded(Point {}, [&](SurfaceDC& dc) { return dc->MoveTo(x, y); });
}

int DibSurface::LineTo(int x, int y)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->LineTo(x, y) ? 1 : 0; });
}

}
