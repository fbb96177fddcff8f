#pragma once

#include "graphics/DibStorage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Region.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumarra {

class SurfaceDC;

// Callback of DrawState: draws into `dc` a picture of `width` × `height`
// pixels whose top-left corner is the origin of the state rectangle.
using DrawStateProc = bool (*)(DrawContext& dc, intptr_t data, int width, int height);

// DrawState flags.
inline constexpr unsigned DSS_NORMAL = 0x0000;

// Blit modes.
inline constexpr unsigned kBlitPlain = 0;
inline constexpr unsigned kBlitTiled = 0x4000;
inline constexpr unsigned kBlitStretched = 0x8000;

// An in-memory device-independent bitmap with every drawing operation the
// program uses, guarded by its own re-entrant lock so several threads can
// draw into it. Each operation takes the lock for its whole duration and
// draws through a SurfaceDC: its own short-lived one, or the one that
// BeginDraw opened and EndDraw closes.
//
// Operations report 1 for success and 0 for failure unless noted; nothing
// throws. Colors are COLORREF values, and kNoColor as a key means no
// transparency.
class DibSurface {
public:
    DibSurface();
    DibSurface(int bitDepth, int width, int height, COLORREF key);
    DibSurface(uint32_t resourceId, COLORREF key);
    DibSurface(Bitmap* bitmap, COLORREF key);
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    virtual ~DibSurface();

    // Re-entrant per-thread lock; Unlock from a thread that does not hold
    // it does nothing.
    void Lock();
    void Unlock();

    // Transparency masks.
    void FillMask(DibSurface& mask);
    void ClearMaskBit(DibSurface& mask, int x, int y);
    void SetTransparentColor(COLORREF key);
    void BuildMask32(COLORREF key);
    void BuildMask24(COLORREF key);
    void BuildMask16(COLORREF key);
    void BuildMask8(COLORREF key);
    void BuildMask4(COLORREF key);
    Bitmap* GetMask() const { return m_storage.GetMask(); }

    // Storage (creation, loading, release).
    int AttachBitmap(Bitmap* bitmap, COLORREF key);
    int AttachBitmap(std::span<const uint8_t> packedDib, COLORREF key);
    int CreateFromPackedDib(std::span<const uint8_t> packedDib, COLORREF key);
    int CreateFromInfo(const BitmapInfo* info, const uint8_t* bits, COLORREF key);
    int LoadFromFile(std::string_view path, COLORREF key);
    int LoadFromResource(uint32_t id, COLORREF key);
    int LoadFromResource(std::string_view name, COLORREF key);
    int CreateBlank(int bitDepth, int width, int height, COLORREF key);
    int Release();
    // Hands the bitmap to the caller (null when the surface did not own it),
    // then releases the surface.
    std::unique_ptr<Bitmap> Detach();

    // Accessors.
    bool IsValid() const { return m_storage.GetBitmap() != nullptr; }
    Bitmap* GetBitmap() const { return m_storage.GetBitmap(); }
    int GetWidth() const;
    int GetHeight() const;
    size_t GetImageSize() const;
    uint8_t* GetBits(size_t* outSize = nullptr) const;
    const BitmapInfo* GetInfo() const { return m_storage.GetInfo(); }
    // The byte holding pixel (x, y), y counted from the top whatever the row
    // order; null outside the picture or without pixels.
    uint8_t* GetPixelAddress(int x, int y) const;
    int GetColorCount() const { return m_storage.GetColorCount(); }
    const Palette* GetPalette() const { return m_storage.GetPalette(); }
    // Who frees the bitmap and the header: "CREATE_BITMAP|ALLOC_INFO",
    // "RESOURCE_BITMAP", "<path>|ALLOC_INFO|LOAD_FILE" or
    // "ATTACH_BITMAP|ALLOC_INFO"; empty when the surface holds nothing.
    const std::string& GetStorageFlags() const { return m_storage.GetStorageFlags(); }
    const BitmapDesc& GetBitmapDesc() const { return m_storage.GetBitmapDesc(); }
    void SetRegionKey(COLORREF key) { m_regionKey = key; }

