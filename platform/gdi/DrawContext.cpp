#include "platform/gdi/DrawContext.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/TextLayout.h"
#include "platform/gdi/TextRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace lumarra {

namespace {

// Corner points an elliptic arc is approximated with, per pixel of radius.
constexpr double kArcStepsPerPixel = 1.0;
constexpr int kMinArcSteps = 8;

// A point on the ellipse inscribed in [left, right - 1] × [top, bottom - 1],
// at `angle` counter-clockwise from the positive x axis (y grows down).
Point ArcPoint(double cx, double cy, double rx, double ry, double angle)
{
    return { static_cast<int>(std::lround(cx + rx * std::cos(angle))),
        static_cast<int>(std::lround(cy - ry * std::sin(angle))) };
}

void AppendArc(std::vector<Point>& points, int left, int top, int right, int bottom, double from, double to)
{
    double rx = (right - 1 - left) / 2.0;
    double ry = (bottom - 1 - top) / 2.0;
    double cx = left + rx;
    double cy = top + ry;
    int steps = std::max(kMinArcSteps, static_cast<int>((rx + ry) * (to - from) * kArcStepsPerPixel));
    for (int i = 0; i <= steps; ++i) {
        Point p = ArcPoint(cx, cy, rx, ry, from + (to - from) * i / steps);
        if (points.empty() || !(points.back() == p))
            points.push_back(p);
    }
}

double AngleOf(int left, int top, int right, int bottom, int x, int y)
{
    double cx = (left + right - 1) / 2.0;
    double cy = (top + bottom - 1) / 2.0;
    return std::atan2(-(y - cy), x - cx);
}

// Start and end angle of the counter-clockwise arc between two radials.
std::pair<double, double> ArcRange(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    double from = AngleOf(left, top, right, bottom, x1, y1);
    double to = AngleOf(left, top, right, bottom, x2, y2);
    if (to <= from)
        to += 2 * std::numbers::pi;
    return { from, to };
}

void Normalise(int& left, int& top, int& right, int& bottom)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

}

DrawContext::DrawContext()
{
    m_state.pen = &Pen::Black();
    m_state.brush = &Brush::White();
}

DrawContext::DrawContext(Bitmap* bitmap)
    : DrawContext()
{
    m_state.bitmap = bitmap;
}

Bitmap* DrawContext::SelectBitmap(Bitmap* bitmap)
{
    return std::exchange(m_state.bitmap, bitmap);
}

const Pen* DrawContext::SelectPen(const Pen* pen)
{
    return std::exchange(m_state.pen, pen ? pen : &Pen::Black());
}

const Brush* DrawContext::SelectBrush(const Brush* brush)
{
    return std::exchange(m_state.brush, brush ? brush : &Brush::White());
}

std::shared_ptr<const Font> DrawContext::SelectFont(std::shared_ptr<const Font> font)
{
    return std::exchange(m_state.font, std::move(font));
}

const Palette* DrawContext::SelectPalette(const Palette* palette, bool)
{
    return std::exchange(m_state.palette, palette);
}

int DrawContext::RealizePalette()
{
    return m_state.palette ? static_cast<int>(m_state.palette->GetCount()) : 0;
}

int DrawContext::SaveDC()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool DrawContext::RestoreDC(int saved)
{
    int index = saved > 0 ? saved - 1 : static_cast<int>(m_saved.size()) + saved;
    if (saved == 0 || index < 0 || index >= static_cast<int>(m_saved.size()))
        return false;
    m_state = m_saved[static_cast<size_t>(index)];
    m_saved.resize(static_cast<size_t>(index));
    return true;
}

COLORREF DrawContext::SetTextColor(COLORREF color)
{
    return std::exchange(m_state.textColor, color);
}

COLORREF DrawContext::SetBkColor(COLORREF color)
{
    return std::exchange(m_state.backColor, color);
}

int DrawContext::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_state.backMode, mode);
}

int DrawContext::SetMapMode(int mode)
{
    if (mode != MM_TEXT)
        return 0;
    return std::exchange(m_state.mapMode, mode);
}

int DrawContext::SetPolyFillMode(int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return std::exchange(m_state.polyFillMode, mode);
}

int DrawContext::SetStretchBltMode(int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(m_state.stretchMode, mode);
}

Point DrawContext::SetBrushOrg(Point origin)
{
    return std::exchange(m_state.brushOrigin, origin);
}

