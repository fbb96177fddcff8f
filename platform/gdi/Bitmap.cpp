#include "platform/gdi/Bitmap.h"

#include "platform/gdi/Palette.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace lumarra {

namespace {

constexpr uint32_t kDefault16Masks[3] = { 0x7C00, 0x03E0, 0x001F };
constexpr uint32_t kDefault32Masks[3] = { 0x00FF0000, 0x0000FF00, 0x000000FF };

uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

// Widens a channel of `bits` bits to 8 by repeating its high bits.
uint8_t Expand(uint32_t value, int bits)
{
    if (bits >= 8)
        return static_cast<uint8_t>(value >> (bits - 8));
    uint32_t out = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits)
        out |= value << (8 - bits) >> filled;
    return static_cast<uint8_t>(out);
}

}

Bitmap::~Bitmap()
{
    std::free(m_bits);
}

std::unique_ptr<Bitmap> Bitmap::CreateDibSection(const BitmapInfo& info, size_t infoBytes)
{
    const BitmapInfoHeader& header = info.bmiHeader;
    if (infoBytes < sizeof(BitmapInfoHeader) || header.biSize < sizeof(BitmapInfoHeader) || header.biSize > infoBytes)
        return nullptr;
    int bpp = header.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return nullptr;
    bool bitfields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(bitfields && (bpp == 16 || bpp == 32)))
        return nullptr;
    if (header.biWidth <= 0 || header.biWidth > kMaxDimension || header.biHeight == 0
        || header.biHeight < -kMaxDimension || header.biHeight > kMaxDimension)
        return nullptr;
    int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    int64_t stride = DibStride(bpp, header.biWidth);
    if (stride * height > kMaxImageBytes)
        return nullptr;

    std::unique_ptr<Bitmap> bitmap(new Bitmap);
    bitmap->m_width = header.biWidth;
    bitmap->m_height = height;
    bitmap->m_bitsPerPixel = bpp;
    bitmap->m_stride = static_cast<int>(stride);
    bitmap->m_topDown = header.biHeight < 0;

    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&info);
    const uint8_t* tail = raw + header.biSize;
    size_t tailBytes = infoBytes - header.biSize;
    if (bpp <= 8) {
        size_t count = header.biClrUsed ? header.biClrUsed : size_t { 1 } << bpp;
        count = std::min({ count, size_t { 1 } << bpp, tailBytes / sizeof(RgbQuad) });
        bitmap->SetColorTable(reinterpret_cast<const RgbQuad*>(tail), count);
    } else if (bpp != 24) {
        const uint32_t* defaults = bpp == 16 ? kDefault16Masks : kDefault32Masks;
        uint32_t masks[3] = { defaults[0], defaults[1], defaults[2] };
        if (bitfields) {
            // Version 4 and 5 headers carry the masks inside; a plain header
            // is followed by them.
            const uint8_t* at = header.biSize >= 52 ? raw + 40 : tail;
            size_t available = header.biSize >= 52 ? 12 : tailBytes;
            if (available < 12)
                return nullptr;
            for (int i = 0; i < 3; ++i)
                masks[i] = ReadLe32(at + 4 * i);
        }
        if (!bitmap->SetMasks(masks[0], masks[1], masks[2]))
            return nullptr;
    }
    bitmap->m_bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride * height), 1));
    if (!bitmap->m_bits)
        return nullptr;
    return bitmap;
}

std::unique_ptr<Bitmap> Bitmap::CreateCompatible(int width, int height)
{
    BitmapInfo info {};
    info.bmiHeader.biSize = sizeof(BitmapInfoHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::unique_ptr<Bitmap> bitmap = CreateDibSection(info, sizeof(BitmapInfoHeader));
    if (bitmap)
        bitmap->m_deviceDependent = true;
    return bitmap;
}

bool Bitmap::SetMasks(uint32_t red, uint32_t green, uint32_t blue)
{
    uint32_t limit = m_bitsPerPixel == 16 ? 0xFFFF : 0xFFFFFFFF;
    uint32_t masks[3] = { red, green, blue };
    for (int i = 0; i < 3; ++i) {
        uint32_t mask = masks[i];
        if (mask == 0 || (mask & ~limit))
            return false;
        int shift = std::countr_zero(mask);
        int bits = std::popcount(mask);
        // A channel's bits must be contiguous.
        if ((mask >> shift) != (uint32_t { 0xFFFFFFFF } >> (32 - bits)))
            return false;
        m_masks[i] = mask;
        m_channels[i] = { mask, shift, bits };
    }
    return true;
}

BitmapDesc Bitmap::Describe() const
{
    BitmapDesc desc;
    desc.bmWidth = m_width;
    desc.bmHeight = m_height;
    desc.bmWidthBytes = m_stride;
    desc.bmPlanes = 1;
    desc.bmBitsPixel = static_cast<uint16_t>(m_bitsPerPixel);
    desc.bmBits = m_deviceDependent ? nullptr : m_bits;
    return desc;
}

void Bitmap::SetColorTable(const RgbQuad* entries, size_t count)
{
    m_colorTable.assign(entries, entries + count);
}

uint32_t Bitmap::NearestIndex(COLORREF color) const
{
    return NearestColorIndex(m_colorTable, color);
}

uint32_t Bitmap::GetRaw(int x, int y) const
{
    const uint8_t* row = Row(y);
    switch (m_bitsPerPixel) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 8:
        return row[x];
    case 16:
        return static_cast<uint32_t>(row[2 * x]) | static_cast<uint32_t>(row[2 * x + 1]) << 8;
    case 24:
        return static_cast<uint32_t>(row[3 * x]) | static_cast<uint32_t>(row[3 * x + 1]) << 8
            | static_cast<uint32_t>(row[3 * x + 2]) << 16;
    default:
        return ReadLe32(row + 4 * x);
    }
}

