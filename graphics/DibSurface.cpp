#include "graphics/DibSurface.h"

#include "graphics/PackedDib.h"
#include "graphics/SurfaceDC.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/gdi/BmpDecoder.h"
#include "support/FileIo.h"

#include <algorithm>
#include <climits>
#include <cstring>

// The surface's life: its lock, the open drawing context, its accessors and
// how it obtains and gives up its storage. The drawing operations live in
// DibSurfaceBlit.cpp, DibSurfaceMask.cpp, DibSurfaceShapes.cpp and
// DibSurfaceText.cpp.

namespace lumarra {

namespace {

// How long a thread waits before looking again at a surface another thread
// holds.
constexpr uint32_t kLockPollMs = 100;
// CreateFromInfo's header block: four bytes more than the other blocks.
constexpr size_t kCreateInfoBlockBytes = 1068;
constexpr size_t kFileHeaderBytes = 14;

// 2^bits as a color count; depths above 24 count as 2^24.
int ColorCountOf(int bitsPerPixel)
{
    return 1 << std::clamp(bitsPerPixel, 0, 24);
}

}

DibSurface::DibSurface() = default;

DibSurface::DibSurface(int bitDepth, int width, int height, COLORREF key)
{
    CreateBlank(bitDepth, width, height, key);
}

DibSurface::DibSurface(uint32_t resourceId, COLORREF key)
{
    LoadFromResource(resourceId, key);
}

DibSurface::DibSurface(Bitmap* bitmap, COLORREF key)
{
    AttachBitmap(bitmap, key);
}

DibSurface::~DibSurface()
{
    Release();
    // A surface destroyed by the thread that holds it (inside BeginDraw, say)
    // gives its lock back first.
    if (m_ownerThread.load() == std::this_thread::get_id()) {
        m_ownerThread.store(std::thread::id());
        m_lockDepth.store(0);
        m_lock.unlock();
    }
}

// ---------------------------------------------------------------------------
// Lock

void DibSurface::Lock()
{
    std::thread::id me = std::this_thread::get_id();
    for (;;) {
        std::thread::id owner = m_ownerThread.load();
        if (owner == std::thread::id() || owner == me)
            break;
        Sleep(kLockPollMs);
    }
    if (m_ownerThread.load() != me) {
        m_lock.lock();
        m_ownerThread.store(me);
        m_lockDepth.store(0);
    }
    m_lockDepth.fetch_add(1);
}

void DibSurface::Unlock()
{
    if (m_ownerThread.load() != std::this_thread::get_id())
        return;
    if (m_lockDepth.fetch_sub(1) == 1) {
        m_ownerThread.store(std::thread::id());
        m_lock.unlock();
    }
}

void DibSurface::BeginDraw()
{
    Lock();
    CloseOpenDC();
    m_openDC = std::make_unique<SurfaceDC>(*this);
    SelectPaletteInto(**m_openDC);
}

void DibSurface::EndDraw()
{
    CloseOpenDC();
    Unlock();
}

void DibSurface::CloseOpenDC()
{
    if (m_openDC) {
        m_openDC->Close();
        m_openDC.reset();
    }
}

// ---------------------------------------------------------------------------
// Accessors

int DibSurface::GetWidth() const
{
    return m_storage.GetBitmap() ? m_storage.GetWidth() : 0;
}

int DibSurface::GetHeight() const
{
    return m_storage.GetBitmap() ? m_storage.GetHeight() : 0;
}

size_t DibSurface::GetImageSize() const
{
    const BitmapInfo* info = m_storage.GetInfo();
    if (!info)
        return 0;
    const BitmapInfoHeader& header = info->bmiHeader;
    int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    return static_cast<size_t>(DibStride(header.biBitCount, header.biWidth) * height);
}

uint8_t* DibSurface::GetBits(size_t* outSize) const
{
    if (outSize)
        *outSize = GetImageSize();
    return m_storage.GetInfo() ? m_storage.GetBits() : nullptr;
}

uint8_t* DibSurface::GetPixelAddress(int x, int y) const
{
    // The bitmap knows its row order, so top-down pictures are addressed
    // the right way up too.
    Bitmap* bitmap = m_storage.GetBitmap();
    if (!m_storage.GetInfo() || !m_storage.GetBits() || !bitmap || x < 0 || y < 0 || x >= bitmap->GetWidth()
        || y >= bitmap->GetHeight())
        return nullptr;
    return bitmap->Row(y) + static_cast<size_t>(x) * static_cast<size_t>(bitmap->GetBitsPerPixel()) / 8;
}

void DibSurface::SelectPaletteInto(DrawContext& dc)
{
    if (const Palette* palette = m_storage.GetPalette()) {
        dc.SelectPalette(palette, false);
        dc.RealizePalette();
    }
}

COLORREF DibSurface::NearestColor(COLORREF color) const
{
    const Palette* palette = m_storage.GetPalette();
    if (!palette)
        return color;
    const PaletteEntry& entry = palette->Entry(palette->NearestIndex(color));
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

// ---------------------------------------------------------------------------
// Storage

int DibSurface::CreateFromInfo(const BitmapInfo* info, const uint8_t* bits, COLORREF key)
{
    if (!GetStorageFlags().empty())
        Release();
    if (!info || info->bmiHeader.biSize < sizeof(BitmapInfoHeader))
        return 0;
    int64_t bytes = DibStorage::InfoBytesOf(info->bmiHeader);
    // A header that would not fit the block is corrupt.
    if (bytes > static_cast<int64_t>(kCreateInfoBlockBytes))
        return 0;
    auto block = std::make_unique<uint8_t[]>(kCreateInfoBlockBytes);
    std::memcpy(block.get(), info, static_cast<size_t>(bytes));
    auto* copy = reinterpret_cast<BitmapInfo*>(block.get());

    std::unique_ptr<Bitmap> section = Bitmap::CreateDibSection(*copy, kCreateInfoBlockBytes);
    if (!section)
        return 0;
    if (copy->bmiHeader.biHeight < 0)
        copy->bmiHeader.biHeight = -copy->bmiHeader.biHeight;
    if (bits)
        std::memcpy(section->GetBits(), bits, section->GetImageBytes());

    int colorCount = static_cast<int>(std::min<int64_t>(DibStorage::ColorCountOf(info->bmiHeader), INT_MAX));
    m_storage.Adopt(DibStorage::Own(std::move(section)), DibStorage::Own(std::move(block)), kCreateInfoBlockBytes,
        colorCount, "CREATE_BITMAP|ALLOC_INFO");
    SetTransparentColor(key);
    return 1;
}

int DibSurface::CreateBlank(int bitDepth, int width, int height, COLORREF key)
{
    std::unique_ptr<uint8_t[]> info;
    size_t byteCount = 0;
    if (!BuildBitmapInfo(bitDepth, info, byteCount, width, height))
        return 0;
    return CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.get()), nullptr, key);
}

