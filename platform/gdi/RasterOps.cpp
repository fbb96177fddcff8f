#include "platform/gdi/RasterOps.h"

#include "platform/gdi/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <pixman.h>
#include <vector>

namespace lumarra {

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

using RopFunction = void (*)(const uint32_t* src, uint32_t* dst, int count);

void RopCopy(const uint32_t* s, uint32_t* d, int n)
{
    std::memcpy(d, s, static_cast<size_t>(n) * 4);
}
void RopPaint(const uint32_t* s, uint32_t* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] |= s[i];
}
void RopAnd(const uint32_t* s, uint32_t* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] &= s[i];
}
void RopInvert(const uint32_t* s, uint32_t* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] ^= s[i];
}
void RopNotCopy(const uint32_t* s, uint32_t* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = ~s[i] & kWhite;
}
void RopDstInvert(const uint32_t*, uint32_t* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = ~d[i] & kWhite;
}
void RopBlack(const uint32_t*, uint32_t* d, int n)
{
    std::fill(d, d + n, 0u);
}
void RopWhite(const uint32_t*, uint32_t* d, int n)
{
    std::fill(d, d + n, kWhite);
}

RopFunction FindRop(uint32_t rop)
{
    switch (rop) {
    case SRCCOPY:
        return RopCopy;
    case SRCPAINT:
        return RopPaint;
    case SRCAND:
        return RopAnd;
    case SRCINVERT:
        return RopInvert;
    case NOTSRCCOPY:
        return RopNotCopy;
    case DSTINVERT:
        return RopDstInvert;
    case BLACKNESS:
        return RopBlack;
    case WHITENESS:
        return RopWhite;
    default:
        return nullptr;
    }
}

bool RopReadsTarget(uint32_t rop)
{
    return rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT || rop == DSTINVERT;
}

// Trims one axis so that both ranges lie inside their bitmaps; wide
// arithmetic keeps extreme coordinates from overflowing.
bool ClipAxis(int& dst, int& src, int& length, int dstLimit, int srcLimit, bool hasSource)
{
    int64_t d = dst;
    int64_t s = src;
    int64_t n = length;
    int64_t skip = std::max<int64_t>(0, -d);
    if (hasSource)
        skip = std::max(skip, -s);
    d += skip;
    s += skip;
    n -= skip;
    n = std::min(n, dstLimit - d);
    if (hasSource)
        n = std::min(n, srcLimit - s);
    if (n <= 0)
        return false;
    dst = static_cast<int>(d);
    src = static_cast<int>(s);
    length = static_cast<int>(n);
    return true;
}

pixman_format_code_t PixmanFormat(const Bitmap& bitmap)
{
    switch (bitmap.GetBitsPerPixel()) {
    case 16:
        if (bitmap.GetRedMask() == 0xF800 && bitmap.GetGreenMask() == 0x07E0 && bitmap.GetBlueMask() == 0x001F)
            return PIXMAN_r5g6b5;
        if (bitmap.GetRedMask() == 0x7C00 && bitmap.GetGreenMask() == 0x03E0 && bitmap.GetBlueMask() == 0x001F)
            return PIXMAN_x1r5g5b5;
        return static_cast<pixman_format_code_t>(0);
    case 24:
        return PIXMAN_r8g8b8;
    case 32:
        if (bitmap.GetRedMask() == 0xFF0000 && bitmap.GetGreenMask() == 0xFF00 && bitmap.GetBlueMask() == 0xFF)
            return PIXMAN_x8r8g8b8;
        return static_cast<pixman_format_code_t>(0);
    default:
        return static_cast<pixman_format_code_t>(0);
    }
}

struct PixmanImageDeleter {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanImageDeleter>;

// The bitmap's memory as pixman sees it: rows in memory order.
PixmanImage WrapMemory(const Bitmap& bitmap, pixman_format_code_t format)
{
    return PixmanImage(pixman_image_create_bits_no_clear(format, bitmap.GetWidth(), bitmap.GetHeight(),
        reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(bitmap.GetBits())), bitmap.GetStride()));
}

int MemoryRow(const Bitmap& bitmap, int y)
{
    return bitmap.IsTopDown() ? y : bitmap.GetHeight() - 1 - y;
}

bool SameFormat(const Bitmap& a, const Bitmap& b)
{
    if (a.GetBitsPerPixel() != b.GetBitsPerPixel())
        return false;
    if (a.GetBitsPerPixel() <= 8) {
        const auto& ta = a.GetColorTable();
        const auto& tb = b.GetColorTable();
        return ta.size() == tb.size() && std::memcmp(ta.data(), tb.data(), ta.size() * sizeof(RgbQuad)) == 0;
    }
    return a.GetRedMask() == b.GetRedMask() && a.GetGreenMask() == b.GetGreenMask()
        && a.GetBlueMask() == b.GetBlueMask();
}

