#include "platform/window/IconFile.h"

#include "platform/Resources.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Icon.h"

#include <cstring>
#include <vector>

namespace lumarra {

namespace {

constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;
constexpr size_t kDirectoryBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr int kMaxIconSide = 256;

struct Entry {
    int width;
    int height;
    uint16_t planesOrHotX;
    uint16_t bitsOrHotY;
    uint32_t bytes;
    uint32_t offset;
};

uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Read32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The better of two entries for `wanted`: the smallest side not below it,
// else the largest; equal sides go to the one with more colors.
bool Better(const Entry& candidate, const Entry& best, int wanted, int candidateBits, int bestBits)
{
    bool candidateBig = candidate.width >= wanted;
    bool bestBig = best.width >= wanted;
    if (candidateBig != bestBig)
        return candidateBig;
    if (candidate.width != best.width)
        return candidateBig ? candidate.width < best.width : candidate.width > best.width;
    return candidateBits > bestBits;
}

std::unique_ptr<Icon> DecodeImage(std::span<const uint8_t> image)
{
    if (image.size() < sizeof(BitmapInfoHeader))
        return nullptr;
    BitmapInfoHeader header;
    std::memcpy(&header, image.data(), sizeof header);
    if (header.biSize < sizeof(BitmapInfoHeader) || header.biSize > image.size() || header.biCompression != BI_RGB)
        return nullptr;
    int width = header.biWidth;
    int height = header.biHeight / 2;  // color rows, then mask rows
    int bits = header.biBitCount;
    if (width <= 0 || width > kMaxIconSide || height <= 0 || height > kMaxIconSide)
        return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return nullptr;
    size_t colors
        = bits <= 8 ? (header.biClrUsed && header.biClrUsed < (1u << bits) ? header.biClrUsed : 1u << bits) : 0;
    size_t tableBytes = colors * sizeof(RgbQuad);
    size_t colorBytes = static_cast<size_t>(DibStride(bits, width)) * height;
    size_t maskBytes = static_cast<size_t>(DibStride(1, width)) * height;
    if (image.size() - header.biSize < tableBytes + colorBytes + maskBytes)
        return nullptr;

    std::vector<uint8_t> info(sizeof(BitmapInfoHeader) + tableBytes);
    BitmapInfoHeader colorHeader = header;
    colorHeader.biSize = sizeof(BitmapInfoHeader);
    colorHeader.biHeight = height;
    colorHeader.biSizeImage = 0;
    colorHeader.biClrUsed = static_cast<uint32_t>(colors);
    std::memcpy(info.data(), &colorHeader, sizeof colorHeader);
    const uint8_t* table = image.data() + header.biSize;
    std::memcpy(info.data() + sizeof colorHeader, table, tableBytes);
    std::unique_ptr<Bitmap> color
        = Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(info.data()), info.size());
    if (!color)
        return nullptr;
    const uint8_t* colorBits = table + tableBytes;
    std::memcpy(color->GetBits(), colorBits, colorBytes);

    struct {
        BitmapInfoHeader header;
        RgbQuad table[2];
    } maskInfo {};
    maskInfo.header = colorHeader;
    maskInfo.header.biBitCount = 1;
    maskInfo.header.biClrUsed = 2;
    maskInfo.table[1] = { 255, 255, 255, 0 };
    std::unique_ptr<Bitmap> mask
        = Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(&maskInfo), sizeof maskInfo);
    if (!mask)
        return nullptr;
    std::memcpy(mask->GetBits(), colorBits + colorBytes, maskBytes);

    // An image with an alpha channel says its transparency there; its mask
    // may be left blank.
    if (bits == 32) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((color->GetRaw(x, y) >> 24) < 0x80) {
                    mask->SetRaw(x, y, 1);
                    color->SetRaw(x, y, 0);
                }
            }
        }
    }
    return std::make_unique<Icon>(std::move(color), std::move(mask));
}

}

std::unique_ptr<Icon> DecodeIconFile(std::span<const uint8_t> file, int wantedSize, Point* hotSpot)
{
    if (file.size() < kDirectoryBytes)
        return nullptr;
    uint16_t type = Read16(file.data() + 2);
    size_t count = Read16(file.data() + 4);
    if (Read16(file.data()) != 0 || (type != kTypeIcon && type != kTypeCursor) || count == 0)
        return nullptr;
    if ((file.size() - kDirectoryBytes) / kEntryBytes < count)
        return nullptr;

    const Entry* best = nullptr;
    int bestBits = 0;
    std::vector<Entry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = file.data() + kDirectoryBytes + i * kEntryBytes;
        Entry& entry = entries[i];
        entry = { p[0] ? p[0] : kMaxIconSide, p[1] ? p[1] : kMaxIconSide, Read16(p + 4), Read16(p + 6), Read32(p + 8),
            Read32(p + 12) };
        if (entry.offset > file.size() || entry.bytes > file.size() - entry.offset
            || entry.bytes < sizeof(BitmapInfoHeader))
            continue;
        int bits = Read16(file.data() + entry.offset + 14);
        if (!best || Better(entry, *best, wantedSize, bits, bestBits)) {
            best = &entry;
            bestBits = bits;
        }
    }
    if (!best)
        return nullptr;
    std::unique_ptr<Icon> icon = DecodeImage(file.subspan(best->offset, best->bytes));
    if (icon && hotSpot)
        *hotSpot = type == kTypeCursor ? Point { best->planesOrHotX, best->bitsOrHotY } : Point {};
    return icon;
}

std::unique_ptr<Icon> LoadIconResource(uint32_t id, int wantedSize)
{
    ResourceData data = FindResource(kResourceIcon, id);
    if (!data)
        return nullptr;
    return DecodeIconFile({ data.data, data.size }, wantedSize);
}

}
