#include "graphics/DibStorage.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumarra {

namespace {

// Room for the masks and table that follow a compressed header.
constexpr int64_t kCompressedTailBytes = 64;
constexpr int kMaxPaletteColors = 256;
constexpr size_t kRgbQuadBytes = 4;

}

DibStorage::HeldBitmap DibStorage::Own(std::unique_ptr<Bitmap> bitmap)
{
    return HeldBitmap(bitmap.release(), DeleteIfOwned { true });
}

DibStorage::HeldBitmap DibStorage::Borrow(Bitmap* bitmap)
{
    return HeldBitmap(bitmap, DeleteIfOwned { false });
}

DibStorage::HeldInfo DibStorage::Own(std::unique_ptr<uint8_t[]> info)
{
    return HeldInfo(info.release(), DeleteIfOwned { true });
}

DibStorage::HeldInfo DibStorage::Borrow(const uint8_t* info)
{
    return HeldInfo(info, DeleteIfOwned { false });
}

int64_t DibStorage::ColorCountOf(const BitmapInfoHeader& header)
{
    return header.biClrUsed ? header.biClrUsed : int64_t { 1 } << std::min<int>(header.biBitCount, 32);
}

int64_t DibStorage::InfoBytesOf(const BitmapInfoHeader& header)
{
    int64_t bytes = header.biSize;
    if (header.biCompression != BI_RGB)
        bytes += kCompressedTailBytes;
    else if (header.biBitCount < 16)
        bytes += static_cast<int64_t>(kRgbQuadBytes) * ColorCountOf(header);
    return bytes;
}

void DibStorage::Adopt(HeldBitmap bitmap, HeldInfo info, size_t infoBytes, int colorCount, std::string flags)
{
    m_mask.reset();
    m_bitmap = std::move(bitmap);
    m_info = std::move(info);
    m_infoBytes = infoBytes;
    m_bitmapDesc = m_bitmap->Describe();
    m_width = m_bitmapDesc.bmWidth;
    m_height = m_bitmapDesc.bmHeight;
    m_bits = static_cast<uint8_t*>(m_bitmapDesc.bmBits);
    m_colorCount = colorCount;
    m_storageFlags = std::move(flags);
    BuildPalette();
}

void DibStorage::Release()
{
    m_bitmap.reset();
    m_info.reset();
    m_infoBytes = 0;
    m_bits = nullptr;
    m_palette.reset();
    m_mask.reset();
    m_storageFlags.clear();
}

std::unique_ptr<Bitmap> DibStorage::DetachBitmap()
{
    bool owned = m_bitmap.get_deleter().owned;
    Bitmap* bitmap = m_bitmap.release();
    return owned ? std::unique_ptr<Bitmap>(bitmap) : nullptr;
}

void DibStorage::BuildPalette()
{
    m_palette.reset();
    const BitmapInfo* info = GetInfo();
    if (m_colorCount >= 1 && m_colorCount <= kMaxPaletteColors && info) {
        // Entries the header block does not hold stay black.
        const uint8_t* table = m_info.get() + info->bmiHeader.biSize;
        size_t held = m_infoBytes > info->bmiHeader.biSize ? (m_infoBytes - info->bmiHeader.biSize) / kRgbQuadBytes : 0;
        std::vector<PaletteEntry> entries(static_cast<size_t>(m_colorCount), PaletteEntry { 0, 0, 0, 0 });
        for (size_t i = 0; i < entries.size() && i < held; ++i) {
            RgbQuad quad;
            std::memcpy(&quad, table + kRgbQuadBytes * i, sizeof quad);
            entries[i] = { quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0 };
        }
        m_palette = Palette::Create(entries);
    } else if (m_colorCount > kMaxPaletteColors) {
        m_palette = Palette::CreateHalftone();
    }
}

}