int DibSurface::CreateFromPackedDib(std::span<const uint8_t> packedDib, COLORREF key)
{
    if (packedDib.size() < sizeof(BitmapInfoHeader))
        return 0;
    BitmapInfoHeader header;
    std::memcpy(&header, packedDib.data(), sizeof header);
    if (header.biSize < sizeof header || header.biBitCount > 32)
        return 0;
    int64_t offset = DibStorage::InfoBytesOf(header);
    int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    if (header.biWidth <= 0 || header.biWidth > Bitmap::kMaxDimension || height > Bitmap::kMaxDimension)
        return 0;
    int64_t image = DibStride(header.biBitCount, header.biWidth) * height;
    // The header, its table and every pixel row must lie inside the block.
    if (offset > static_cast<int64_t>(packedDib.size()) || image > static_cast<int64_t>(packedDib.size()) - offset)
        return 0;
    std::vector<uint8_t> info(kCreateInfoBlockBytes);
    std::memcpy(info.data(), packedDib.data(), static_cast<size_t>(std::min<int64_t>(offset, kCreateInfoBlockBytes)));
    return CreateFromInfo(reinterpret_cast<const BitmapInfo*>(info.data()), packedDib.data() + offset, key);
}

int DibSurface::LoadFromResource(uint32_t id, COLORREF key)
{
    if (!GetStorageFlags().empty())
        Release();
    ResourceData resource = FindResource(kResourceBitmap, id);
    if (!resource)
        return 0;
    // BITMAP resources are packed DIBs; a whole .bmp file is taken as well.
    std::span<const uint8_t> data(resource.data, resource.size);
    bool wholeFile = data.size() >= kFileHeaderBytes && data[0] == 'B' && data[1] == 'M';
    std::unique_ptr<Bitmap> bitmap = wholeFile ? BmpDecoder::DecodeFile(data) : BmpDecoder::DecodePackedDib(data);
    if (wholeFile)
        data = data.subspan(kFileHeaderBytes);
    const auto* info = reinterpret_cast<const BitmapInfo*>(data.data());
    if (!bitmap || data.size() < sizeof(BitmapInfoHeader) || info->bmiHeader.biSize < sizeof(BitmapInfoHeader))
        return 0;
    // The header stays the resource's own.
    int colorCount = ColorCountOf(bitmap->GetBitsPerPixel());
    m_storage.Adopt(DibStorage::Own(std::move(bitmap)), DibStorage::Borrow(data.data()), data.size(), colorCount,
        "RESOURCE_BITMAP");
    SetTransparentColor(key);
    return 1;
}

