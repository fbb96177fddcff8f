#include "platform/gdi/BmpDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumarra {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint16_t kBmSignature = 0x4D42;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaxHeaderBytes = 124;
constexpr size_t kMaskBytes = 12;

uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

// The header in its common form, whatever version the data holds.
struct Header {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    size_t entryBytes = 4;
    bool masksInHeader = false;
    uint32_t masks[3] = {};
};

bool ReadHeader(std::span<const uint8_t> dib, Header& header)
{
    if (dib.size() < 4)
        return false;
    header.size = Read32(dib.data());
    if (header.size == kCoreHeaderBytes) {
        if (dib.size() < kCoreHeaderBytes)
            return false;
        header.width = Read16(dib.data() + 4);
        header.height = Read16(dib.data() + 6);
        header.bitCount = Read16(dib.data() + 10);
        header.entryBytes = 3;
        return true;
    }
    if (header.size < kInfoHeaderBytes || header.size > kMaxHeaderBytes || dib.size() < header.size)
        return false;
    const uint8_t* p = dib.data();
    header.width = static_cast<int32_t>(Read32(p + 4));
    header.height = static_cast<int32_t>(Read32(p + 8));
    header.bitCount = Read16(p + 14);
    header.compression = Read32(p + 16);
    header.colorsUsed = Read32(p + 32);
    if (header.size >= kInfoHeaderBytes + kMaskBytes) {
        header.masksInHeader = true;
        for (int i = 0; i < 3; ++i)
            header.masks[i] = Read32(p + kInfoHeaderBytes + 4 * i);
    }
    return true;
}

bool ValidFormat(const Header& header)
{
    switch (header.compression) {
    case BI_RGB:
        return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 || header.bitCount == 16
            || header.bitCount == 24 || header.bitCount == 32;
    case BI_RLE8:
        return header.bitCount == 8 && header.height > 0;
    case BI_RLE4:
        return header.bitCount == 4 && header.height > 0;
    case BI_BITFIELDS:
        return header.bitCount == 16 || header.bitCount == 32;
    default:
        return false;
    }
}

// Expands run-length coded pixels into the bottom-up rows of `bitmap`.
// False when the data ends before the end-of-bitmap code.
bool DecodeRle(std::span<const uint8_t> data, Bitmap& bitmap, bool fourBit)
{
    int width = bitmap.GetWidth();
    int height = bitmap.GetHeight();
    int x = 0;
    int row = 0;  // from the bottom
    size_t at = 0;
    auto put = [&](int value) {
        if (x < width && row < height)
            bitmap.SetRaw(x, height - 1 - row, static_cast<uint32_t>(value));
        ++x;
    };
    while (at + 2 <= data.size()) {
        uint8_t count = data[at];
        uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(fourBit ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++row;
            break;
        case 1:
            return true;
        case 2:
            if (at + 2 > data.size())
                return false;
            x += data[at];
            row += data[at + 1];
            at += 2;
            break;
        default: {
            size_t bytes = fourBit ? (value + 1u) / 2 : value;
            if (at + bytes > data.size())
                return false;
            for (int i = 0; i < value; ++i) {
                uint8_t byte = data[at + static_cast<size_t>(fourBit ? i / 2 : i)];
                put(fourBit ? ((i & 1) ? byte & 0x0F : byte >> 4) : byte);
            }
            at += (bytes + 1) & ~size_t { 1 };
            break;
        }
        }
        if (row >= height)
            return true;
    }
    return false;
}

}

std::unique_ptr<Bitmap> BmpDecoder::DecodeFile(std::span<const uint8_t> file)
{
    if (file.size() < kFileHeaderBytes || Read16(file.data()) != kBmSignature)
        return nullptr;
    uint32_t bitsOffset = Read32(file.data() + 10);
    if (bitsOffset < kFileHeaderBytes || bitsOffset > file.size())
        return nullptr;
    return Decode(file.subspan(kFileHeaderBytes), bitsOffset - kFileHeaderBytes);
}

std::unique_ptr<Bitmap> BmpDecoder::DecodePackedDib(std::span<const uint8_t> dib)
{
    return Decode(dib, 0);
}

std::unique_ptr<Bitmap> BmpDecoder::Decode(std::span<const uint8_t> dib, size_t bitsOffset)
{
    Header header;
    if (!ReadHeader(dib, header) || !ValidFormat(header))
        return nullptr;

    // The section's own description: a plain header followed by masks or
    // the color table.
    std::vector<uint8_t> info(sizeof(BitmapInfoHeader) + 256 * sizeof(RgbQuad));
    BitmapInfoHeader out {};
    out.biSize = sizeof(BitmapInfoHeader);
    out.biWidth = header.width;
    out.biHeight = header.height;
    out.biPlanes = 1;
    out.biBitCount = header.bitCount;
    out.biCompression = header.compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;

    size_t tableAt = header.size;
    size_t tableEnd = tableAt;
    if (header.compression == BI_BITFIELDS) {
        if (!header.masksInHeader) {
            if (dib.size() < tableAt + kMaskBytes)
                return nullptr;
            for (int i = 0; i < 3; ++i)
                header.masks[i] = Read32(dib.data() + tableAt + 4 * i);
            tableEnd += kMaskBytes;
        }
        std::memcpy(info.data() + sizeof(BitmapInfoHeader), header.masks, kMaskBytes);
    } else if (header.bitCount <= 8) {
        size_t maxEntries = size_t { 1 } << header.bitCount;
        size_t entries = header.colorsUsed ? header.colorsUsed : maxEntries;
        if (entries > maxEntries)
            return nullptr;
        tableEnd = tableAt + entries * header.entryBytes;
        if (tableEnd > dib.size())
            return nullptr;
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* from = dib.data() + tableAt + i * header.entryBytes;
            RgbQuad quad { from[0], from[1], from[2], 0 };
            std::memcpy(info.data() + sizeof(BitmapInfoHeader) + i * sizeof(RgbQuad), &quad, sizeof quad);
        }
        out.biClrUsed = static_cast<uint32_t>(entries);
    } else if (header.colorsUsed && header.colorsUsed <= 256) {
        // An optional table for palette devices; skipped.
        tableEnd += header.colorsUsed * header.entryBytes;
    }
    std::memcpy(info.data(), &out, sizeof out);
    if (bitsOffset == 0)
        bitsOffset = tableEnd;
    if (bitsOffset > dib.size())
        return nullptr;

    std::unique_ptr<Bitmap> bitmap
        = Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(info.data()), info.size());
    if (!bitmap)
        return nullptr;
    std::span<const uint8_t> pixels = dib.subspan(bitsOffset);
    if (header.compression == BI_RLE8 || header.compression == BI_RLE4) {
        if (!DecodeRle(pixels, *bitmap, header.compression == BI_RLE4))
            return nullptr;
        return bitmap;
    }
    if (pixels.size() < bitmap->GetImageBytes())
        return nullptr;
    std::memcpy(bitmap->GetBits(), pixels.data(), bitmap->GetImageBytes());
    return bitmap;
}

}
