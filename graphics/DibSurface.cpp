#include "graphics/DibSurface.h"

#include "graphics/OutlinedText.h"
#include "graphics/PackedDib.h"
#include "graphics/SurfaceDC.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/Screen.h"
#include "platform/gdi/TextLayout.h"
#include "support/FileIo.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

namespace lumarra {

namespace {

// How long a thread waits before looking again at a surface another thread
// holds.
constexpr uint32_t kLockPollMs = 100;
// CreateFromInfo's header block: four bytes more than the other blocks.
constexpr size_t kCreateInfoBlockBytes = 1068;
// Room for the masks and table that follow a compressed header.
constexpr size_t kCompressedTailBytes = 64;
constexpr int kMaxPaletteColours = 256;
constexpr size_t kFileHeaderBytes = 14;
// DrawText format of MeasureText: DT_CALCRECT | DT_EXTERNALLEADING | DT_EXPANDTABS.
constexpr unsigned kMeasureFormat = 0x640;
constexpr double kPi = 3.141592653589;
constexpr double kOneOver180 = 0.005555555555555556;

// 2^bits as a colour count; depths above 24 count as 2^24.
int ColourCountOf(int bitsPerPixel)
{
    return 1 << std::clamp(bitsPerPixel, 0, 24);
}

uint32_t ReadRaw(const uint8_t* p, int bytes)
{
    uint32_t raw = 0;
    std::memcpy(&raw, p, static_cast<size_t>(bytes));
    return raw;
}

}

DibSurface::DibSurface() = default;

DibSurface::DibSurface(int bitDepth, int width, int height, COLORREF key)
{
    CreateBlank(bitDepth, width, height, key);
}

DibSurface::DibSurface(uint32_t resourceId, COLORREF key)
{
    LoadFromResource(resourceId, key);
}

DibSurface::DibSurface(Bitmap* bitmap, COLORREF key)
{
    AttachBitmap(bitmap, key);
}

DibSurface::~DibSurface()
{
    Release();
    // A surface destroyed by the thread that holds it (inside BeginDraw, say)
    // gives its lock back first.
    if (m_ownerThread.load() == std::this_thread::get_id()) {
        m_ownerThread.store(std::thread::id());
        m_lockDepth.store(0);
        m_lock.unlock();
    }
}

// ---------------------------------------------------------------------------
// Lock

void DibSurface::Lock()
{
    std::thread::id me = std::this_thread::get_id();
    for (;;) {
        std::thread::id owner = m_ownerThread.load();
        if (owner == std::thread::id() || owner == me)
            break;
        Sleep(kLockPollMs);
    }
    if (m_ownerThread.load() != me) {
        m_lock.lock();
        m_ownerThread.store(me);
        m_lockDepth.store(0);
    }
    m_lockDepth.fetch_add(1);
}

void DibSurface::Unlock()
{
    if (m_ownerThread.load() != std::this_thread::get_id())
        return;
    if (m_lockDepth.fetch_sub(1) == 1) {
        m_ownerThread.store(std::thread::id());
        m_lock.unlock();
    }
}

template <typename Result, typename Step>
Result DibSurface::Guarded(Result failure, Step&& step)
{
    Lock();
    Result result = failure;
    {
        std::optional<SurfaceDC> dc;
        if (m_openDC)
            dc.emplace(*m_openDC);
        else
            dc.emplace(*this);
        if (dc->Get()) {
            try {
                result = step(*dc);
            } catch (...) {
                result = failure;
            }
        }
        dc->Close();
    }
    Unlock();
    return result;
}

// Copies out of this surface with its bitmap free of the open context: a
// bitmap is selected into one context at a time.
template <typename Step>
int DibSurface::DrawOut(Step&& step)
{
    Lock();
    if (m_openDC)
        m_openDC->SelectBitmap(m_openDC->SavedBitmap());
    int result = 0;
    try {
        result = step();
    } catch (...) {
        result = 0;
    }
    if (m_openDC)
        m_openDC->SelectBitmap(m_bitmap);
    Unlock();
    return result;
}

void DibSurface::BeginDraw()
{
    Lock();
    CloseOpenDC();
    m_openDC = std::make_unique<SurfaceDC>(*this);
    SelectPaletteInto(**m_openDC);
}

void DibSurface::EndDraw()
{
    CloseOpenDC();
    Unlock();
}

void DibSurface::CloseOpenDC()
{
    if (m_openDC) {
        m_openDC->Close();
        m_openDC.reset();
    }
}

// ---------------------------------------------------------------------------
// Accessors

int DibSurface::GetWidth() const
{
    return m_bitmap ? m_width : 0;
}

int DibSurface::GetHeight() const
{
    return m_bitmap ? m_height : 0;
}

size_t DibSurface::GetImageSize() const
{
    if (!m_info)
        return 0;
    const BitmapInfoHeader& header = m_info->bmiHeader;
    int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    return static_cast<size_t>(DibStride(header.biBitCount, header.biWidth) * height);
}

uint8_t* DibSurface::GetBits(size_t* outSize) const
{
    if (outSize)
        *outSize = GetImageSize();
    return m_info ? m_bits : nullptr;
}

uint8_t* DibSurface::GetPixelAddress(int x, int y) const
{
    // The bitmap knows its row order, so top-down pictures are addressed
    // the right way up too.
    if (!m_info || !m_bits || !m_bitmap || x < 0 || y < 0 || x >= m_bitmap->Width() || y >= m_bitmap->Height())
        return nullptr;
    return m_bitmap->Row(y) + static_cast<size_t>(x) * static_cast<size_t>(m_bitmap->BitsPerPixel()) / 8;
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
    if (m_palette) {
        target.SelectPalette(m_palette.get(), false);
        target.RealizePalette();
    }
    w = w ? w : m_width;
    srcW = srcW ? srcW : m_width;
    h = h ? h : m_height;
    srcH = srcH ? srcH : m_height;

    auto tiles = [&](uint32_t tileRop) {
        bool ok = true;
        int sourceY = srcY;
        int rowH = std::min(m_height - srcY, h);
        for (int doneH = 0; doneH < h && rowH > 0;) {
            int sourceX = srcX;
            int colW = std::min(m_width - srcX, w);
            for (int doneW = 0; doneW < w && colW > 0;) {
                ok = target.BitBlt(x + doneW, y + doneH, colW, rowH, &memory, sourceX, sourceY, tileRop) && ok;
                doneW += colW;
                sourceX = 0;
                colW = std::min(m_width, w - doneW);
            }
            doneH += rowH;
            sourceY = 0;
            rowH = std::min(m_height, h - doneH);
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
    if (m_mask) {
        // Transparent pixels are black in the image and white in the mask:
        // AND the mask, then OR the image.
        if (mode == kBlitStretched)
            target.SetStretchBltMode(HALFTONE);
        memory.SelectBitmap(m_mask.get());
        ok = copy(SRCAND);
        memory.SelectBitmap(m_bitmap);
        ok = copy(SRCPAINT) && ok;
    } else {
        memory.SelectBitmap(m_bitmap);
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

int DibSurface::DrawStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop)
{
    return DrawOut([&] { return Blit(target, x, y, w, h, srcX, srcY, srcW, srcH, rop, kBlitStretched); });
}

int DibSurface::DrawTiled(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop)
{
    return DrawOut([&] { return Blit(target, x, y, w, h, srcX, srcY, 0, 0, rop, kBlitTiled); });
}

std::vector<uint8_t> DibSurface::ToFileImage(size_t* outSize)
{
    std::vector<uint8_t> image;
    if (m_bitmap)
        image = FileImageOf(*m_bitmap);
    if (outSize)
        *outSize = image.size();
    return image;
}

int DibSurface::SaveToFile(std::string_view path)
{
    return m_bitmap ? WriteBmpFile(path, *m_bitmap) : 0;
}

// ---------------------------------------------------------------------------
// DrawState family: pictures drawn in their normal state.

int DibSurface::DrawState(int x, int y, int w, int h, DrawStateProc callback, intptr_t data, unsigned,
    const Brush*)
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
    w = w ? w : bitmap->Width();
    h = h ? h : bitmap->Height();
    return Guarded(0, [&](SurfaceDC& dc) {
        DrawContext from(bitmap);
        return dc->BitBlt(x, y, w, h, &from, 0, 0, SRCCOPY) ? 1 : 0;
    });
}

int DibSurface::DrawStateOnto(DrawContext& target, int x, int y, unsigned, const Brush*)
{
    if (!m_bitmap)
        return 0;
    return DrawOut([&] {
        DrawContext from(m_bitmap);
        return target.BitBlt(x, y, m_width, m_height, &from, 0, 0, SRCCOPY) ? 1 : 0;
    });
}

void DibSurface::SelectPaletteInto(DrawContext& dc)
{
    if (m_palette) {
        dc.SelectPalette(m_palette.get(), false);
        dc.RealizePalette();
    }
}

COLORREF DibSurface::NearestColor(COLORREF colour) const
{
    if (!m_palette)
        return colour;
    const PaletteEntry& entry = m_palette->Entry(m_palette->NearestIndex(colour));
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

int DibSurface::DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
    unsigned)
{
    if (!m_info || !m_bits || !m_bitmap)
        return 0;
    w = w ? w : m_width;
    h = h ? h : m_height;
    srcW = srcW ? srcW : m_width;
    srcH = srcH ? srcH : m_height;
    DrawContext from(m_bitmap);
    bool drawn = w == srcW && h == srcH ? target.BitBlt(x, y, w, h, &from, srcX, srcY, SRCCOPY)
                                        : target.StretchBlt(x, y, w, h, &from, srcX, srcY, srcW, srcH, SRCCOPY);
    return drawn ? 1 : 0;
}

int DibSurface::DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY)
{
    w = w ? w : m_width;
    h = h ? h : m_height;
    return DrawDib(target, x, y, w, h, srcX, srcY, w, h, 0);
}

int DibSurface::DrawDibStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH)
{
    return DrawDib(target, x, y, w, h, srcX, srcY, srcW, srcH, 0);
}

int DibSurface::CaptureScreen(int x, int y, int w, int h, int srcX, int srcY)
{
    w = w ? w : m_width;
    h = h ? h : m_height;
    Size screen = Screen::GetSize();
    int left = std::max(srcX, 0);
    int top = std::max(srcY, 0);
    int right = std::min(srcX + w, screen.width);
    int bottom = std::min(srcY + h, screen.height);
    if (right <= left || bottom <= top)
        return 0;
    int toX = srcX < 0 ? x - srcX : x;
    int toY = srcY < 0 ? y - srcY : y;
    return Guarded(0, [&](SurfaceDC& dc) {
        return Screen::CopyTo(*dc, toX, toY, right - left, bottom - top, left, top) ? 1 : 0;
    });
}

// ---------------------------------------------------------------------------
// Colours and modes

COLORREF DibSurface::SetTextColor(COLORREF colour)
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->SetTextColor(colour); });
}

