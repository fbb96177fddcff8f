#include "graphics/DibSurfaceFrame.h"

#include "platform/gdi/Brush.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/Screen.h"

#include <algorithm>
#include <cmath>

// Blits and stretches: copies out of a surface (the one Blit engine and the
// calls built on it), the DrawState family, and copies into a surface from
// other surfaces, bitmaps, device contexts and the screen.

namespace lumarra {

namespace {

constexpr double kPi = 3.141592653589;
constexpr double kOneOver180 = 0.005555555555555556;

}

// ---------------------------------------------------------------------------
// Copies out of this surface

void DibSurface::StretchInParts(DrawContext& target, int x, int y, int w, int h, DrawContext& source, int srcX,
    int srcY, int srcW, int srcH, uint32_t rop)
{
    target.SetStretchBltMode(HALFTONE);
    target.SetBrushOrg({ 0, 0 });
    if (w == 0 || h == 0 || srcW == 0 || srcH == 0)
        return;
    Size screen = Screen::GetSize();
    if (srcW <= screen.width && srcH <= screen.height) {
        target.StretchBlt(x, y, w, h, &source, srcX, srcY, srcW, srcH, rop);
        return;
    }
    // Sources larger than the screen go in screen-sized parts.
    int nx = (srcW + screen.width - 1) / screen.width;
    int ny = (srcH + screen.height - 1) / screen.height;
    int sx = srcW / nx + 1;
    int sy = srcH / ny + 1;
    int dx = w / nx + 1;
    int dy = h / ny + 1;
    auto last = [](int total, int step) { return total % step ? total % step : step; };
    for (int j = 0; j < ny; ++j) {
        int partSrcH = j == ny - 1 ? last(srcH, sy) : sy;
        int partH = j == ny - 1 ? last(h, dy) : dy;
        for (int i = 0; i < nx; ++i) {
            int partSrcW = i == nx - 1 ? last(srcW, sx) : sx;
            int partW = i == nx - 1 ? last(w, dx) : dx;
            target.StretchBlt(x + i * dx, y + j * dy, partW, partH, &source, srcX + i * sx, srcY + j * sy, partSrcW,
                partSrcH, rop);
        }
    }
}

int DibSurface::Blit(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    uint32_t rop, unsigned mode)
{
    int targetState = target.SaveDC();
    DrawContext memory;
    memory.SaveDC();
    SelectPaletteInto(target);
    Bitmap* bitmap = m_storage.GetBitmap();
    int width = m_storage.GetWidth();
    int height = m_storage.GetHeight();
    w = w ? w : width;
    srcW = srcW ? srcW : width;
    h = h ? h : height;
    srcH = srcH ? srcH : height;

    auto tiles = [&](uint32_t tileRop) {
        bool ok = true;
        int sourceY = srcY;
        int rowH = std::min(height - srcY, h);
        for (int doneH = 0; doneH < h && rowH > 0;) {
            int sourceX = srcX;
            int colW = std::min(width - srcX, w);
            for (int doneW = 0; doneW < w && colW > 0;) {
                ok = target.BitBlt(x + doneW, y + doneH, colW, rowH, &memory, sourceX, sourceY, tileRop) && ok;
                doneW += colW;
                sourceX = 0;
                colW = std::min(width, w - doneW);
            }
            doneH += rowH;
            sourceY = 0;
            rowH = std::min(height, h - doneH);
        }
        return ok;
    };
    auto copy = [&](uint32_t copyRop) {
        switch (mode) {
        case kBlitStretched:
            StretchInParts(target, x, y, w, h, memory, srcX, srcY, srcW, srcH, copyRop);
            return IsSupportedRop(copyRop);
        case kBlitTiled:
            return tiles(copyRop);
        default:
            return target.BitBlt(x, y, w, h, &memory, srcX, srcY, copyRop);
        }
    };

    bool ok;
    if (Bitmap* mask = m_storage.GetMask()) {
        // Transparent pixels are black in the image and white in the mask:
        // AND the mask, then OR the image.
        if (mode == kBlitStretched)
            target.SetStretchBltMode(HALFTONE);
        memory.SelectBitmap(mask);
        ok = copy(SRCAND);
        memory.SelectBitmap(bitmap);
        ok = copy(SRCPAINT) && ok;
    } else {
        memory.SelectBitmap(bitmap);
        ok = copy(rop);
    }
    memory.RestoreDC(1);
    target.RestoreDC(targetState);
    return ok ? 1 : 0;
}

int DibSurface::Draw(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return DrawOut([&] { return Blit(target, x, y, w, h, srcX, srcY, 0, 0, rop, kBlitPlain); });
}

int DibSurface::DrawStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    uint32_t rop)
{
    return DrawOut([&] { return Blit(target, x, y, w, h, srcX, srcY, srcW, srcH, rop, kBlitStretched); });
}

