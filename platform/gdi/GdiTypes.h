#pragma once

#include <cstdint>

namespace lumarra {

// A color as 0x00BBGGRR; kNoColor stands for "no colour" wherever a key or an
// optional color is taken, and is what pixel reads return outside a bitmap.
using COLORREF = uint32_t;
inline constexpr COLORREF kNoColor = 0xFFFFFFFF;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(uint8_t red, uint8_t green, uint8_t blue)
{
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 | static_cast<COLORREF>(blue) << 16;
}
constexpr uint8_t GetRValue(COLORREF color)
{
    return static_cast<uint8_t>(color);
}
constexpr uint8_t GetGValue(COLORREF color)
{
    return static_cast<uint8_t>(color >> 8);
}
constexpr uint8_t GetBValue(COLORREF color)
{
    return static_cast<uint8_t>(color >> 16);
}

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Right and bottom edges are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The rectangle of `w` × `h` pixels whose top-left corner is (x, y).
    static constexpr Rect FromSize(int x, int y, int w, int h) { return { x, y, x + w, y + h }; }

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect Intersect(const Rect& other) const;
    bool operator==(const Rect&) const = default;
};

inline Rect Rect::Intersect(const Rect& other) const
{
    Rect r { left > other.left ? left : other.left, top > other.top ? top : other.top,
        right < other.right ? right : other.right, bottom < other.bottom ? bottom : other.bottom };
    if (r.IsEmpty())
        return {};
    return r;
}

// Raster operations the blits understand; any other code fails.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t SRCPAINT = 0x00EE0086;
inline constexpr uint32_t SRCAND = 0x008800C6;
inline constexpr uint32_t SRCINVERT = 0x00660046;
inline constexpr uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr uint32_t DSTINVERT = 0x00550009;
inline constexpr uint32_t BLACKNESS = 0x00000042;
inline constexpr uint32_t WHITENESS = 0x00FF0062;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Poly-fill modes.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// Stretch modes.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

// Mapping modes: only MM_TEXT (one unit per pixel, y down) is drawn with.
inline constexpr int MM_TEXT = 1;

// Compression values of a bitmap header.
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_RLE8 = 1;
inline constexpr uint32_t BI_RLE4 = 2;
inline constexpr uint32_t BI_BITFIELDS = 3;

#pragma pack(push, 1)

// The 40-byte header of a device-independent bitmap, laid out as in .bmp
// files and packed DIBs (little-endian).
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct RgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

// A header followed by its color table (or three bit-field masks).
struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    RgbQuad bmiColors[1];
};

struct BitmapFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};

#pragma pack(pop)

static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(BitmapFileHeader) == 14);

// Bytes per row of a `bitsPerPixel` image `width` pixels wide, padded to 4.
constexpr int64_t DibStride(int bitsPerPixel, int width)
{
    return (static_cast<int64_t>(bitsPerPixel) * width + 31) / 32 * 4;
}

}