COLORREF DrawContext::GetPixel(int x, int y) const
{
    return m_state.bitmap ? m_state.bitmap->GetPixel(x, y) : CLR_INVALID;
}

COLORREF DrawContext::SetPixel(int x, int y, COLORREF color)
{
    if (!m_state.bitmap || !m_state.bitmap->SetPixel(x, y, color))
        return CLR_INVALID;
    return m_state.bitmap->GetPixel(x, y);
}

bool DrawContext::SetPixelV(int x, int y, COLORREF color)
{
    return m_state.bitmap && m_state.bitmap->SetPixel(x, y, color);
}

bool DrawContext::BitBlt(int x, int y, int w, int h, const DrawContext* source, int srcX, int srcY, uint32_t rop)
{
    if (!m_state.bitmap || !IsSupportedRop(rop))
        return false;
    const Bitmap* from = source ? source->GetBitmap() : nullptr;
    if (RopUsesSource(rop) && !from)
        return false;
    BlitBitmap(*m_state.bitmap, x, y, w, h, from, srcX, srcY, rop);
    return true;
}

bool DrawContext::StretchBlt(int x, int y, int w, int h, const DrawContext* source, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop)
{
    if (!RopUsesSource(rop))
        return BitBlt(x, y, w, h, nullptr, 0, 0, rop);
    if (!m_state.bitmap || !source || !source->GetBitmap() || !IsSupportedRop(rop))
        return false;
    return StretchBitmap(*m_state.bitmap, x, y, w, h, *source->GetBitmap(), srcX, srcY, srcW, srcH, rop,
        m_state.stretchMode == HALFTONE);
}

int DrawContext::StretchDIBits(int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, const uint8_t* bits,
    const BitmapInfo& info, size_t infoBytes, uint32_t rop)
{
    if (!m_state.bitmap || !bits)
        return 0;
    std::unique_ptr<Bitmap> source = Bitmap::CreateDibSection(info, infoBytes);
    if (!source)
        return 0;
    std::memcpy(source->GetBits(), bits, source->GetImageBytes());
    DrawContext from(source.get());
    bool drawn = w == srcW && h == srcH ? BitBlt(x, y, w, h, &from, srcX, srcY, rop)
                                        : StretchBlt(x, y, w, h, &from, srcX, srcY, srcW, srcH, rop);
    return drawn ? std::abs(h) : 0;
}

bool DrawContext::FillSolidRect(const Rect& rect, COLORREF color)
{
    if (!m_state.bitmap)
        return false;
    Rect area = rect.Intersect({ 0, 0, m_state.bitmap->GetWidth(), m_state.bitmap->GetHeight() });
    if (area.IsEmpty())
        return true;
    for (int y = area.top; y < area.bottom; ++y)
        FillSpan(y, area.left, area.right, color);
    return true;
}

bool DrawContext::FillRect(const Rect& rect, const Brush& brush)
{
    if (brush.IsNull())
        return m_state.bitmap != nullptr;
    return FillSolidRect(rect, brush.GetColor());
}

void DrawContext::FillSpan(int y, int x0, int x1, COLORREF color)
{
    Bitmap& bitmap = *m_state.bitmap;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bitmap.GetWidth());
    if (y < 0 || y >= bitmap.GetHeight() || x0 >= x1)
        return;
    uint32_t raw = bitmap.RawFromColor(color);
    if (bitmap.GetBitsPerPixel() == 24) {
        uint8_t* p = bitmap.Row(y) + 3 * x0;
        for (int x = x0; x < x1; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(raw);
            p[1] = static_cast<uint8_t>(raw >> 8);
            p[2] = static_cast<uint8_t>(raw >> 16);
        }
        return;
    }
    for (int x = x0; x < x1; ++x)
        bitmap.SetRaw(x, y, raw);
}

Point DrawContext::MoveTo(int x, int y)
{
    return std::exchange(m_state.position, Point { x, y });
}

void DrawContext::PlotLine(Point from, Point to, COLORREF color)
{
    // Bresenham; the end point is left out.
    int dx = std::abs(to.x - from.x);
    int dy = -std::abs(to.y - from.y);
    int stepX = from.x < to.x ? 1 : -1;
    int stepY = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    Point p = from;
    while (!(p == to)) {
        m_state.bitmap->SetPixel(p.x, p.y, color);
        int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            p.x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            p.y += stepY;
        }
    }
}