int DibSurface::DrawTiled(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return DrawOut([&] { return Blit(target, x, y, w, h, srcX, srcY, 0, 0, rop, kBlitTiled); });
}

// ---------------------------------------------------------------------------
// DrawState family: pictures drawn in their normal state.

int DibSurface::DrawState(int x, int y, int w, int h, DrawStateProc callback, intptr_t data, unsigned, const Brush*)
{
    if (!callback || w <= 0 || h <= 0)
        return 0;
    return Guarded(0, [&](SurfaceDC& dc) {
        // The callback draws at its own origin into a copy of the area.
        BitmapInfo info {};
        info.bmiHeader = { sizeof(BitmapInfoHeader), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        std::unique_ptr<Bitmap> area = Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
        if (!area)
            return 0;
        DrawContext areaDC(area.get());
        areaDC.BitBlt(0, 0, w, h, dc.Get(), x, y, SRCCOPY);
        if (!callback(areaDC, data, w, h))
            return 0;
        return dc->BitBlt(x, y, w, h, &areaDC, 0, 0, SRCCOPY) ? 1 : 0;
    });
}

int DibSurface::DrawStateText(int x, int y, int, int, std::string_view text, unsigned, bool prefix, const Brush*)
{
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        // "&x" marks a mnemonic, "&&" is one ampersand.
        if (prefix && text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return Guarded(0, [&](SurfaceDC& dc) { return dc->TextOut(x, y, shown) ? 1 : 0; });
}

int DibSurface::DrawStateIcon(int x, int y, int w, int h, const Icon& icon, unsigned, const Brush*)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->DrawIconEx(x, y, icon, w, h, nullptr) ? 1 : 0; });
}

int DibSurface::DrawStateSurface(int x, int y, DibSurface& surface, unsigned flags, const Brush* brush)
{
    return DrawStateBitmap(x, y, surface.GetWidth(), surface.GetHeight(), surface.GetBitmap(), flags, brush);
}

int DibSurface::DrawStateBitmap(int x, int y, int w, int h, Bitmap* bitmap, unsigned, const Brush*)
{
    if (!bitmap)
        return 0;
    w = w ? w : bitmap->GetWidth();
    h = h ? h : bitmap->GetHeight();
    return Guarded(0, [&](SurfaceDC& dc) {
        DrawContext from(bitmap);
        return dc->BitBlt(x, y, w, h, &from, 0, 0, SRCCOPY) ? 1 : 0;
    });
}

int DibSurface::DrawStateOnto(DrawContext& target, int x, int y, unsigned, const Brush*)
{
    Bitmap* bitmap = m_storage.GetBitmap();
    if (!bitmap)
        return 0;
    return DrawOut([&] {
        DrawContext from(bitmap);
        return target.BitBlt(x, y, m_storage.GetWidth(), m_storage.GetHeight(), &from, 0, 0, SRCCOPY) ? 1 : 0;
    });
}

int DibSurface::DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    unsigned)
{
    Bitmap* bitmap = m_storage.GetBitmap();
    if (!m_storage.GetInfo() || !m_storage.GetBits() || !bitmap)
        return 0;
    w = w ? w : m_storage.GetWidth();
    h = h ? h : m_storage.GetHeight();
    srcW = srcW ? srcW : m_storage.GetWidth();
    srcH = srcH ? srcH : m_storage.GetHeight();
    DrawContext from(bitmap);
    bool drawn = w == srcW && h == srcH ? target.BitBlt(x, y, w, h, &from, srcX, srcY, SRCCOPY)
                                        : target.StretchBlt(x, y, w, h, &from, srcX, srcY, srcW, srcH, SRCCOPY);
    return drawn ? 1 : 0;
}