COLORREF DibSurface::GetTextColor()
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->GetTextColor(); });
}

COLORREF DibSurface::SetBkColor(COLORREF colour)
{
    return Guarded<COLORREF>(0, [&](SurfaceDC& dc) { return dc->SetBkColor(colour); });
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

// Runs `draw` with a point font of `faceName` (when given) and the colour
// selected for this one call, in transparent mode; the previous font returns.
template<typename Draw>
int WithTextStyle(SurfaceDC& dc, COLORREF colour, int pointSize, std::string_view faceName, Draw draw)
{
    std::shared_ptr<const Font> made;
    std::shared_ptr<const Font> previous;
    if (!faceName.empty()) {
        made = Font::CreatePoint(pointSize, faceName);
        previous = dc.SelectFont(made);
    }
    if (colour != kNoColor)
        dc->SetTextColor(colour);
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

int DibSurface::TextOutStyled(int x, int y, std::string_view text, COLORREF colour, int pointSize,
    std::string_view faceName)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return WithTextStyle(dc, colour, pointSize, faceName, [&] { return dc->TextOut(x, y, text) ? 1 : 0; });
    });
}

int DibSurface::DrawText(std::string_view text, Rect& rect, unsigned format)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->DrawText(text, rect, format); });
}

int DibSurface::DrawTextStyled(std::string_view text, Rect& rect, unsigned format, COLORREF colour, int pointSize,
    std::string_view faceName)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return WithTextStyle(dc, colour, pointSize, faceName, [&] { return dc->DrawText(text, rect, format); });
    });
}

