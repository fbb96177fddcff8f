#include "tests/img/ImgTestPictures.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <random>

namespace lumarra::test {

std::vector<ImgColor> MakePalette(int colorCount, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<ImgColor> colors(static_cast<size_t>(colorCount));
    for (ImgColor& color : colors)
        color = { static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()) };
    colors[0] = {};
    return colors;
}

IndexedPicture MakeNoisePicture(int width, int height, int colorCount, uint32_t seed)
{
    IndexedPicture picture { width, height, {}, MakePalette(colorCount, seed) };
    std::mt19937 random(seed);
    picture.indices.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (uint8_t& index : picture.indices)
        index = static_cast<uint8_t>(random() % static_cast<uint32_t>(colorCount));
    return picture;
}

IndexedPicture MakeFlatPicture(int width, int height, int colorCount, uint8_t index)
{
    IndexedPicture picture { width, height, {}, MakePalette(colorCount, 7) };
    picture.indices.assign(static_cast<size_t>(width) * static_cast<size_t>(height), index);
    return picture;
}

IndexedPicture MakeSheetPicture(int width, int height, int colorCount, uint32_t seed)
{
    constexpr int kColumns = 5;
    constexpr int kRows = 11;
    constexpr int kCards = 51;
    IndexedPicture picture { width, height, {}, MakePalette(colorCount, seed) };
    picture.indices.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    std::mt19937 random(seed);
    int cellW = width / kColumns;
    int cellH = height / kRows;
    auto color = [&] { return static_cast<uint8_t>(1 + random() % static_cast<uint32_t>(colorCount - 1)); };
    for (int cell = 0; cell < kCards; ++cell) {
        int x0 = cell % kColumns * cellW;
        int y0 = cell / kColumns * cellH;
        uint8_t paper = color();
        uint8_t shade = color();
        struct Disc {
            int x, y, r;
            uint8_t index;
        } discs[4];
        for (Disc& disc : discs)
            disc = { static_cast<int>(random() % static_cast<uint32_t>(cellW)),
                static_cast<int>(random() % static_cast<uint32_t>(cellH)),
                cellW / 8 + static_cast<int>(random() % static_cast<uint32_t>(cellW / 3 + 1)), color() };
        for (int y = 0; y < cellH; ++y) {
            uint8_t* row = picture.indices.data() + static_cast<size_t>(y0 + y) * static_cast<size_t>(width) + x0;
            for (int x = 0; x < cellW; ++x) {
                // Ordered dither between paper and shade, darker downwards.
                bool dark = ((x ^ y) & 3) * cellH < y * 2;
                uint8_t index = dark ? shade : paper;
                for (const Disc& disc : discs) {
                    int dx = x - disc.x, dy = y - disc.y;
                    // Figures carry a grain of neighbouring colors, as
                    // drawn pictures reduced to a palette do.
                    if (dx * dx + dy * dy < disc.r * disc.r)
                        index = static_cast<uint8_t>(1 + (disc.index + random() % 3) % (colorCount - 1));
                }
                if (x < 2 || y < 2 || x >= cellW - 2 || y >= cellH - 2)
                    index = 0;
                row[x] = index;
            }
        }
    }
    return picture;
}

IndexedPicture MakeTestSheet(const TestSheet& sheet)
{
    return MakeSheetPicture(sheet.width, sheet.height, sheet.colorCount, sheet.id);
}

std::vector<uint8_t> MakeTestBitmap()
{
    const uint32_t stride = kTestBitmapWidth * 3;
    const uint32_t imageSize = stride * kTestBitmapHeight;
    std::vector<uint8_t> dib(40 + imageSize, 0);
    auto put32 = [&](size_t at, uint32_t value) { std::memcpy(dib.data() + at, &value, 4); };
    put32(0, 40);
    put32(4, kTestBitmapWidth);
    put32(8, kTestBitmapHeight);
    dib[12] = 1;
    dib[14] = 24;
    put32(20, imageSize);
    for (int y = 0; y < kTestBitmapHeight; ++y) {
        uint8_t* row = dib.data() + 40 + static_cast<size_t>(kTestBitmapHeight - 1 - y) * stride;
        for (int x = 0; x < kTestBitmapWidth; ++x) {
            ImgColor color { static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x + y) };
            if (y < kTestBitmapBand)
                color = { 255, 255, 255 };
            else if (y < 2 * kTestBitmapBand)
                color = {};
            else if (y < 3 * kTestBitmapBand)
                color = kTestBitmapGrey;
            row[x * 3 + 0] = color.blue;
            row[x * 3 + 1] = color.green;
            row[x * 3 + 2] = color.red;
        }
    }
    return dib;
}