int DibSurface::DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY)
{
    w = w ? w : m_storage.GetWidth();
    h = h ? h : m_storage.GetHeight();
    return DrawDib(target, x, y, w, h, srcX, srcY, w, h, 0);
}

int DibSurface::DrawDibStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH)
{
    return DrawDib(target, x, y, w, h, srcX, srcY, srcW, srcH, 0);
}

int DibSurface::CaptureScreen(int x, int y, int w, int h, int srcX, int srcY)
{
    w = w ? w : m_storage.GetWidth();
    h = h ? h : m_storage.GetHeight();
    Size screen = Screen::GetSize();
    int left = std::max(srcX, 0);
    int top = std::max(srcY, 0);
    int right = std::min(srcX + w, screen.width);
    int bottom = std::min(srcY + h, screen.height);
    if (right <= left || bottom <= top)
        return 0;
    int toX = srcX < 0 ? x - srcX : x;
    int toY = srcY < 0 ? y - srcY : y;
    return Guarded(0,
        [&](SurfaceDC& dc) { return Screen::CopyTo(*dc, toX, toY, right - left, bottom - top, left, top) ? 1 : 0; });
}

// ---------------------------------------------------------------------------
// Copies into this surface

int DibSurface::DrawBitmap(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    DibSurface source(bitmap, kNoColor);
    return DrawSurface(source, x, y, w, h, srcX, srcY, rop);
}

int DibSurface::DrawSurface(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return Guarded(0, [&](SurfaceDC& dc) { return source.Draw(*dc, x, y, w, h, srcX, srcY, rop); });
}

int DibSurface::CopyFromDC(DrawContext& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->BitBlt(x, y, w, h, &source, srcX, srcY, rop) ? 1 : 0; });
}

int DibSurface::DrawRotated(DibSurface& source, int dstX, int dstY, int w, int h, int srcX, int srcY, double angle,
    Rect* outRect)
{
    // The source is opened for drawing while this surface's context is in
    // use; rotating a surface into itself has no meaning.
    if (&source == this)
        return 0;
    return Guarded(0, [&](SurfaceDC& dc) {
        double a = angle * kPi * kOneOver180;
        double cx = w * 0.5;
        double cy = h * 0.5;
        double cosA = std::cos(a);
        double sinA = std::sin(a);
        const double corners[4][2] = { { 0, 0 }, { w - 1.0, 0 }, { w - 1.0, h - 1.0 }, { 0, h - 1.0 } };
        double minXf = 1e300, minYf = 1e300, maxXf = -1e300, maxYf = -1e300;
        for (const auto& corner : corners) {
            double dx = corner[0] - cx;
            double dy = corner[1] - cy;
            double rx = cx + (dx * cosA - dy * sinA);
            double ry = cy + (dx * sinA + dy * cosA);
            minXf = std::min(minXf, rx);
            maxXf = std::max(maxXf, rx);
            minYf = std::min(minYf, ry);
            maxYf = std::max(maxYf, ry);
        }
        int minX = static_cast<int>(minXf);
        int minY = static_cast<int>(minYf);
        int maxX = static_cast<int>(maxXf);
        int maxY = static_cast<int>(maxYf);
        w = std::min(w, source.GetWidth() - srcX);
        h = std::min(h, source.GetHeight() - srcY);

        double cosB = std::cos(-a);
        double sinB = std::sin(-a);
        source.BeginDraw();
        for (int Y = minY; Y <= maxY; ++Y) {
            for (int X = minX; X <= maxX; ++X) {
                double sx = cx + ((X - cx) * cosB - (Y - cy) * sinB);
                double sy = cy + ((X - cx) * sinB + (Y - cy) * cosB);
                int ix = static_cast<int>(sx);
                int iy = static_cast<int>(sy);
                if (sx < 0 || sy < 0 || ix >= w || iy >= h)
                    continue;
                COLORREF p00 = source.GetPixel(srcX + ix, srcY + iy);
                COLORREF p01 = source.GetPixel(srcX + ix, srcY + iy + 1);
                COLORREF p10 = source.GetPixel(srcX + ix + 1, srcY + iy);
                int fx = static_cast<int>((sx - ix) * 255);
                int fy = static_cast<int>((sy - iy) * 255);
                int channels[3];
                for (int c = 0; c < 3; ++c) {
                    int shift = 8 * c;
                    int v = (p00 >> shift) & 0xFF;
                    if (ix + 1 < w)
                        v = fx * static_cast<int>((p10 >> shift) & 0xFF) / 255 + v * (255 - fx) / 255;
                    if (iy + 1 < h)
                        v = fy * static_cast<int>((p01 >> shift) & 0xFF) / 255 + v * (255 - fy) / 255;
                    channels[c] = v;
                }
                dc->SetPixel(X + dstX - minX, Y + dstY - minY,
                    RGB(static_cast<uint8_t>(channels[0]), static_cast<uint8_t>(channels[1]),
                        static_cast<uint8_t>(channels[2])));
            }
        }
        source.EndDraw();
        if (outRect)
            *outRect = { dstX, dstY, maxX + dstX - minX + 1, maxY + dstY - minY + 1 };
        return 1;
    });
}