int DibSurface::MeasureText(Rect& rect, std::string_view text, int pointSize, std::string_view faceName)
{
    return DrawTextStyled(text, rect, kMeasureFormat, 0, pointSize, faceName);
}

int DibSurface::DrawOutlinedText(std::string_view text, int x, int y, int w, int h, std::string_view face,
    int height, int weight, COLORREF textColour, COLORREF shadeColour)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Baseline, text, x, y, w, h, face, height, weight,
            textColour, shadeColour);
    });
}

int DibSurface::DrawOutlinedTextBottom(std::string_view text, int x, int y, int w, int h, std::string_view face,
    int height, COLORREF textColour, COLORREF shadeColour)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Bottom, text, x, y, w, h, face, height,
            kOutlinedTextWeight, textColour, shadeColour);
    });
}

int DibSurface::DrawOutlinedTextPlain(std::string_view text, int x, int y, int w, int h, std::string_view face,
    int height, COLORREF textColour, COLORREF shadeColour)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return RenderOutlinedText(*dc, OutlinedTextStyle::Plain, text, x, y, w, h, face, height,
            kOutlinedTextWeight, textColour, shadeColour);
    });
}

// ---------------------------------------------------------------------------
// Pixels and fills

COLORREF DibSurface::GetPixel(int x, int y)
{
    return Guarded<COLORREF>(CLR_INVALID, [&](SurfaceDC& dc) { return dc->GetPixel(x, y); });
}