void CopyRows(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY)
{
    if (x == 0 && srcX == 0 && w == target.GetWidth() && w == source.GetWidth()
        && target.GetStride() == source.GetStride() && target.IsTopDown() == source.IsTopDown()) {
        // Whole rows alike in memory: one block from the lowest address.
        uint8_t* to = target.IsTopDown() ? target.Row(y) : target.Row(y + h - 1);
        const uint8_t* from = source.IsTopDown() ? source.Row(srcY) : source.Row(srcY + h - 1);
        std::memcpy(to, from, static_cast<size_t>(h) * static_cast<size_t>(target.GetStride()));
        return;
    }
    size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(target.GetBitsPerPixel() / 8);
    size_t dstOffset = static_cast<size_t>(x) * static_cast<size_t>(target.GetBitsPerPixel() / 8);
    size_t srcOffset = static_cast<size_t>(srcX) * static_cast<size_t>(source.GetBitsPerPixel() / 8);
    for (int row = 0; row < h; ++row)
        std::memcpy(target.Row(y + row) + dstOffset, source.Row(srcY + row) + srcOffset, bytes);
}

// An 8-bit palette source as pixman reads it: entries past the color table
// are black, as the per-pixel path reads them.
std::unique_ptr<pixman_indexed_t> IndexedColors(const Bitmap& source)
{
    auto indexed = std::make_unique<pixman_indexed_t>();
    indexed->color = 1;
    const std::vector<RgbQuad>& table = source.GetColorTable();
    for (size_t i = 0; i < std::size(indexed->rgba); ++i) {
        RgbQuad entry = i < table.size() ? table[i] : RgbQuad {};
        indexed->rgba[i] = 0xFF000000u | static_cast<uint32_t>(entry.rgbRed) << 16
            | static_cast<uint32_t>(entry.rgbGreen) << 8 | entry.rgbBlue;
    }
    return indexed;
}

bool ConvertWithPixman(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY)
{
    pixman_format_code_t targetFormat = PixmanFormat(target);
    // Palette pictures (the card sheets) convert through pixman's indexed
    // format as sources only: writing one would need a reverse color map.
    bool indexedSource = source.GetBitsPerPixel() == 8;
    pixman_format_code_t sourceFormat = indexedSource ? PIXMAN_c8 : PixmanFormat(source);
    if (!targetFormat || !sourceFormat)
        return false;
    PixmanImage dst = WrapMemory(target, targetFormat);
    PixmanImage src = WrapMemory(source, sourceFormat);
    if (!dst || !src)
        return false;
    std::unique_ptr<pixman_indexed_t> colors;
    if (indexedSource) {
        colors = IndexedColors(source);
        pixman_image_set_indexed(src.get(), colors.get());
    }
    if (target.IsTopDown() == source.IsTopDown()) {
        // Both rectangles are flipped alike in memory: one call.
        int memSrcY = source.IsTopDown() ? srcY : source.GetHeight() - srcY - h;
        int memDstY = target.IsTopDown() ? y : target.GetHeight() - y - h;
        pixman_image_composite32(PIXMAN_OP_SRC, src.get(), nullptr, dst.get(), srcX, memSrcY, 0, 0, x, memDstY, w, h);
        return true;
    }
    for (int row = 0; row < h; ++row)
        pixman_image_composite32(PIXMAN_OP_SRC, src.get(), nullptr, dst.get(), srcX, MemoryRow(source, srcY + row), 0,
            0, x, MemoryRow(target, y + row), w, 1);
    return true;
}

// Bitwise operations on two bitmaps of one direct format work on the bytes
// themselves: every channel sits at the same bits in both.
bool CombineBytes(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY, uint32_t rop)
{
    if (target.GetBitsPerPixel() < 16 || !SameFormat(target, source)
        || (rop != SRCAND && rop != SRCPAINT && rop != SRCINVERT))
        return false;
    size_t bytesPerPixel = static_cast<size_t>(target.GetBitsPerPixel() / 8);
    size_t count = static_cast<size_t>(w) * bytesPerPixel;
    for (int row = 0; row < h; ++row) {
        uint8_t* d = target.Row(y + row) + static_cast<size_t>(x) * bytesPerPixel;
        const uint8_t* s = source.Row(srcY + row) + static_cast<size_t>(srcX) * bytesPerPixel;
        if (rop == SRCAND)
            for (size_t i = 0; i < count; ++i)
                d[i] &= s[i];
        else if (rop == SRCPAINT)
            for (size_t i = 0; i < count; ++i)
                d[i] |= s[i];
        else
            for (size_t i = 0; i < count; ++i)
                d[i] ^= s[i];
    }
    return true;
}

// A black-and-white mask ANDed onto a 24-bit picture clears the pixels
// under its black bits.
bool AndMonoMask(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY, uint32_t rop)
{
    if (rop != SRCAND || target.GetBitsPerPixel() != 24 || source.GetBitsPerPixel() != 1
        || source.GetColorTable().size() != 2 || source.ColorFromRaw(0) != RGB(0, 0, 0)
        || source.ColorFromRaw(1) != RGB(255, 255, 255))
        return false;
    for (int row = 0; row < h; ++row) {
        uint8_t* d = target.Row(y + row) + static_cast<size_t>(x) * 3;
        const uint8_t* bits = source.Row(srcY + row);
        for (int i = 0; i < w; ++i, d += 3) {
            int column = srcX + i;
            if (!((bits[column >> 3] >> (7 - (column & 7))) & 1))
                d[0] = d[1] = d[2] = 0;
        }
    }
    return true;
}

