#include "graphics/PackedDib.h"

#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/RasterOps.h"
#include "support/FileIo.h"

#include <cstring>
#include <string>

namespace lumarra {

namespace {

constexpr uint16_t kBmSignature = 0x4D42;
constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kMaskBytes = 12;
// Depth of the screen the program draws on.
constexpr int kScreenDepth = 32;
// Color count recorded for depths without a table.
constexpr uint32_t kTrueColorCount = 1u << 24;
constexpr uint32_t k565Masks[3] = { 0xF800, 0x07E0, 0x001F };

BitmapInfoHeader PlainHeader(int depth, int width, int height)
{
    BitmapInfoHeader header {};
    header.biSize = sizeof(BitmapInfoHeader);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(depth);
    return header;
}

// Whether a bitmap's masks differ from what BI_RGB implies for its depth.
bool NeedsMasks(const Bitmap& bitmap)
{
    if (bitmap.GetBitsPerPixel() == 16)
        return true;
    return bitmap.GetBitsPerPixel() == 32
        && !(bitmap.GetRedMask() == 0xFF0000 && bitmap.GetGreenMask() == 0xFF00 && bitmap.GetBlueMask() == 0xFF);
}

size_t TableBytesOf(const BitmapInfoHeader& header)
{
    if (header.biBitCount <= 8)
        return (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) * sizeof(RgbQuad);
    return header.biCompression == BI_BITFIELDS ? kMaskBytes : 0;
}

}

int BuildBitmapInfo(int depth, std::unique_ptr<uint8_t[]>& info, size_t& byteCount, int width, int height)
{
    if (depth == 0)
        depth = kScreenDepth;
    if (depth != 1 && depth != 4 && depth != 8 && depth < 16)
        return 0;
    info = std::make_unique<uint8_t[]>(kBitmapInfoBlockBytes);
    BitmapInfoHeader header = PlainHeader(depth, width, height);
    uint8_t* table = info.get() + sizeof(BitmapInfoHeader);
    byteCount = sizeof(BitmapInfoHeader);
    switch (depth) {
    case 1: {
        constexpr RgbQuad kMono[2] = { { 0, 0, 0, 0 }, { 255, 255, 255, 0 } };
        header.biClrUsed = 2;
        std::memcpy(table, kMono, sizeof kMono);
        break;
    }
    case 4:
        header.biClrUsed = 16;
        std::memcpy(table, DefaultColorTable16().data(), 16 * sizeof(RgbQuad));
        break;
    case 8:
        header.biClrUsed = 256;
        std::memcpy(table, DefaultColorTable256().data(), 256 * sizeof(RgbQuad));
        break;
    case 16:
        // Header plus 64 bytes: the three 5-6-5 masks, the rest zero.
        header.biClrUsed = 1u << 16;
        header.biCompression = BI_BITFIELDS;
        std::memcpy(table, k565Masks, sizeof k565Masks);
        byteCount = sizeof(BitmapInfoHeader) + 64;
        break;
    default:
        header.biClrUsed = kTrueColorCount;
        break;
    }
    if (depth <= 8)
        byteCount += header.biClrUsed * sizeof(RgbQuad);
    std::memcpy(info.get(), &header, sizeof header);
    return 1;
}

std::vector<uint8_t> PackedDibHeaderOf(const Bitmap& bitmap)
{
    int depth = bitmap.GetBitsPerPixel();
    BitmapInfoHeader header = PlainHeader(depth, bitmap.GetWidth(), bitmap.GetHeight());
    // 16-bit pixels keep their own masks so that the picture survives
    // unchanged; 24 and 8-8-8 32-bit pixels need none.
    if (NeedsMasks(bitmap))
        header.biCompression = BI_BITFIELDS;
    if (depth <= 8)
        header.biClrUsed = static_cast<uint32_t>(bitmap.GetColorTable().size());
    if (depth <= 8 && header.biClrUsed == (1u << depth))
        header.biClrUsed = 0;
    header.biSizeImage = static_cast<uint32_t>(bitmap.GetImageBytes());
    size_t tableBytes = TableBytesOf(header);
    std::vector<uint8_t> block(sizeof header + tableBytes);
    std::memcpy(block.data(), &header, sizeof header);
    uint8_t* table = block.data() + sizeof header;
    if (depth <= 8) {
        std::memcpy(table, bitmap.GetColorTable().data(), bitmap.GetColorTable().size() * sizeof(RgbQuad));
    } else if (header.biCompression == BI_BITFIELDS) {
        uint32_t masks[3] = { bitmap.GetRedMask(), bitmap.GetGreenMask(), bitmap.GetBlueMask() };
        std::memcpy(table, masks, sizeof masks);
    }
    return block;
}

std::vector<uint8_t> BitmapToPackedDib(const Bitmap& bitmap)
{
    std::vector<uint8_t> dib = PackedDibHeaderOf(bitmap);
    size_t headerBytes = dib.size();
    dib.resize(headerBytes + bitmap.GetImageBytes());
    uint8_t* rows = dib.data() + headerBytes;
    // Packed DIBs are bottom-up.
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        std::memcpy(rows + static_cast<size_t>(bitmap.GetHeight() - 1 - y) * static_cast<size_t>(bitmap.GetStride()),
            bitmap.Row(y), static_cast<size_t>(bitmap.GetStride()));
    return dib;
}

std::unique_ptr<Bitmap> PackedDibToBitmap(std::span<const uint8_t> packedDib)
{
    std::unique_ptr<Bitmap> dib = BmpDecoder::DecodePackedDib(packedDib);
    if (!dib)
        return nullptr;
    std::unique_ptr<Bitmap> bitmap = Bitmap::CreateCompatible(dib->GetWidth(), dib->GetHeight());
    if (!bitmap || !BlitBitmap(*bitmap, 0, 0, dib->GetWidth(), dib->GetHeight(), dib.get(), 0, 0, SRCCOPY))
        return nullptr;
    return bitmap;
}

std::unique_ptr<Bitmap> PackedDibToBitmap(const Bitmap& bitmap)
{
    std::vector<uint8_t> dib = BitmapToPackedDib(bitmap);
    return PackedDibToBitmap(dib);
}

std::vector<uint8_t> FileImageOf(std::span<const uint8_t> packedDib)
{
    if (packedDib.size() < sizeof(BitmapInfoHeader))
        return {};
    BitmapInfoHeader header;
    std::memcpy(&header, packedDib.data(), sizeof header);
    if (header.biSize < sizeof(BitmapInfoHeader) || header.biSize > packedDib.size())
        return {};
    size_t bitsOffset = kFileHeaderBytes + header.biSize + TableBytesOf(header);
    if (bitsOffset - kFileHeaderBytes > packedDib.size())
        return {};
    BitmapFileHeader file { kBmSignature, static_cast<uint32_t>(packedDib.size() + kFileHeaderBytes), 0, 0,
        static_cast<uint32_t>(bitsOffset) };
    std::vector<uint8_t> image(kFileHeaderBytes + packedDib.size());
    std::memcpy(image.data(), &file, kFileHeaderBytes);
    std::memcpy(image.data() + kFileHeaderBytes, packedDib.data(), packedDib.size());
    return image;
}

std::vector<uint8_t> FileImageOf(const Bitmap& bitmap)
{
    return FileImageOf(BitmapToPackedDib(bitmap));
}

int WriteBmpFile(std::string_view path, std::span<const uint8_t> packedDib)
{
    std::vector<uint8_t> image = FileImageOf(packedDib);
    if (image.empty())
        return 0;
    return WriteTwoParts(std::string(path), image.data(), kFileHeaderBytes, image.data() + kFileHeaderBytes,
        image.size() - kFileHeaderBytes);
}

int WriteBmpFile(std::string_view path, const Bitmap& bitmap)
{
    return WriteBmpFile(path, BitmapToPackedDib(bitmap));
}

}