COLORREF DibSurface::SetPixel(int x, int y, COLORREF colour)
{
    return Guarded<COLORREF>(CLR_INVALID, [&](SurfaceDC& dc) { return dc->SetPixel(x, y, colour); });
}

int DibSurface::SetPixelV(int x, int y, COLORREF colour)
{
    return Guarded(0, [&](SurfaceDC& dc) { return dc->SetPixelV(x, y, colour) ? 1 : 0; });
}

int DibSurface::FillSolidRect(const Rect& rect, COLORREF colour)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        // The framework's fill leaves the background colour set.
        dc->SetBkColor(colour);
        return dc->FillSolidRect(rect, colour) ? 1 : 0;
    });
}

int DibSurface::FillSolidRect(int x, int y, int w, int h, COLORREF colour)
{
    return FillSolidRect(Rect { x, y, x + w, y + h }, colour);
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
                    RGB(static_cast<uint8_t>(GetRValue(pixel) * m / 255), static_cast<uint8_t>(GetGValue(pixel) * m / 255),
                        static_cast<uint8_t>(GetBValue(pixel) * m / 255)));
            }
        }
        mask.EndDraw();
        return 1;
    });
}

int DibSurface::DrawBitmapStretched(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop)
{
    DibSurface source(bitmap, kNoColor);
    return DrawSurfaceStretched(source, x, y, w, h, srcX, srcY, srcW, srcH, rop);
}

