#include "graphics/PictureCache.h"

#include "graphics/DibSurface.h"
#include "graphics/ImgDecoder.h"
#include "platform/AtomicFile.h"
#include "platform/NativePath.h"
#include "platform/Resources.h"
#include "platform/gdi/GdiTypes.h"
#include "support/FileIo.h"
#include "support/FilePaths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

namespace lumarra {

namespace {

constexpr uint32_t kResourceIdMask = 0xFFFF;
constexpr size_t kSizeFieldBytes = 4;
// A tinted file carries a 24-bit header and one zero color entry.
constexpr uint32_t kTintedInfoSize = 44;
constexpr int kTintedBitDepth = 24;
constexpr int kIndexedBitDepth = 8;
constexpr int kLoadedBitDepth = 16;
constexpr uint32_t kMaxIndexedColors = 256;
// The tinted sheets lose a little green and blue: slightly darker, reddish.
constexpr int kTintDelta = -10;

struct PrebuiltTint {
    uint32_t sourceId;
    uint32_t cacheId;
};
// Deck sheets at 750 x 2310, 640 x 1980 and 250 x 770 for each of the three
// proverb decks, largest first.
constexpr uint32_t kPrebuiltSheets[] = { 301, 300, 299, 304, 303, 302, 307, 306, 305 };
// The fourth deck's table-size sheet is a BITMAP resource.
constexpr PrebuiltTint kTintedBitmap = { 280, 0xF0000118 };
constexpr PrebuiltTint kTintedSheets[] = { { 300, 0xF000012C }, { 303, 0xF000012F }, { 306, 0xF0000132 } };

uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
        | static_cast<uint32_t>(p[3]) << 24;
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Header sizes a cache file can hold: the 24-bit tinted header, or an 8-bit
// header with a table of 2, 4, ... 256 entries.
bool IsCacheInfoSize(uint32_t size)
{
    if (size == kTintedInfoSize)
        return true;
    for (uint32_t entries = 2; entries <= kMaxIndexedColors; entries *= 2) {
        if (size == kBitmapInfoHeaderSize + 4 * entries)
            return true;
    }
    return false;
}

// A cache file that was written whole: a known header size, a header that
// fits it, and exactly the pixel bytes that header describes.
bool IsWholeCacheFile(const uint8_t* file, size_t length)
{
    if (length < kSizeFieldBytes + kBitmapInfoHeaderSize)
        return false;
    uint32_t infoSize = ReadLe32(file);
    if (!IsCacheInfoSize(infoSize) || length < kSizeFieldBytes + infoSize)
        return false;
    BitmapInfoHeader header;
    std::memcpy(&header, file + kSizeFieldBytes, sizeof header);
    int depth = infoSize == kTintedInfoSize ? kTintedBitDepth : kIndexedBitDepth;
    if (header.biSize != kBitmapInfoHeaderSize || header.biPlanes != 1 || header.biBitCount != depth
        || header.biCompression != 0 || header.biWidth <= 0 || header.biHeight == 0)
        return false;
    if (depth == kIndexedBitDepth && header.biClrUsed > kMaxIndexedColors)
        return false;
    uint64_t rows = static_cast<uint64_t>(std::abs(static_cast<int64_t>(header.biHeight)));
    uint64_t pixelBytes = static_cast<uint64_t>(DibStride(depth, header.biWidth)) * rows;
    return length - kSizeFieldBytes - infoSize == pixelBytes;
}

// A picture laid out as its cache file: the size field and header, then the
// pixel rows.
class CacheImage {
public:
    // Decodes IMG resource (id & 0xFFFF).
    int Decode(uint32_t id)
    {
        ResourceData resource = FindResource(kResourceImg, id & kResourceIdMask);
        std::vector<uint8_t> info;
        uint32_t infoSize = 0;
        if (!resource || !m_decoder.Parse({ resource.data, resource.size }) || !m_decoder.MakeInfo(info, infoSize))
            return 0;
        m_head.clear();
        AppendLe32(m_head, infoSize);
        m_head.insert(m_head.end(), info.begin(), info.begin() + infoSize);

        size_t width = static_cast<size_t>(m_decoder.GetWidth());
        size_t height = static_cast<size_t>(m_decoder.GetHeight());
        size_t stride = static_cast<size_t>(DibStride(kIndexedBitDepth, m_decoder.GetWidth()));
        std::span<const uint8_t> indices = m_decoder.GetIndices();
        if (stride == width) {
            m_pixels = indices;
            return 1;
        }
        m_padded.assign(stride * height, 0);
        for (size_t y = 0; y < height; ++y)
            std::copy_n(indices.begin() + static_cast<long>(y * width), width,
                m_padded.begin() + static_cast<long>(y * stride));
        m_pixels = m_padded;
        return 1;
    }