    // Copies out of this surface.
    void StretchInParts(DrawContext& target, int x, int y, int w, int h, DrawContext& source, int srcX, int srcY,
        int srcW, int srcH, uint32_t rop);
    int Blit(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, uint32_t rop,
        unsigned mode);
    int Draw(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);
    int DrawStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
        uint32_t rop);
    int DrawTiled(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);

    // .bmp file image (file header plus packed DIB) and file.
    std::vector<uint8_t> ToFileImage(size_t* outSize = nullptr);
    int SaveToFile(std::string_view path);

    // DrawState family: pictures in their normal state (other state flags
    // draw the same way).
    int DrawState(int x, int y, int w, int h, DrawStateProc callback, intptr_t data, unsigned flags,
        const Brush* brush);
    int DrawStateText(int x, int y, int w, int h, std::string_view text, unsigned flags, bool prefix,
        const Brush* brush);
    int DrawStateIcon(int x, int y, int w, int h, const Icon& icon, unsigned flags, const Brush* brush);
    int DrawStateSurface(int x, int y, DibSurface& surface, unsigned flags, const Brush* brush);
    int DrawStateBitmap(int x, int y, int w, int h, Bitmap* bitmap, unsigned flags, const Brush* brush);
    int DrawStateOnto(DrawContext& target, int x, int y, unsigned flags, const Brush* brush);

    void SelectPaletteInto(DrawContext& dc);
    COLORREF NearestColor(COLORREF color) const;

    // Draws straight from the header and pixels without taking the lock;
    // zero sizes take the surface's size.
    int DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
        unsigned flags);
    int DrawDib(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY);
    int DrawDibStretched(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH);

    int CaptureScreen(int x, int y, int w, int h, int srcX, int srcY);

    void BeginDraw();
    void EndDraw();

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor();
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor();
    int SetBkMode(int mode);
    int GetBkMode();
    int SetMapMode(int mode);
    int GetMapMode();

    // Text (CP932).
    int TextOut(int x, int y, std::string_view text);
    int TextOutStyled(int x, int y, std::string_view text, COLORREF color, int pointSize, std::string_view faceName);
    int DrawText(std::string_view text, Rect& rect, unsigned format);
    int DrawTextStyled(std::string_view text, Rect& rect, unsigned format, COLORREF color, int pointSize,
        std::string_view faceName);
    int MeasureText(Rect& rect, std::string_view text, int pointSize, std::string_view faceName);

    // Anti-aliased text with an optional shade, centred in the box (x, y, w, h).
    int DrawOutlinedText(std::string_view text, int x, int y, int w, int h, std::string_view face, int height,
        int weight, COLORREF textColor, COLORREF shadeColor);
    int DrawOutlinedTextBottom(std::string_view text, int x, int y, int w, int h, std::string_view face, int height,
        COLORREF textColor, COLORREF shadeColor);
    int DrawOutlinedTextPlain(std::string_view text, int x, int y, int w, int h, std::string_view face, int height,
        COLORREF textColor, COLORREF shadeColor);

    // Pixels and fills.
    COLORREF GetPixel(int x, int y);
    COLORREF SetPixel(int x, int y, COLORREF color);
    int SetPixelV(int x, int y, COLORREF color);
    int FillSolidRect(const Rect& rect, COLORREF color);
    int FillSolidRect(int x, int y, int w, int h, COLORREF color);

    // Copies into this surface.
    int DrawBitmap(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);
    int DrawSurface(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);
    int CopyFromDC(DrawContext& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);
    int DrawRotated(DibSurface& source, int dstX, int dstY, int w, int h, int srcX, int srcY, double angle,
        Rect* outRect);
    int ShadeByMask(DibSurface& mask, int x, int y, int w, int h, int maskX, int maskY);
    int DrawBitmapStretched(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
        uint32_t rop);
    int DrawSurfaceStretched(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH,
        uint32_t rop);
    int DrawFitted(DibSurface& source, int x, int y, int w, int h, uint32_t rop);
    int DrawBitmapTiled(Bitmap* bitmap, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);
    int DrawSurfaceTiled(DibSurface& source, int x, int y, int w, int h, int srcX, int srcY, uint32_t rop);

    int DrawIcon(int x, int y, const Icon& icon);
    int DrawIconEx(int x, int y, const Icon& icon, int w, int h, int step, const Brush* flickerBrush, unsigned flags);

    // Shapes with the selected pen and brush.
    int GetPolyFillMode();
    int SetPolyFillMode(int mode);
    int Polygon(std::span<const Point> points);
    int Polyline(std::span<const Point> points);
    int PolyPolygon(std::span<const Point> points, std::span<const int> counts);
    int Ellipse(const Rect& rect);
    int Ellipse(int left, int top, int right, int bottom);
    int Chord(const Rect& rect, Point start, Point end);
    int Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    int Pie(const Rect& rect, Point start, Point end);
    int Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    int Rectangle(const Rect& rect);
    int Rectangle(int left, int top, int right, int bottom);
    int RoundRect(const Rect& rect, int cornerW, int cornerH);
    int RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);

    // Selections. SelectObject records nothing; the others record what the
    // device context held before so that closing it puts that back.
    Bitmap* SelectObject(Bitmap* bitmap);
    const Pen* SelectObject(const Pen* pen);
    const Brush* SelectObject(const Brush* brush);
    std::shared_ptr<const Font> SelectObject(std::shared_ptr<const Font> font);
    Bitmap* SelectBitmap(Bitmap* bitmap);
    std::shared_ptr<const Font> SelectFont(std::shared_ptr<const Font> font);
    const Brush* SelectBrush(const Brush* brush);
    const Pen* SelectPen(const Pen* pen);

    Point MoveTo(Point point);
    Point MoveTo(int x, int y);
    int LineTo(int x, int y);

    // Rectangles of the pixels that are not `key` (kNoColor: the region key).
    std::unique_ptr<Region> CreateRegion(COLORREF key);

private:
    friend class SurfaceDC;

    // Runs `step` on this surface's device context under the lock; a
    // failure inside returns `failure`.
    template <typename Result, typename Step>
    Result Guarded(Result failure, Step&& step);
    template <typename Step>
    int DrawOut(Step&& step);
    int AttachHeld(DibStorage::HeldBitmap bitmap, std::string flags, COLORREF key);
    uint32_t FindKeyValue(COLORREF key, int bytesPerPixel);
    void BuildMaskDirect(COLORREF key, int bytesPerPixel);
    void BuildMaskIndexed(COLORREF key, int bitsPerPixel);
    void CloseOpenDC();

    DibStorage m_storage;
    std::mutex m_lock;
    std::atomic<std::thread::id> m_ownerThread {};
    std::atomic<int> m_lockDepth { 0 };
    COLORREF m_regionKey = kNoColor;
    std::unique_ptr<SurfaceDC> m_openDC;
};

}