int DibSurface::DrawSurfaceStretched(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop)
{
    return Guarded(0, [&](SurfaceDC& dc) {
        return source.DrawStretched(*dc, x, y, w, h, srcX, srcY, srcW, srcH, rop);
    });
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
    return Guarded(0, [&](SurfaceDC& dc) {
        return dc->RoundRect(left, top, right, bottom, cornerW, cornerH) ? 1 : 0;
    });
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

// ---------------------------------------------------------------------------
// Storage

int DibSurface::AdoptBitmap(std::unique_ptr<Bitmap> owned, Bitmap* bitmap)
{
    m_ownedBitmap = std::move(owned);
    m_bitmap = bitmap;
    m_bitmapDesc = bitmap->Describe();
    m_width = m_bitmapDesc.bmWidth;
    m_height = m_bitmapDesc.bmHeight;
    m_bits = static_cast<uint8_t*>(m_bitmapDesc.bmBits);
    return 1;
}

void DibSurface::BuildPalette()
{
    m_palette.reset();
    if (m_colorCount >= 1 && m_colorCount <= kMaxPaletteColours && m_info) {
        // Entries the header block does not hold stay black.
        const uint8_t* table = reinterpret_cast<const uint8_t*>(m_info) + m_info->bmiHeader.biSize;
        size_t held = m_infoBytes > m_info->bmiHeader.biSize ? (m_infoBytes - m_info->bmiHeader.biSize) / 4 : 0;
        std::vector<PaletteEntry> entries(static_cast<size_t>(m_colorCount), PaletteEntry { 0, 0, 0, 0 });
        for (size_t i = 0; i < entries.size() && i < held; ++i) {
            RgbQuad quad;
            std::memcpy(&quad, table + 4 * i, sizeof quad);
            entries[i] = { quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0 };
        }
        m_palette = Palette::Create(entries);
    } else if (m_colorCount > kMaxPaletteColours) {
        m_palette = Palette::CreateHalftone();
    }
}

int DibSurface::CreateFromInfo(const BitmapInfo* info, const uint8_t* bits, COLORREF key)
{
    if (!m_storageFlags.empty())
        Release();
    if (!info || info->bmiHeader.biSize < sizeof(BitmapInfoHeader))
        return 0;
    const BitmapInfoHeader& header = info->bmiHeader;
    int64_t colourCount = header.biClrUsed ? header.biClrUsed : int64_t { 1 } << std::min<int>(header.biBitCount, 32);
    int64_t bytes = header.biSize;
    if (header.biCompression != BI_RGB)
        bytes += kCompressedTailBytes;
    else if (header.biBitCount < 16)
        bytes += 4 * colourCount;
    // A header that would not fit the block is corrupt.
    if (bytes > static_cast<int64_t>(kCreateInfoBlockBytes))
        return 0;
    auto block = std::make_unique<uint8_t[]>(kCreateInfoBlockBytes);
    std::memcpy(block.get(), info, static_cast<size_t>(bytes));
    auto* copy = reinterpret_cast<BitmapInfo*>(block.get());

    std::unique_ptr<Bitmap> section = Bitmap::CreateDibSection(*copy, kCreateInfoBlockBytes);
    if (!section)
        return 0;
    if (copy->bmiHeader.biHeight < 0)
        copy->bmiHeader.biHeight = -copy->bmiHeader.biHeight;
    if (bits)
        std::memcpy(section->Bits(), bits, section->ImageBytes());

    m_colorCount = static_cast<int>(std::min<int64_t>(colourCount, INT_MAX));
    m_infoBlock = std::move(block);
    m_info = copy;
    m_infoBytes = kCreateInfoBlockBytes;
    Bitmap* raw = section.get();
    AdoptBitmap(std::move(section), raw);
    m_storageFlags = "CREATE_BITMAP|ALLOC_INFO";
    BuildPalette();
    SetTransparentColor(key);
    return 1;
}

int DibSurface::CreateBlank(int bitDepth, int width, int height, COLORREF key)
{
    std::unique_ptr<uint8_t[]> info;
    size_t byteCount = 0;
    if (!BuildBitmapInfo(bitDepth, info, byteCount, width, height))
        return 0;
    return CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.get()), nullptr, key);
}