int DibSurface::LoadFromResource(std::string_view name, COLORREF key)
{
    // Resources carry integer names; "#123" names resource 123.
    if (name.size() < 2 || name[0] != '#')
        return 0;
    uint32_t id = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9' || id > 0xFFFF)
            return 0;
        id = id * 10 + static_cast<uint32_t>(c - '0');
    }
    return id <= 0xFFFF ? LoadFromResource(id, key) : 0;
}

int DibSurface::LoadFromFile(std::string_view path, COLORREF key)
{
    if (!GetStorageFlags().empty())
        Release();
    std::string file(path);
    if (!FileExists(file))
        return 0;
    uint8_t fileHeader[kFileHeaderBytes];
    if (ReadFileAt(file, fileHeader, 0, sizeof fileHeader) != static_cast<int>(sizeof fileHeader)
        || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return 0;
    size_t length = 0;
    std::unique_ptr<uint8_t[]> bytes = ReadWholeFile(file, length);
    if (!bytes)
        return 0;
    std::unique_ptr<Bitmap> bitmap = BmpDecoder::DecodeFile({ bytes.get(), length });
    if (!bitmap)
        return 0;
    // The header describes the pixels the surface holds (whatever header
    // version, compression or row order the file used), so that sizes read
    // from it always match the pixel array. The rows keep the file's order,
    // and a negative height says when that is top-down.
    std::vector<uint8_t> header = PackedDibHeaderOf(*bitmap);
    auto block = std::make_unique<uint8_t[]>(kBitmapInfoBlockBytes);
    std::memcpy(block.get(), header.data(), std::min(header.size(), kBitmapInfoBlockBytes));
    if (bitmap->IsTopDown()) {
        auto* described = reinterpret_cast<BitmapInfoHeader*>(block.get());
        described->biHeight = -described->biHeight;
    }
    int colorCount = ColorCountOf(bitmap->GetBitsPerPixel());
    m_storage.Adopt(DibStorage::Own(std::move(bitmap)), DibStorage::Own(std::move(block)), kBitmapInfoBlockBytes,
        colorCount, file + "|ALLOC_INFO|LOAD_FILE");
    SetTransparentColor(key);
    return 1;
}

int DibSurface::AttachBitmap(Bitmap* bitmap, COLORREF key)
{
    if (!GetStorageFlags().empty())
        Release();
    if (!bitmap)
        return 0;
    return AttachHeld(DibStorage::Borrow(bitmap), "ATTACH_BITMAP|ALLOC_INFO", key);
}

int DibSurface::AttachBitmap(std::span<const uint8_t> packedDib, COLORREF key)
{
    if (!GetStorageFlags().empty())
        Release();
    if (packedDib.empty())
        return 0;
    std::unique_ptr<Bitmap> bitmap = PackedDibToBitmap(packedDib);
    if (!bitmap)
        return 0;
    // The surface made this bitmap, so it deletes it.
    return AttachHeld(DibStorage::Own(std::move(bitmap)), "CREATE_BITMAP|ALLOC_INFO", key);
}

// Adopts a bitmap that came without a header, described by a fresh one for
// its depth and size.
int DibSurface::AttachHeld(DibStorage::HeldBitmap bitmap, std::string flags, COLORREF key)
{
    std::unique_ptr<uint8_t[]> info;
    size_t byteCount = 0;
    if (!BuildBitmapInfo(bitmap->GetBitsPerPixel(), info, byteCount, bitmap->GetWidth(), bitmap->GetHeight()))
        return 0;
    int colorCount = ColorCountOf(bitmap->GetBitsPerPixel());
    m_storage.Adopt(std::move(bitmap), DibStorage::Own(std::move(info)), kBitmapInfoBlockBytes, colorCount,
        std::move(flags));
    SetTransparentColor(key);
    return 1;
}

int DibSurface::Release()
{
    // Only what the surface created or allocated is owned here: an attached
    // bitmap and a resource's header never are.
    m_storage.Release();
    // The lock level BeginDraw took stays held.
    CloseOpenDC();
    return 1;
}

std::unique_ptr<Bitmap> DibSurface::Detach()
{
    std::unique_ptr<Bitmap> bitmap = m_storage.DetachBitmap();
    Release();
    return bitmap;
}

// ---------------------------------------------------------------------------
// .bmp file image

std::vector<uint8_t> DibSurface::ToFileImage(size_t* outSize)
{
    std::vector<uint8_t> image;
    if (Bitmap* bitmap = m_storage.GetBitmap())
        image = FileImageOf(*bitmap);
    if (outSize)
        *outSize = image.size();
    return image;
}

int DibSurface::SaveToFile(std::string_view path)
{
    Bitmap* bitmap = m_storage.GetBitmap();
    return bitmap ? WriteBmpFile(path, *bitmap) : 0;
}

}
