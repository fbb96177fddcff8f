#include "tools/pictures/PictureFiles.h"

#include "graphics/PackedDib.h"
#include "platform/gdi/Bitmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

namespace lumarra {

namespace {

constexpr size_t kIconDirBytes = 6;
constexpr size_t kIconEntryBytes = 16;
constexpr size_t kDibHeaderBytes = 40;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr size_t kStoredBlockMax = 65535;

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put32Big(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t {};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body)
{
    Put32Big(out, static_cast<uint32_t>(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Put32Big(out, Crc32(typed.data(), typed.size()));
}

}

std::vector<uint32_t> Flatten(const Canvas& canvas, bool keyed, uint32_t background)
{
    std::vector<uint32_t> out(static_cast<size_t>(canvas.GetWidth()) * canvas.GetHeight());
    float bg[3]
        = { (background >> 16 & 0xFF) / 255.0f, (background >> 8 & 0xFF) / 255.0f, (background & 0xFF) / 255.0f };
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            uint32_t& pixel = out[static_cast<size_t>(y) * canvas.GetWidth() + x];
            const Canvas::Pixel& p = canvas.At(x, y);
            if (keyed) {
                uint32_t rgb = canvas.RgbAt(x, y);
                // A drawn pixel must never read as the key.
                pixel = p.a < 0.5f ? kKeyMagenta : rgb == kKeyMagenta ? 0xFE00FE : rgb;
                continue;
            }
            auto channel = [&](float v, float b) {
                return static_cast<uint32_t>(std::clamp(std::lround((v + b * (1 - p.a)) * 255), 0L, 255L));
            };
            pixel = channel(p.r, bg[0]) << 16 | channel(p.g, bg[1]) << 8 | channel(p.b, bg[2]);
        }
    return out;
}

std::vector<uint8_t> EncodeBitmapResource(int width, int height, std::span<const uint32_t> rgb)
{
    std::unique_ptr<uint8_t[]> info;
    size_t infoBytes = 0;
    if (!BuildBitmapInfo(24, info, infoBytes, width, height))
        return {};
    std::unique_ptr<Bitmap> bitmap
        = Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(info.get()), infoBytes);
    if (!bitmap)
        return {};
    for (int y = 0; y < height; ++y)
        bitmap->WriteSpan(0, y, width, rgb.data() + static_cast<size_t>(y) * width);
    return BitmapToPackedDib(*bitmap);
}

std::vector<uint8_t> EncodeIconFile(std::span<const Canvas> images, bool cursor, int hotX, int hotY)
{
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, cursor ? kCursorType : kIconType);
    Put16(out, static_cast<uint32_t>(images.size()));
    std::vector<std::vector<uint8_t>> bodies;
    for (const Canvas& image : images) {
        int w = image.GetWidth(), h = image.GetHeight();
        std::vector<uint8_t> body;
        Put32(body, kDibHeaderBytes);
        Put32(body, static_cast<uint32_t>(w));
        Put32(body, static_cast<uint32_t>(h * 2));  // color rows, then mask rows
        Put16(body, 1);
        Put16(body, 32);
        for (int i = 0; i < 6; ++i)
            Put32(body, 0);
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x) {
                uint32_t rgb = image.RgbAt(x, y);
                Put32(body, static_cast<uint32_t>(image.AlphaAt(x, y)) << 24 | rgb);
            }
        size_t maskStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
        for (int y = h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < w; ++x)
                if (image.AlphaAt(x, y) < 128)
                    row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(std::move(body));
    }
    size_t offset = kIconDirBytes + kIconEntryBytes * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].GetWidth() & 0xFF));
        out.push_back(static_cast<uint8_t>(images[i].GetHeight() & 0xFF));
        out.push_back(0);
        out.push_back(0);
        Put16(out, cursor ? static_cast<uint32_t>(hotX) : 1);
        Put16(out, cursor ? static_cast<uint32_t>(hotY) : 32);
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += bodies[i].size();
    }
    for (const auto& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

namespace {

// PNG color types of the IHDR chunk.
constexpr uint8_t kPngTruecolor = 2;
constexpr uint8_t kPngTruecolorAlpha = 6;

// A PNG of filtered rows (`raw`: a filter byte 0 before each row) in stored
// deflate blocks.
std::vector<uint8_t> EncodePngRows(int width, int height, uint8_t colorType, const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> zlib { 0x78, 0x01 };
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = std::min(kStoredBlockMax, raw.size() - pos);
        zlib.push_back(pos + n == raw.size() ? 1 : 0);
        Put16(zlib, static_cast<uint32_t>(n));
        Put16(zlib, static_cast<uint32_t>(~n & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(pos),
            raw.begin() + static_cast<ptrdiff_t>(pos + n));
        pos += n;
        if (n == 0)
            break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw)
        a = (a + byte) % 65521, b = (b + a) % 65521;
    Put32Big(zlib, b << 16 | a);

    std::vector<uint8_t> out { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<uint8_t> header;
    Put32Big(header, static_cast<uint32_t>(width));
    Put32Big(header, static_cast<uint32_t>(height));
    header.insert(header.end(), { 8, colorType, 0, 0, 0 });
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

}

std::vector<uint8_t> EncodePng(int width, int height, std::span<const uint32_t> rgb)
{
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            uint32_t p = rgb[static_cast<size_t>(y) * width + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    return EncodePngRows(width, height, kPngTruecolor, raw);
}

std::vector<uint8_t> EncodePngWithAlpha(const Canvas& canvas)
{
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(canvas.GetHeight()) * (canvas.GetWidth() * 4 + 1));
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            uint32_t p = canvas.RgbAt(x, y);
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
            raw.push_back(static_cast<uint8_t>(canvas.AlphaAt(x, y)));
        }
    }
    return EncodePngRows(canvas.GetWidth(), canvas.GetHeight(), kPngTruecolorAlpha, raw);
}

bool WriteBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}