int DibSurface::CreateFromPackedDib(std::span<const uint8_t> packedDib, COLORREF key)
{
    if (packedDib.size() < sizeof(BitmapInfoHeader))
        return 0;
    BitmapInfoHeader header;
    std::memcpy(&header, packedDib.data(), sizeof header);
    if (header.biSize < sizeof header || header.biBitCount > 32)
        return 0;
    int64_t colourCount = header.biClrUsed ? header.biClrUsed : int64_t { 1 } << header.biBitCount;
    int64_t offset = header.biSize;
    if (header.biCompression != BI_RGB)
        offset += kCompressedTailBytes;
    else if (header.biBitCount < 16)
        offset += 4 * colourCount;
    int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    if (header.biWidth <= 0 || header.biWidth > Bitmap::kMaxDimension || height > Bitmap::kMaxDimension)
        return 0;
    int64_t image = DibStride(header.biBitCount, header.biWidth) * height;
    // The header, its table and every pixel row must lie inside the block.
    if (offset > static_cast<int64_t>(packedDib.size()) || image > static_cast<int64_t>(packedDib.size()) - offset)
        return 0;
    std::vector<uint8_t> info(kCreateInfoBlockBytes);
    std::memcpy(info.data(), packedDib.data(), static_cast<size_t>(std::min<int64_t>(offset, kCreateInfoBlockBytes)));
    return CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.data()), packedDib.data() + offset, key);
}

int DibSurface::LoadFromResource(uint32_t id, COLORREF key)
{
    if (!m_storageFlags.empty())
        Release();
    ResourceData resource = FindResource(kResourceBitmap, id);
    if (!resource)
        return 0;
    // BITMAP resources are packed DIBs; a whole .bmp file is taken as well.
    std::span<const uint8_t> data(resource.data, resource.size);
    bool wholeFile = data.size() >= kFileHeaderBytes && data[0] == 'B' && data[1] == 'M';
    std::unique_ptr<Bitmap> bitmap = wholeFile ? BmpDecoder::DecodeFile(data) : BmpDecoder::DecodePackedDib(data);
    if (wholeFile)
        data = data.subspan(kFileHeaderBytes);
    const auto* info = reinterpret_cast<const BitmapInfo*>(data.data());
    if (!bitmap || data.size() < sizeof(BitmapInfoHeader) || info->bmiHeader.biSize < sizeof(BitmapInfoHeader))
        return 0;
    Bitmap* raw = bitmap.get();
    AdoptBitmap(std::move(bitmap), raw);
    m_colorCount = ColourCountOf(raw->BitsPerPixel());
    m_info = info;
    m_infoBytes = data.size();
    m_resourceData = data.data();
    BuildPalette();
    SetTransparentColor(key);
    m_storageFlags = "RESOURCE_BITMAP";
    return 1;
}

int DibSurface::LoadFromResource(std::string_view name, COLORREF key)
{
    // Resources carry integer names; "#123" names resource 123.
    if (name.size() < 2 || name[0] != '#')
        return 0;
    uint32_t id = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9' || id > 0xFFFF)
            return 0;
        id = id * 10 + static_cast<uint32_t>(c - '0');
    }
    return id <= 0xFFFF ? LoadFromResource(id, key) : 0;
}