    // Takes a 24-bit surface as it stands.
    void TakeTinted(const DibSurface& surface)
    {
        m_head.clear();
        AppendLe32(m_head, kTintedInfoSize);
        const auto* info = reinterpret_cast<const uint8_t*>(surface.GetInfo());
        m_head.insert(m_head.end(), info, info + kTintedInfoSize);
        size_t size = 0;
        uint8_t* bits = surface.GetBits(&size);
        m_pixels = { bits, size };
    }

    // errno tells why when it fails.
    int Store(uint32_t id) const
    {
        std::string path = GetPictureCachePath(id);
        std::string folder;
        if (path.empty() || !GetFolder(path, folder)) {
            errno = ENOENT;
            return 0;
        }
        // The Data folder comes with the sounds, but a cache must not depend
        // on it having survived. Like the files, it is open to every user.
        std::error_code error;
        std::filesystem::path native = ToNativePath(folder);
        if (std::filesystem::create_directories(native, error))
            std::filesystem::permissions(native, std::filesystem::perms::all, error);
        return WriteTwoParts(path, m_head.data(), m_head.size(), m_pixels.data(), m_pixels.size());
    }

    std::span<const uint8_t> GetHead() const { return m_head; }
    std::span<const uint8_t> GetPixels() const { return m_pixels; }

private:
    ImgDecoder m_decoder;
    std::vector<uint8_t> m_head;
    std::vector<uint8_t> m_padded;
    std::span<const uint8_t> m_pixels;
};

// Converts a picture in cache layout into `surface` at 16 bits per pixel.
int ShowCachedPicture(DibSurface& surface, std::span<const uint8_t> head, const uint8_t* pixels)
{
    // The header is handed over in a full-sized block: the surface reads a
    // whole 256-entry table behind an 8-bit header, more than the file holds.
    alignas(BitmapInfo) uint8_t info[kBitmapInfoBlockSize + 4] = {};
    std::copy(head.begin() + kSizeFieldBytes, head.end(), info);
    const auto* header = reinterpret_cast<const BitmapInfo*>(info);
    DibSurface picture;
    if (!picture.CreateFromInfo(header, pixels, kNoColor))
        return 0;
    int width = header->bmiHeader.biWidth;
    int height = std::abs(header->bmiHeader.biHeight);
    if (!surface.CreateBlank(kLoadedBitDepth, width, height, kNoColor))
        return 0;
    surface.DrawSurface(picture, 0, 0, 0, 0, 0, 0, SRCCOPY);
    picture.Release();
    return 1;
}

uint8_t ClampChannel(int value)
{
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// What writing one cache file came to. A picture missing from the program
// is no fault of the file system; a failed write is, and errno says why.
enum class CacheWrite {
    Written,
    NoPicture,
    Failed,
};

int Succeeded(CacheWrite result)
{
    return result == CacheWrite::Written ? 1 : 0;
}

CacheWrite StoreImage(const CacheImage& image, uint32_t id)
{
    return image.Store(id) ? CacheWrite::Written : CacheWrite::Failed;
}

CacheWrite WriteDecodedCache(uint32_t id)
{
    CacheImage image;
    return image.Decode(id) ? StoreImage(image, id) : CacheWrite::NoPicture;
}

// Copies `source` into a 24-bit surface, shifts every pixel's channels and
// writes the result as cache file `cacheId`.
CacheWrite WriteTintedCache(DibSurface& source, uint32_t cacheId, int red, int green, int blue)
{
    int width = source.GetWidth();
    int height = source.GetHeight();
    DibSurface work;
    errno = ENOMEM;
    if (!work.CreateBlank(kTintedBitDepth, width, height, kNoColor))
        return CacheWrite::Failed;
    work.DrawSurface(source, 0, 0, 0, 0, 0, 0, SRCCOPY);
    size_t stride = static_cast<size_t>(DibStride(kTintedBitDepth, width));
    uint8_t* bits = work.GetBits();
    if (!bits || !work.GetInfo())
        return CacheWrite::Failed;
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = bits + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x, pixel += 3) {
            pixel[0] = ClampChannel(pixel[0] + blue);
            pixel[1] = ClampChannel(pixel[1] + green);
            pixel[2] = ClampChannel(pixel[2] + red);
        }
    }
    CacheImage image;
    image.TakeTinted(work);
    CacheWrite stored = StoreImage(image, cacheId);
    int error = errno;
    work.Release();
    source.Release();
    errno = error;
    return stored;
}

CacheWrite WriteTintedBitmapCache(uint32_t resourceId, uint32_t cacheId, int red, int green, int blue)
{
    DibSurface source;
    if (!source.LoadFromResource(resourceId, kNoColor))
        return CacheWrite::NoPicture;
    return WriteTintedCache(source, cacheId, red, green, blue);
}

CacheWrite WriteTintedImgCache(uint32_t imgId, uint32_t cacheId, int red, int green, int blue)
{
    DibSurface source;
    if (!LoadPicture(source, imgId))
        return CacheWrite::NoPicture;
    return WriteTintedCache(source, cacheId, red, green, blue);
}

}

