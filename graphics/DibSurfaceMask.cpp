#include "graphics/DibSurfaceFrame.h"

#include <cstring>

// Masks and transparency: the 1-bit mask built for a key color, and the
// region of the pixels that are not the key.

namespace lumarra {

namespace {

uint32_t ReadRaw(const uint8_t* p, int bytes)
{
    uint32_t raw = 0;
    std::memcpy(&raw, p, static_cast<size_t>(bytes));
    return raw;
}

// A 1-bit mask of `width` × `height`, every bit set (transparent) until
// `walk` clears the bits of the opaque pixels; null when it cannot be made.
template <typename Walk>
std::unique_ptr<Bitmap> MakeMask(int width, int height, Walk&& walk)
{
    DibSurface mask;
    if (!mask.CreateBlank(1, width, height, kNoColor))
        return nullptr;
    mask.FillMask(mask);
    mask.BeginDraw();
    walk(mask);
    mask.EndDraw();
    return mask.Detach();
}

}

// ---------------------------------------------------------------------------
// Transparency masks

void DibSurface::FillMask(DibSurface& mask)
{
    if (uint8_t* bits = mask.m_storage.GetBits())
        std::memset(bits, 0xFF, mask.GetImageSize());
}

void DibSurface::ClearMaskBit(DibSurface& mask, int x, int y)
{
    Bitmap* bitmap = mask.m_storage.GetBitmap();
    if (!bitmap || !mask.m_storage.GetBits() || x < 0 || y < 0 || y >= bitmap->GetHeight()
        || x / 8 >= bitmap->GetStride())
        return;
    bitmap->Row(y)[x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
}

void DibSurface::SetTransparentColor(COLORREF key)
{
    if (!m_storage.GetBits() || !m_storage.GetInfo())
        return;
    m_storage.SetMask(nullptr);
    if (key == kNoColor)
        return;
    switch (m_storage.GetInfo()->bmiHeader.biBitCount) {
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

void DibSurface::BuildMask32(COLORREF key)
{
    BuildMaskDirect(key, 4);
}
void DibSurface::BuildMask24(COLORREF key)
{
    BuildMaskDirect(key, 3);
}
void DibSurface::BuildMask16(COLORREF key)
{
    BuildMaskDirect(key, 2);
}
void DibSurface::BuildMask8(COLORREF key)
{
    BuildMaskIndexed(key, 8);
}
void DibSurface::BuildMask4(COLORREF key)
{
    BuildMaskIndexed(key, 4);
}

uint32_t DibSurface::FindKeyValue(COLORREF key, int bytesPerPixel)
{
    // The value the format stores for the key, after the same conversion
    // SetPixel makes (so a 5-6-5 key matches every color that rounds to
    // it).
    uint32_t raw = m_storage.GetBitmap()->RawFromColor(key);
    return bytesPerPixel == 4 ? raw : raw & ((1u << (8 * bytesPerPixel)) - 1);
}

void DibSurface::BuildMaskDirect(COLORREF key, int bytesPerPixel)
{
    try {
        Bitmap* bitmap = m_storage.GetBitmap();
        if (!bitmap || bitmap->GetBitsPerPixel() != 8 * bytesPerPixel)
            return;
        int width = m_storage.GetWidth();
        uint32_t keyValue = FindKeyValue(key, bytesPerPixel);
        m_storage.SetMask(MakeMask(width, m_storage.GetHeight(), [&](DibSurface& mask) {
            for (int y = 0; y < m_storage.GetHeight(); ++y) {
                uint8_t* p = bitmap->Row(y);
                for (int x = 0; x < width; ++x, p += bytesPerPixel) {
                    if (ReadRaw(p, bytesPerPixel) == keyValue)
                        std::memset(p, 0, static_cast<size_t>(bytesPerPixel));
                    else
                        ClearMaskBit(mask, x, y);
                }
            }
        }));
    } catch (...) {
        m_storage.SetMask(nullptr);
    }
}

void DibSurface::BuildMaskIndexed(COLORREF key, int bitsPerPixel)
{
    try {
        Bitmap* bitmap = m_storage.GetBitmap();
        const Palette* palette = m_storage.GetPalette();
        if (!bitmap || !palette || bitmap->GetBitsPerPixel() != bitsPerPixel)
            return;
        uint32_t keyIndex = palette->NearestIndex(key);
        uint32_t blackIndex = palette->NearestIndex(RGB(0, 0, 0));
        // Four-bit rows are walked in whole groups of eight pixels; both the
        // image row and the mask row have room for them.
        int width = m_storage.GetWidth();
        int columns = bitsPerPixel == 4 ? (width + 7) / 8 * 8 : width;
        m_storage.SetMask(MakeMask(width, m_storage.GetHeight(), [&](DibSurface& mask) {
            for (int y = 0; y < m_storage.GetHeight(); ++y) {
                for (int x = 0; x < columns; ++x) {
                    if (bitmap->GetRaw(x, y) == keyIndex)
                        bitmap->SetRaw(x, y, blackIndex);
                    else
                        ClearMaskBit(mask, x, y);
                }
            }
        }));
    } catch (...) {
        m_storage.SetMask(nullptr);
    }
}

std::unique_ptr<Region> DibSurface::CreateRegion(COLORREF key)
{
    if (key == kNoColor)
        key = m_regionKey;
    Bitmap* bitmap = m_storage.GetBitmap();
    if (!bitmap)
        return nullptr;
    int width = m_storage.GetWidth();
    auto region = std::make_unique<Region>();
    DrawContext dc(bitmap);
    for (int y = 0; y < m_storage.GetHeight(); ++y) {
        int x = 0;
        while (x < width) {
            while (x < width && dc.GetPixel(x, y) == key)
                ++x;
            int start = x;
            while (x < width && dc.GetPixel(x, y) != key)
                ++x;
            if (x > start)
                region->AppendDisjoint({ start, y, x, y + 1 });
        }
    }
    return region;
}

}