int DibSurface::LoadFromFile(std::string_view path, COLORREF key)
{
    if (!m_storageFlags.empty())
        Release();
    std::string file(path);
    if (!FileExists(file))
        return 0;
    uint8_t fileHeader[kFileHeaderBytes];
    if (ReadFileAt(file, fileHeader, 0, sizeof fileHeader) != static_cast<int>(sizeof fileHeader)
        || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return 0;
    size_t length = 0;
    std::unique_ptr<uint8_t[]> bytes = ReadWholeFile(file, length);
    if (!bytes)
        return 0;
    std::unique_ptr<Bitmap> bitmap = BmpDecoder::DecodeFile({ bytes.get(), length });
    if (!bitmap)
        return 0;
    // The header describes the pixels the surface holds (whatever header
    // version, compression or row order the file used), so that sizes read
    // from it always match the pixel array.
    std::vector<uint8_t> header = PackedDibHeaderOf(*bitmap);
    auto block = std::make_unique<uint8_t[]>(kBitmapInfoBlockBytes);
    std::memcpy(block.get(), header.data(), std::min(header.size(), kBitmapInfoBlockBytes));
    m_infoBlock = std::move(block);
    m_info = reinterpret_cast<const BitmapInfo*>(m_infoBlock.get());
    m_infoBytes = kBitmapInfoBlockBytes;
    Bitmap* raw = bitmap.get();
    AdoptBitmap(std::move(bitmap), raw);
    m_colorCount = ColourCountOf(raw->BitsPerPixel());
    m_storageFlags = file + "|ALLOC_INFO|LOAD_FILE";
    BuildPalette();
    SetTransparentColor(key);
    return 1;
}

int DibSurface::AttachBitmap(Bitmap* bitmap, COLORREF key)
{
    if (!m_storageFlags.empty())
        Release();
    if (!bitmap)
        return 0;
    std::unique_ptr<uint8_t[]> info;
    size_t byteCount = 0;
    if (!BuildBitmapInfo(bitmap->BitsPerPixel(), info, byteCount, bitmap->Width(), bitmap->Height()))
        return 0;
    m_infoBlock = std::move(info);
    m_info = reinterpret_cast<const BitmapInfo*>(m_infoBlock.get());
    m_infoBytes = kBitmapInfoBlockBytes;
    AdoptBitmap(nullptr, bitmap);
    m_colorCount = ColourCountOf(bitmap->BitsPerPixel());
    m_storageFlags = "ATTACH_BITMAP|ALLOC_INFO";
    BuildPalette();
    SetTransparentColor(key);
    return 1;
}

int DibSurface::AttachBitmap(std::span<const uint8_t> packedDib, COLORREF key)
{
    if (!m_storageFlags.empty())
        Release();
    if (packedDib.empty())
        return 0;
    std::unique_ptr<Bitmap> bitmap = PackedDibToBitmap(packedDib);
    if (!bitmap || !AttachBitmap(bitmap.get(), key))
        return 0;
    m_ownedBitmap = std::move(bitmap);
    m_storageFlags = "CREATE_BITMAP|ALLOC_INFO";
    return 1;
}

int DibSurface::Release()
{
    // Only what the surface created or allocated is owned here: an attached
    // bitmap and a resource's header never are.
    m_ownedBitmap.reset();
    m_bitmap = nullptr;
    m_resourceData = nullptr;
    m_info = nullptr;
    m_infoBytes = 0;
    m_infoBlock.reset();
    m_bits = nullptr;
    m_palette.reset();
    m_mask.reset();
    // The lock level BeginDraw took stays held.
    CloseOpenDC();
    m_storageFlags.clear();
    return 1;
}

std::unique_ptr<Bitmap> DibSurface::Detach()
{
    std::unique_ptr<Bitmap> bitmap = std::move(m_ownedBitmap);
    m_bitmap = nullptr;
    Release();
    return bitmap;
}

// ---------------------------------------------------------------------------
// Transparency masks

void DibSurface::FillMask(DibSurface& mask)
{
    if (mask.m_bits)
        std::memset(mask.m_bits, 0xFF, mask.GetImageSize());
}

void DibSurface::ClearMaskBit(DibSurface& mask, int x, int y)
{
    if (!mask.m_bitmap || !mask.m_bits || x < 0 || y < 0 || y >= mask.m_bitmap->Height()
        || x / 8 >= mask.m_bitmap->Stride())
        return;
    mask.m_bitmap->Row(y)[x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
}

void DibSurface::SetTransparentColor(COLORREF key)
{
    if (!m_bits || !m_info)
        return;
    m_mask.reset();
    if (key == kNoColor)
        return;
    switch (m_info->bmiHeader.biBitCount) {
    case 32:
        BuildMask32(key);
        break;
    case 24:
        BuildMask24(key);
        break;
    case 16:
        BuildMask16(key);
        break;
    case 8:
        BuildMask8(key);
        break;
    case 4:
        BuildMask4(key);
        break;
    default:
        break;
    }
}

void DibSurface::BuildMask32(COLORREF key) { BuildMaskDirect(key, 4); }
void DibSurface::BuildMask24(COLORREF key) { BuildMaskDirect(key, 3); }
void DibSurface::BuildMask16(COLORREF key) { BuildMaskDirect(key, 2); }
void DibSurface::BuildMask8(COLORREF key) { BuildMaskIndexed(key, 8); }
void DibSurface::BuildMask4(COLORREF key) { BuildMaskIndexed(key, 4); }

uint32_t DibSurface::FindKeyValue(COLORREF key, int bytesPerPixel)
{
    // The value the format stores for the key, after the same conversion
    // SetPixel makes (so a 5-6-5 key matches every colour that rounds to
    // it).
    uint32_t raw = m_bitmap->RawFromColor(key);
    return bytesPerPixel == 4 ? raw : raw & ((1u << (8 * bytesPerPixel)) - 1);
}

void DibSurface::BuildMaskDirect(COLORREF key, int bytesPerPixel)
{
    try {
        if (!m_bitmap || m_bitmap->BitsPerPixel() != 8 * bytesPerPixel)
            return;
        DibSurface mask;
        if (!mask.CreateBlank(1, m_width, m_height, kNoColor))
            return;
        FillMask(mask);
        uint32_t keyValue = FindKeyValue(key, bytesPerPixel);
        mask.BeginDraw();
        for (int y = 0; y < m_height; ++y) {
            uint8_t* p = m_bitmap->Row(y);
            for (int x = 0; x < m_width; ++x, p += bytesPerPixel) {
                if (ReadRaw(p, bytesPerPixel) == keyValue)
                    std::memset(p, 0, static_cast<size_t>(bytesPerPixel));
                else
                    ClearMaskBit(mask, x, y);
            }
        }
        mask.EndDraw();
        m_mask = mask.Detach();
    } catch (...) {
        m_mask.reset();
    }
}

void DibSurface::BuildMaskIndexed(COLORREF key, int bitsPerPixel)
{
    try {
        if (!m_bitmap || !m_palette || m_bitmap->BitsPerPixel() != bitsPerPixel)
            return;
        DibSurface mask;
        if (!mask.CreateBlank(1, m_width, m_height, kNoColor))
            return;
        FillMask(mask);
        uint32_t keyIndex = m_palette->NearestIndex(key);
        uint32_t blackIndex = m_palette->NearestIndex(RGB(0, 0, 0));
        // Four-bit rows are walked in whole groups of eight pixels; both the
        // image row and the mask row have room for them.
        int columns = bitsPerPixel == 4 ? (m_width + 7) / 8 * 8 : m_width;
        mask.BeginDraw();
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < columns; ++x) {
                if (m_bitmap->GetRaw(x, y) == keyIndex)
                    m_bitmap->SetRaw(x, y, blackIndex);
                else
                    ClearMaskBit(mask, x, y);
            }
        }
        mask.EndDraw();
        m_mask = mask.Detach();
    } catch (...) {
        m_mask.reset();
    }
}

std::unique_ptr<Region> DibSurface::CreateRegion(COLORREF key)
{
    if (key == kNoColor)
        key = m_regionKey;
    if (!m_bitmap)
        return nullptr;
    auto region = std::make_unique<Region>();
    DrawContext dc(m_bitmap);
    for (int y = 0; y < m_height; ++y) {
        int x = 0;
        while (x < m_width) {
            while (x < m_width && dc.GetPixel(x, y) == key)
                ++x;
            int start = x;
            while (x < m_width && dc.GetPixel(x, y) != key)
                ++x;
            if (x > start)
                region->AppendDisjoint({ start, y, x, y + 1 });
        }
    }
    return region;
}

}
