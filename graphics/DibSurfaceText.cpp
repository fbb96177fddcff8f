#include "graphics/DibSurfaceFrame.h"

#include "graphics/OutlinedText.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"

// Text: the colors and modes it is drawn with, plain and styled text, and
// the anti-aliased outlined text.

namespace lumarra {

namespace {

// DrawText format of MeasureText: DT_CALCRECT | DT_EXTERNALLEADING | DT_EXPANDTABS.
constexpr unsigned kMeasureFormat = 0x640;

}

// ---------------------------------------------------------------------------
// Colors and modes

COLORREF DibSurface::SetTextColor(COLORREF color)
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->SetTextColor(color); });
}

COLORREF DibSurface::GetTextColor()
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->GetTextColor(); });
}

COLORREF DibSurface::SetBkColor(COLORREF color)
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->SetBkColor(color); });
}

COLORREF DibSurface::GetBkColor()
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->GetBkColor(); });
}

int DibSurface::SetBkMode(int mode)
{
    constexpr int kSetBkModeFailure = 2;
    return Guarded(kSetBkModeFailure, [&](SurfaceDC& dc) { return dc->SetBkMode(mode); });
}

int DibSurface::GetBkMode()
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->GetBkMode(); });
}

int DibSurface::SetMapMode(int mode)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->SetMapMode(mode); });
}

int DibSurface::GetMapMode()
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->GetMapMode(); });
}

// ---------------------------------------------------------------------------
// Text

namespace {

// Runs `draw` with a point font of `faceName` (when given) and the color
// selected for this one call, in transparent mode; the previous font returns.
template <typename Draw>
int WithTextStyle(SurfaceDC& dc, COLORREF color, int pointSize, std::string_view faceName, Draw draw)
{
    std::shared_ptr<const Font> made;
    std::shared_ptr<const Font> previous;
    if (!faceName.empty()) {
        made = Font::CreatePoint(pointSize, faceName);
        previous = dc.SelectFont(made);
    }
    if (color != kNoColor)
        dc->SetTextColor(color);
    dc->SetBkMode(TRANSPARENT);
    int result = draw();
    if (made)
        dc.SelectFont(previous);
    return result;
}

}

int DibSurface::TextOut(int x, int y, std::string_view text)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->TextOut(x, y, text) ? 1 : 0; });
}

int DibSurface::TextOutStyled(int x, int y, std::string_view text, COLORREF color, int pointSize,
    std::string_view faceName)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return WithTextStyle(dc, color, pointSize, faceName, [&] { return dc->TextOut(x, y, text) ? 1 : 0; });
    });
}

int DibSurface::DrawText(std::string_view text, Rect& rect, unsigned format)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->DrawText(text, rect, format); });
}

int DibSurface::DrawTextStyled(std::string_view text, Rect& rect, unsigned format, COLORREF color, int pointSize,
    std::string_view faceName)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return WithTextStyle(dc, color, pointSize, faceName, [&] { return dc->DrawText(text, rect, format); });
    });
}

int DibSurface::MeasureText(Rect& rect, std::string_view text, int pointSize, std::string_view faceName)
{
    return DrawTextStyled(text, rect, kMeasureFormat, 0, pointSize, faceName);
}

int DibSurface::DrawOutlinedText(std::string_view text, int x, int y, int w, int h, std::string_view face, int height,
    int weight, COLORREF textColor, COLORREF shadeColor)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Baseline, text, x, y, w, h, face, height, weight, textColor,
            shadeColor);
    });
}

int DibSurface::DrawOutlinedTextBottom(std::string_view text, int x, int y, int w, int h, std::string_view face,
    int height, COLORREF textColor, COLORREF shadeColor)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Bottom, text, x, y, w, h, face, height, kOutlinedTextWeight,
            textColor, shadeColor);
    });
}

int DibSurface::DrawOutlinedTextPlain(std::string_view text, int x, int y, int w, int h, std::string_view face,
    int height, COLORREF textColor, COLORREF shadeColor)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Plain, text, x, y, w, h, face, height, kOutlinedTextWeight,
            textColor, shadeColor);
    });
}

}