bool DrawContext::LineTo(int x, int y)
{
    if (!m_state.bitmap)
        return false;
    Point from = std::exchange(m_state.position, Point { x, y });
    if (!m_state.pen->IsNull())
        PlotLine(from, { x, y }, m_state.pen->GetColor());
    return true;
}

bool DrawContext::Polyline(std::span<const Point> points)
{
    if (!m_state.bitmap || points.size() < 2)
        return false;
    if (!m_state.pen->IsNull()) {
        for (size_t i = 1; i < points.size(); ++i)
            PlotLine(points[i - 1], points[i], m_state.pen->GetColor());
    }
    return true;
}

void DrawContext::StrokeClosed(std::span<const Point> points)
{
    if (m_state.pen->IsNull() || points.empty())
        return;
    for (size_t i = 0; i < points.size(); ++i)
        PlotLine(points[i], points[(i + 1) % points.size()], m_state.pen->GetColor());
    if (points.size() == 1)
        m_state.bitmap->SetPixel(points[0].x, points[0].y, m_state.pen->GetColor());
}

void DrawContext::FillPolygons(std::span<const Point> points, std::span<const int> counts)
{
    if (m_state.brush->IsNull() || points.empty())
        return;
    struct Edge {
        double x0, y0, x1, y1;
        int direction;
    };
    std::vector<Edge> edges;
    int minY = points[0].y;
    int maxY = points[0].y;
    size_t start = 0;
    for (int count : counts) {
        for (int i = 0; i < count; ++i) {
            Point a = points[start + static_cast<size_t>(i)];
            Point b = points[start + static_cast<size_t>((i + 1) % count)];
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, a.y);
            if (a.y != b.y)
                edges.push_back(a.y < b.y ? Edge { double(a.x), double(a.y), double(b.x), double(b.y), 1 }
                                          : Edge { double(b.x), double(b.y), double(a.x), double(a.y), -1 });
        }
        start += static_cast<size_t>(count);
    }
    minY = std::max(minY, 0);
    maxY = std::min(maxY, m_state.bitmap->GetHeight());
    std::vector<std::pair<double, int>> crossings;
    for (int y = minY; y < maxY; ++y) {
        // Pixel centres inside the outline are filled.
        double centre = y + 0.5;
        crossings.clear();
        for (const Edge& edge : edges) {
            if (centre >= edge.y0 && centre < edge.y1)
                crossings.emplace_back(edge.x0 + (centre - edge.y0) * (edge.x1 - edge.x0) / (edge.y1 - edge.y0),
                    edge.direction);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            bool inside = m_state.polyFillMode == WINDING ? winding != 0 : (i % 2) == 0;
            if (inside)
                FillSpan(y, static_cast<int>(std::ceil(crossings[i].first - 0.5)),
                    static_cast<int>(std::ceil(crossings[i + 1].first - 0.5)), m_state.brush->GetColor());
        }
    }
}

bool DrawContext::Polygon(std::span<const Point> points)
{
    if (points.size() < 2)
        return false;
    int count = static_cast<int>(points.size());
    return PolyPolygon(points, std::span<const int>(&count, 1));
}

bool DrawContext::PolyPolygon(std::span<const Point> points, std::span<const int> counts)
{
    if (!m_state.bitmap)
        return false;
    size_t total = 0;
    for (int count : counts) {
        if (count < 2)
            return false;
        total += static_cast<size_t>(count);
    }
    if (total > points.size())
        return false;
    FillPolygons(points, counts);
    size_t start = 0;
    for (int count : counts) {
        StrokeClosed(points.subspan(start, static_cast<size_t>(count)));
        start += static_cast<size_t>(count);
    }
    return true;
}

bool DrawContext::Rectangle(int left, int top, int right, int bottom)
{
    if (!m_state.bitmap)
        return false;
    Normalise(left, top, right, bottom);
    if (m_state.pen->IsNull()) {
        // Without an outline the filled area is one pixel smaller.
        if (!m_state.brush->IsNull())
            FillSolidRect({ left, top, right - 1, bottom - 1 }, m_state.brush->GetColor());
        return true;
    }
    if (!m_state.brush->IsNull())
        FillSolidRect({ left + 1, top + 1, right - 1, bottom - 1 }, m_state.brush->GetColor());
    const Point corners[4] = { { left, top }, { right - 1, top }, { right - 1, bottom - 1 }, { left, bottom - 1 } };
    StrokeClosed(corners);
    return true;
}