namespace {

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int count)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

struct ReadCursor {
    std::span<const uint8_t> data;
    size_t pos = 0;
};

int ReadFromSpan(GifFileType* gif, GifByteType* bytes, int count)
{
    auto* cursor = static_cast<ReadCursor*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count), cursor->data.size() - cursor->pos);
    std::memcpy(bytes, cursor->data.data() + cursor->pos, n);
    cursor->pos += n;
    return static_cast<int>(n);
}

}

std::vector<uint8_t> GiflibEncode(const IndexedPicture& picture)
{
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    if (!gif)
        return {};
    int tableSize = 2;
    while (tableSize < static_cast<int>(picture.colors.size()))
        tableSize *= 2;
    std::vector<GifColorType> entries(static_cast<size_t>(tableSize), GifColorType { 0, 0, 0 });
    for (size_t i = 0; i < picture.colors.size(); ++i)
        entries[i] = { picture.colors[i].red, picture.colors[i].green, picture.colors[i].blue };
    ColorMapObject* map = GifMakeMapObject(tableSize, entries.data());
    EGifSetGifVersion(gif, true);
    bool ok = map && EGifPutScreenDesc(gif, picture.width, picture.height, map->BitsPerPixel, 0, map) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(static_cast<size_t>(picture.width));
    for (int y = 0; ok && y < picture.height; ++y) {
        std::copy_n(picture.indices.begin() + static_cast<long>(y) * picture.width, picture.width, row.begin());
        ok = EGifPutLine(gif, row.data(), picture.width) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok ? out : std::vector<uint8_t> {};
}

bool GiflibDecode(std::span<const uint8_t> gif, int& width, int& height, std::vector<uint8_t>& indices)
{
    ReadCursor cursor { gif };
    int error = 0;
    GifFileType* file = DGifOpen(&cursor, ReadFromSpan, &error);
    if (!file)
        return false;
    bool ok = DGifSlurp(file) == GIF_OK && file->ImageCount == 1;
    if (ok) {
        const SavedImage& image = file->SavedImages[0];
        width = image.ImageDesc.Width;
        height = image.ImageDesc.Height;
        indices.assign(image.RasterBits, image.RasterBits + static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    DGifCloseFile(file, &error);
    return ok;
}

void SetSignature(std::vector<uint8_t>& stream, std::string_view signature)
{
    std::copy_n(signature.begin(), std::min<size_t>(6, signature.size()), stream.begin());
}

void CodePacker::Put(uint32_t code, int width)
{
    m_bits |= static_cast<uint64_t>(code) << m_count;
    m_count += width;
    while (m_count >= 8) {
        m_bytes.push_back(static_cast<uint8_t>(m_bits));
        m_bits >>= 8;
        m_count -= 8;
    }
}

std::vector<uint8_t> CodePacker::Finish()
{
    if (m_count > 0)
        m_bytes.push_back(static_cast<uint8_t>(m_bits));
    m_bits = 0;
    m_count = 0;
    return std::move(m_bytes);
}

std::vector<uint8_t> WrapImageData(int width, int height, int colorCount, int minCodeSize,
    std::span<const uint8_t> lzwBytes)
{
    int bits = 1;
    while ((1 << bits) < colorCount)
        ++bits;
    std::vector<uint8_t> out = { 'I', 'M', 'G', '0', '0', '0', static_cast<uint8_t>(width),
        static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8),
        static_cast<uint8_t>(0x80 | (bits - 1)), 0, 0 };
    for (int i = 0; i < (1 << bits); ++i)
        out.insert(out.end(), 3, static_cast<uint8_t>(i));
    out.insert(out.end(),
        { 0x2C, 0, 0, 0, 0, static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(height),
            static_cast<uint8_t>(height >> 8), 0, static_cast<uint8_t>(minCodeSize) });
    for (size_t at = 0; at < lzwBytes.size(); at += 255) {
        size_t n = std::min<size_t>(255, lzwBytes.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), lzwBytes.begin() + static_cast<long>(at), lzwBytes.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

}