void BlitSpans(Bitmap& target, int x, int y, int w, int h, const Bitmap* source, int srcX, int srcY,
    RopFunction function, bool readsTarget)
{
    std::vector<uint32_t> src(static_cast<size_t>(w));
    std::vector<uint32_t> dst(static_cast<size_t>(w));
    for (int row = 0; row < h; ++row) {
        if (source)
            source->ReadSpan(srcX, srcY + row, w, src.data());
        if (readsTarget)
            target.ReadSpan(x, y + row, w, dst.data());
        function(src.data(), dst.data(), w);
        target.WriteSpan(x, y + row, w, dst.data());
    }
}

}

bool IsSupportedRop(uint32_t rop)
{
    return FindRop(rop) != nullptr;
}

bool RopUsesSource(uint32_t rop)
{
    return rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS;
}

bool BlitBitmap(Bitmap& target, int x, int y, int w, int h, const Bitmap* source, int srcX, int srcY, uint32_t rop)
{
    RopFunction function = FindRop(rop);
    if (!function)
        return false;
    bool usesSource = RopUsesSource(rop);
    if (usesSource && !source)
        return false;
    const Bitmap* from = usesSource ? source : nullptr;
    if (!ClipAxis(x, srcX, w, target.GetWidth(), from ? from->GetWidth() : 0, from)
        || !ClipAxis(y, srcY, h, target.GetHeight(), from ? from->GetHeight() : 0, from))
        return false;
    if (&target == from) {
        // Source and target may overlap: read the source out first.
        BitmapInfo info {};
        info.bmiHeader = { sizeof(BitmapInfoHeader), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        std::unique_ptr<Bitmap> copy = Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
        if (!copy)
            return false;
        BlitSpans(*copy, 0, 0, w, h, from, srcX, srcY, RopCopy, false);
        BlitSpans(target, x, y, w, h, copy.get(), 0, 0, function, RopReadsTarget(rop));
        return true;
    }
    if (rop == SRCCOPY) {
        if (SameFormat(target, *from) && target.GetBitsPerPixel() >= 8) {
            CopyRows(target, x, y, w, h, *from, srcX, srcY);
            return true;
        }
        if (ConvertWithPixman(target, x, y, w, h, *from, srcX, srcY))
            return true;
    }
    if (from
        && (CombineBytes(target, x, y, w, h, *from, srcX, srcY, rop)
            || AndMonoMask(target, x, y, w, h, *from, srcX, srcY, rop)))
        return true;
    BlitSpans(target, x, y, w, h, from, srcX, srcY, function, RopReadsTarget(rop));
    return true;
}

bool StretchBitmap(Bitmap& target, int x, int y, int w, int h, const Bitmap& source, int srcX, int srcY, int srcW,
    int srcH, uint32_t rop, bool averaging)
{
    if (!IsSupportedRop(rop) || w <= 0 || h <= 0 || srcW <= 0 || srcH <= 0)
        return false;
    if (w == srcW && h == srcH)
        return BlitBitmap(target, x, y, w, h, &source, srcX, srcY, rop);
    BitmapInfo info {};
    info.bmiHeader = { sizeof(BitmapInfoHeader), srcW, -srcH, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    std::unique_ptr<Bitmap> from = Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    std::unique_ptr<Bitmap> scaled = Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
    if (!from || !scaled)
        return false;
    BlitBitmap(*from, 0, 0, srcW, srcH, &source, srcX, srcY, SRCCOPY);

    PixmanImage src = WrapMemory(*from, PIXMAN_x8r8g8b8);
    PixmanImage dst = WrapMemory(*scaled, PIXMAN_x8r8g8b8);
    if (!src || !dst)
        return false;
    double scaleX = static_cast<double>(srcW) / w;
    double scaleY = static_cast<double>(srcH) / h;
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(scaleX), pixman_double_to_fixed(scaleY));
    pixman_image_set_transform(src.get(), &transform);
    pixman_image_set_repeat(src.get(), PIXMAN_REPEAT_PAD);
    if (averaging) {
        // A box over each target pixel's footprint in the source: the mean
        // of the area it covers.
        constexpr int kSubsampleBits = 2;
        int count = 0;
        pixman_fixed_t* params = pixman_filter_create_separable_convolution(&count,
            pixman_double_to_fixed(std::max(scaleX, 1.0)), pixman_double_to_fixed(std::max(scaleY, 1.0)),
            PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, kSubsampleBits, kSubsampleBits);
        if (!params)
            return false;
        pixman_image_set_filter(src.get(), PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
        std::free(params);
    } else {
        pixman_image_set_filter(src.get(), PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
    pixman_image_composite32(PIXMAN_OP_SRC, src.get(), nullptr, dst.get(), 0, 0, 0, 0, 0, 0, w, h);
    return BlitBitmap(target, x, y, w, h, scaled.get(), 0, 0, rop);
}

}