bool DrawContext::RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    if (!m_state.bitmap)
        return false;
    Normalise(left, top, right, bottom);
    cornerW = std::clamp(cornerW, 0, right - left);
    cornerH = std::clamp(cornerH, 0, bottom - top);
    if (cornerW < 2 || cornerH < 2)
        return Rectangle(left, top, right, bottom);
    constexpr double kQuarter = std::numbers::pi / 2;
    std::vector<Point> outline;
    AppendArc(outline, right - cornerW, top, right, top + cornerH, 0, kQuarter);
    AppendArc(outline, left, top, left + cornerW, top + cornerH, kQuarter, 2 * kQuarter);
    AppendArc(outline, left, bottom - cornerH, left + cornerW, bottom, 2 * kQuarter, 3 * kQuarter);
    AppendArc(outline, right - cornerW, bottom - cornerH, right, bottom, 3 * kQuarter, 4 * kQuarter);
    return Polygon(outline);
}

bool DrawContext::Ellipse(int left, int top, int right, int bottom)
{
    if (!m_state.bitmap)
        return false;
    Normalise(left, top, right, bottom);
    std::vector<Point> outline;
    AppendArc(outline, left, top, right, bottom, 0, 2 * std::numbers::pi);
    return Polygon(outline) || outline.size() == 1;
}

bool DrawContext::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    if (!m_state.bitmap)
        return false;
    Normalise(left, top, right, bottom);
    auto [from, to] = ArcRange(left, top, right, bottom, x1, y1, x2, y2);
    std::vector<Point> outline;
    AppendArc(outline, left, top, right, bottom, from, to);
    return Polygon(outline) || outline.size() == 1;
}

bool DrawContext::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    if (!m_state.bitmap)
        return false;
    Normalise(left, top, right, bottom);
    auto [from, to] = ArcRange(left, top, right, bottom, x1, y1, x2, y2);
    std::vector<Point> outline;
    AppendArc(outline, left, top, right, bottom, from, to);
    outline.push_back({ (left + right - 1) / 2, (top + bottom - 1) / 2 });
    return Polygon(outline);
}

bool DrawContext::DrawIcon(int x, int y, const Icon& icon)
{
    return DrawIconEx(x, y, icon, 0, 0, nullptr);
}

bool DrawContext::DrawIconEx(int x, int y, const Icon& icon, int w, int h, const Brush* flickerBrush)
{
    if (!m_state.bitmap || !icon.GetColor())
        return false;
    w = w ? w : icon.GetWidth();
    h = h ? h : icon.GetHeight();
    if (flickerBrush)
        FillRect({ x, y, x + w, y + h }, *flickerBrush);
    // The mask keeps the background where it is 1; the color image is
    // then combined in.
    bool averaging = false;
    if (icon.GetMask())
        StretchBitmap(*m_state.bitmap, x, y, w, h, *icon.GetMask(), 0, 0, icon.GetMask()->GetWidth(),
            icon.GetMask()->GetHeight(), SRCAND, averaging);
    return StretchBitmap(*m_state.bitmap, x, y, w, h, *icon.GetColor(), 0, 0, icon.GetWidth(), icon.GetHeight(),
        icon.GetMask() ? SRCINVERT : SRCCOPY, averaging);
}

bool DrawContext::TextOut(int x, int y, std::string_view text)
{
    if (!m_state.bitmap)
        return false;
    std::shared_ptr<const Font> font = m_state.font ? m_state.font : Font::GetDefault();
    if (!font)
        return false;
    TextRun run = TextLayout::LayoutTextOut(font, x, y, text);
    return RenderText(*m_state.bitmap, run, m_state.textColor, m_state.backMode, m_state.backColor);
}

int DrawContext::DrawText(std::string_view text, Rect& rect, unsigned format)
{
    std::shared_ptr<const Font> font = m_state.font ? m_state.font : Font::GetDefault();
    if (!font || (!m_state.bitmap && !(format & DT_CALCRECT)))
        return 0;
    TextRun run;
    int height = TextLayout::LayoutDrawText(font, text, rect, format, run);
    if (!(format & DT_CALCRECT))
        RenderText(*m_state.bitmap, run, m_state.textColor, m_state.backMode, m_state.backColor);
    return height;
}

}
