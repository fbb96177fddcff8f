#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace lumarra {

class Bitmap;
class Brush;
class Font;
class Icon;
class Palette;
class Pen;

// Drawing state of one device context, as SaveDC keeps it.
struct DrawState {
    Bitmap* bitmap = nullptr;
    const Pen* pen = nullptr;
    const Brush* brush = nullptr;
    std::shared_ptr<const Font> font;
    const Palette* palette = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
    int backMode = OPAQUE;
    int mapMode = MM_TEXT;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    Point brushOrigin;
    Point position;
};

// A device context over a bitmap: the selected bitmap is drawn into with the
// selected pen, brush and font, text color and background mode. A new
// context has the black pen, the white brush, no font (the text layer's
// default face) and no bitmap; with no bitmap every drawing call draws
// nothing and reports failure. Selections do not own what they select.
//
// Not thread-safe: a context is used by one thread at a time (DibSurface
// holds its lock around every use).
class DrawContext {
public:
    DrawContext();
    explicit DrawContext(Bitmap* bitmap);
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    // Selections return what was selected before.
    Bitmap* SelectBitmap(Bitmap* bitmap);
    const Pen* SelectPen(const Pen* pen);
    const Brush* SelectBrush(const Brush* brush);
    // A null font stands for the text layer's default font.
    std::shared_ptr<const Font> SelectFont(std::shared_ptr<const Font> font);
    const Palette* SelectPalette(const Palette* palette, bool background);
    // Number of entries mapped (0 without a palette).
    int RealizePalette();

    Bitmap* GetBitmap() const { return m_state.bitmap; }
    const Pen* GetPen() const { return m_state.pen; }
    const Brush* GetBrush() const { return m_state.brush; }
    const std::shared_ptr<const Font>& GetFont() const { return m_state.font; }
    const Palette* GetPalette() const { return m_state.palette; }

    // SaveDC returns the new depth (1 for the first save); RestoreDC(n)
    // returns to the state of save n, a negative n counts back from the
    // latest save.
    int SaveDC();
    bool RestoreDC(int saved);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_state.textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_state.backColor; }
    // 0 for a mode other than TRANSPARENT and OPAQUE.
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.backMode; }
    int SetMapMode(int mode);
    int GetMapMode() const { return m_state.mapMode; }
    int SetPolyFillMode(int mode);
    int GetPolyFillMode() const { return m_state.polyFillMode; }
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return m_state.stretchMode; }
    Point SetBrushOrg(Point origin);

    // Pixels (CLR_INVALID outside the bitmap). SetPixel returns the color
    // actually written.
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF color);
    bool SetPixelV(int x, int y, COLORREF color);

    // Block transfers from `source` (null for BLACKNESS, WHITENESS and
    // DSTINVERT) with one of the raster operations of GdiTypes.h; any other
    // operation fails. Both rectangles are clipped to their bitmaps. The
    // operations combine colors; an indexed target stores the nearest
    // entry of its color table.
    bool BitBlt(int x, int y, int w, int h, const DrawContext* source, int srcX, int srcY, uint32_t rop);
    // Scales the source rectangle onto the destination: HALFTONE averages
    // the source area behind each destination pixel, other modes sample.
    bool StretchBlt(int x, int y, int w, int h, const DrawContext* source, int srcX, int srcY, int srcW, int srcH,
        uint32_t rop);
    // As StretchBlt from pixels described by `info` (header and color table
    // or masks, `infoBytes` long) and `bits`; returns the rows drawn, 0 on
    // failure.
    int StretchDIBits(int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, const uint8_t* bits,
        const BitmapInfo& info, size_t infoBytes, uint32_t rop);

    // Fills with a color regardless of pen, brush and modes.
    bool FillSolidRect(const Rect& rect, COLORREF color);
    // Fills with the selected brush (nothing for a null brush).
    bool FillRect(const Rect& rect, const Brush& brush);

    // Lines with the selected pen; LineTo leaves out its end point and moves
    // the current position there.
    Point MoveTo(int x, int y);
    bool LineTo(int x, int y);
    bool Polyline(std::span<const Point> points);

    // Shapes: outline with the pen, inside with the brush. Bounding boxes
    // exclude their right and bottom edges.
    bool Rectangle(int left, int top, int right, int bottom);
    bool RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);
    bool Ellipse(int left, int top, int right, int bottom);
    bool Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    bool Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    bool Polygon(std::span<const Point> points);
    bool PolyPolygon(std::span<const Point> points, std::span<const int> counts);

    bool DrawIcon(int x, int y, const Icon& icon);
    // w, h of 0 take the icon's size; `flickerBrush` (when not null) first
    // fills the rectangle, as an off-screen background would be.
    bool DrawIconEx(int x, int y, const Icon& icon, int w, int h, const Brush* flickerBrush);

    // Text through the selected font, laid out by the text layer and blended
    // in the text color; in OPAQUE mode each text cell is first filled with
    // the background color. DrawText returns the height of the text, 0 on
    // failure; with DT_CALCRECT it only measures into `rect`.
    bool TextOut(int x, int y, std::string_view text);
    int DrawText(std::string_view text, Rect& rect, unsigned format);

private:
    // Fills the spans of one scanline [x0, x1) with the brush.
    void FillSpan(int y, int x0, int x1, COLORREF color);
    void FillPolygons(std::span<const Point> points, std::span<const int> counts);
    void StrokeClosed(std::span<const Point> points);
    void PlotLine(Point from, Point to, COLORREF color);

    DrawState m_state;
    std::vector<DrawState> m_saved;
};

}