int DibSurface::ShadeByMask(DibSurface& mask, int x, int y, int w, int h, int maskX, int maskY)
{
    if (&mask == this)
        return 0;
    return Guarded(0, [&](SurfaceDC& dc) {
        w = w ? w : mask.GetWidth();
        h = h ? h : mask.GetHeight();
        w = std::min(w, std::max(mask.GetWidth() - maskX, 0));
        h = std::min(h, std::max(mask.GetHeight() - maskY, 0));
        constexpr unsigned kUntouched = 255;
        mask.BeginDraw();
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                unsigned m = GetRValue(mask.GetPixel(maskX + i, maskY + j));
                if (m == kUntouched)
                    continue;
                COLORREF pixel = dc->GetPixel(x + i, y + j);
                if (pixel == CLR_INVALID)
                    continue;
                dc->SetPixelV(x + i, y + j,
                    RGB(static_cast<uint8_t>(GetRValue(pixel) * m / 255),
                        static_cast<uint8_t>(GetGValue(pixel) * m / 255),
                        static_cast<uint8_t>(GetBValue(pixel) * m / 255)));
            }
        }
        mask.EndDraw();
        return 1;
    });
}

int DibSurface::DrawBitmapStretched(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    uint32_t rop)
{
    DibSurface source(bitmap, kNoColor);
    return DrawSurfaceStretched(source, x, y, w, h, srcX, srcY, srcW, srcH, rop);
}

int DibSurface::DrawSurfaceStretched(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop)
{
    return Guarded(0,
        [&](SurfaceDC& dc) { return source.DrawStretched(*dc, x, y, w, h, srcX, srcY, srcW, srcH, rop); });
}

int DibSurface::DrawFitted(DibSurface& source, int x, int y, int w, int h, uint32_t rop)
{
    int sourceW = source.GetWidth();
    int sourceH = source.GetHeight();
    if (sourceW <= 0 || sourceH <= 0)
        return 0;
    double factor = std::min(static_cast<double>(w) / sourceW, static_cast<double>(h) / sourceH);
    int fw = static_cast<int>(sourceW * factor);
    int fh = static_cast<int>(sourceH * factor);
    // A zero size would mean "the whole source" to the blit.
    if (fw <= 0 || fh <= 0)
        return 0;
    return Guarded(0, [&](SurfaceDC& dc) {
        return source.DrawStretched(*dc, x + (w - fw) / 2, y + (h - fh) / 2, fw, fh, 0, 0, sourceW, sourceH, rop);
    });
}

int DibSurface::DrawBitmapTiled(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    DibSurface source(bitmap, kNoColor);
    return DrawSurfaceTiled(source, x, y, w, h, srcX, srcY, rop);
}

int DibSurface::DrawSurfaceTiled(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return Guarded(0, [&](SurfaceDC& dc) { return source.DrawTiled(*dc, x, y, w, h, srcX, srcY, rop); });
}

int DibSurface::DrawIcon(int x, int y, const Icon& icon)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->DrawIcon(x, y, icon) ? 1 : 0; });
}

int DibSurface::DrawIconEx(int x, int y, const Icon& icon, int w, int h, int, const Brush* flickerBrush, unsigned)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->DrawIconEx(x, y, icon, w, h, flickerBrush) ? 1 : 0; });
}

}