std::string GetPictureCachePath(uint32_t id)
{
    std::string folder = GetModuleFolder();
    if (folder.empty())
        return {};
    char name[32];
    std::snprintf(name, sizeof name, "Data\\%08X.dat", id);
    return JoinPath(folder, name);
}

int WritePictureCache(uint32_t id)
{
    return Succeeded(WriteDecodedCache(id));
}

int LoadPicture(DibSurface& surface, uint32_t id)
{
    std::string path = GetPictureCachePath(id);
    if (path.empty())
        return 0;
    size_t length = 0;
    std::unique_ptr<uint8_t[]> file = ReadWholeFile(path, length);
    if (file && IsWholeCacheFile(file.get(), length)) {
        size_t headSize = kSizeFieldBytes + ReadLe32(file.get());
        return ShowCachedPicture(surface, { file.get(), headSize }, file.get() + headSize);
    }
    file.reset();

    // Missing or damaged: decode afresh. A cache that cannot be written (a
    // read-only program folder) still leaves the picture to show.
    CacheImage image;
    if (!image.Decode(id))
        return 0;
    image.Store(id);
    return ShowCachedPicture(surface, image.GetHead(), image.GetPixels().data());
}

int BuildTintedBitmapCache(uint32_t resourceId, uint32_t cacheId, int red, int green, int blue)
{
    return Succeeded(WriteTintedBitmapCache(resourceId, cacheId, red, green, blue));
}

int BuildTintedImgCache(uint32_t imgId, uint32_t cacheId, int red, int green, int blue)
{
    return Succeeded(WriteTintedImgCache(imgId, cacheId, red, green, blue));
}

int PrebuildPictureCache(std::vector<PictureCacheFailure>* failures)
{
    std::string folder;
    if (GetFolder(GetPictureCachePath(0), folder))
        RemoveStaleTemporaries(ToNativePath(folder));
    int written = 1;
    auto record = [&](CacheWrite result, uint32_t id) {
        written &= Succeeded(result);
        if (result == CacheWrite::Failed && failures)
            failures->push_back({ GetPictureCachePath(id), errno });
    };
    for (uint32_t id : kPrebuiltSheets)
        record(WriteDecodedCache(id), id);
    record(WriteTintedBitmapCache(kTintedBitmap.sourceId, kTintedBitmap.cacheId, 0, kTintDelta, kTintDelta),
        kTintedBitmap.cacheId);
    for (const PrebuiltTint& tint : kTintedSheets)
        record(WriteTintedImgCache(tint.sourceId, tint.cacheId, 0, kTintDelta, kTintDelta), tint.cacheId);
    return written;
}

}