void Bitmap::SetRaw(int x, int y, uint32_t raw)
{
    uint8_t* row = Row(y);
    switch (m_bitsPerPixel) {
    case 1: {
        uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>((raw & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | (raw & 0x0F))
                       : static_cast<uint8_t>((byte & 0x0F) | (raw & 0x0F) << 4);
        break;
    }
    case 8:
        row[x] = static_cast<uint8_t>(raw);
        break;
    case 16:
        row[2 * x] = static_cast<uint8_t>(raw);
        row[2 * x + 1] = static_cast<uint8_t>(raw >> 8);
        break;
    case 24:
        row[3 * x] = static_cast<uint8_t>(raw);
        row[3 * x + 1] = static_cast<uint8_t>(raw >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(raw >> 16);
        break;
    default:
        std::memcpy(row + 4 * x, &raw, 4);
        break;
    }
}

uint32_t Bitmap::RawFromColor(COLORREF color) const
{
    if (m_bitsPerPixel <= 8)
        return NearestIndex(color);
    if (m_bitsPerPixel == 24)
        return GetBValue(color) | static_cast<uint32_t>(GetGValue(color)) << 8
            | static_cast<uint32_t>(GetRValue(color)) << 16;
    uint8_t values[3] = { GetRValue(color), GetGValue(color), GetBValue(color) };
    uint32_t raw = 0;
    for (int i = 0; i < 3; ++i) {
        const Channel& channel = m_channels[i];
        uint32_t value = channel.bits >= 8 ? static_cast<uint32_t>(values[i]) << (channel.bits - 8)
                                           : static_cast<uint32_t>(values[i]) >> (8 - channel.bits);
        raw |= value << channel.shift & channel.mask;
    }
    return raw;
}

COLORREF Bitmap::ColorFromRaw(uint32_t raw) const
{
    if (m_bitsPerPixel <= 8) {
        if (raw >= m_colorTable.size())
            return RGB(0, 0, 0);
        const RgbQuad& entry = m_colorTable[raw];
        return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
    }
    if (m_bitsPerPixel == 24)
        return RGB(static_cast<uint8_t>(raw >> 16), static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw));
    uint8_t values[3];
    for (int i = 0; i < 3; ++i) {
        const Channel& channel = m_channels[i];
        values[i] = Expand((raw & channel.mask) >> channel.shift, channel.bits);
    }
    return RGB(values[0], values[1], values[2]);
}

COLORREF Bitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    return ColorFromRaw(GetRaw(x, y));
}

bool Bitmap::SetPixel(int x, int y, COLORREF color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    SetRaw(x, y, RawFromColor(color));
    return true;
}

void Bitmap::ReadSpan(int x, int y, int count, uint32_t* out) const
{
    const uint8_t* row = Row(y);
    if (m_bitsPerPixel == 24) {
        const uint8_t* p = row + 3 * x;
        for (int i = 0; i < count; ++i, p += 3)
            out[i] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        return;
    }
    // Other formats go through COLORREF; swap red and blue for 0x00RRGGBB.
    for (int i = 0; i < count; ++i) {
        COLORREF c = ColorFromRaw(GetRaw(x + i, y));
        out[i] = static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
    }
}

void Bitmap::WriteSpan(int x, int y, int count, const uint32_t* in)
{
    if (count <= 0)
        return;
    uint8_t* row = Row(y);
    if (m_bitsPerPixel == 24) {
        uint8_t* p = row + 3 * x;
        for (int i = 0; i < count; ++i, p += 3) {
            p[0] = static_cast<uint8_t>(in[i]);
            p[1] = static_cast<uint8_t>(in[i] >> 8);
            p[2] = static_cast<uint8_t>(in[i] >> 16);
        }
        return;
    }
    uint32_t lastIn = ~in[0];
    uint32_t lastRaw = 0;
    for (int i = 0; i < count; ++i) {
        // Runs of one color are common; skip the repeated palette search.
        if (in[i] != lastIn) {
            lastIn = in[i];
            lastRaw = RawFromColor(
                RGB(static_cast<uint8_t>(in[i] >> 16), static_cast<uint8_t>(in[i] >> 8), static_cast<uint8_t>(in[i])));
        }
        SetRaw(x + i, y, lastRaw);
    }
}

}
