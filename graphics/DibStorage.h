#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Palette.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A surface's bitmap storage, kept apart from the operations on it.

namespace lumarra {

// Deletes what it holds only when its holder owns it; DibStorage borrows
// attached bitmaps and resource headers.
struct DeleteIfOwned {
    bool owned = false;
    void operator()(Bitmap* bitmap) const
    {
        if (owned)
            delete bitmap;
    }
    void operator()(const uint8_t* block) const
    {
        if (owned)
            delete[] block;
    }
};

// What a DibSurface holds: its bitmap, the header block describing it, the
// palette built from that header, the transparency mask, and the storage
// flags saying who frees what. The bitmap and the header are each either
// the storage's own or borrowed (an attached bitmap, a resource's header);
// Release deletes only what the storage owns.
class DibStorage {
public:
    using HeldBitmap = std::unique_ptr<Bitmap, DeleteIfOwned>;
    using HeldInfo = std::unique_ptr<const uint8_t[], DeleteIfOwned>;

    static HeldBitmap Own(std::unique_ptr<Bitmap> bitmap);
    static HeldBitmap Borrow(Bitmap* bitmap);
    static HeldInfo Own(std::unique_ptr<uint8_t[]> info);
    static HeldInfo Borrow(const uint8_t* info);

    // Colors a header's table stands for: biClrUsed, or 2^biBitCount when
    // that is 0.
    static int64_t ColorCountOf(const BitmapInfoHeader& header);
    // Bytes of the header and what follows it before the pixels: room for
    // the masks of a compressed header, the color table below 16 bits.
    static int64_t InfoBytesOf(const BitmapInfoHeader& header);

    DibStorage() = default;
    DibStorage(const DibStorage&) = delete;
    DibStorage& operator=(const DibStorage&) = delete;

    // Takes `bitmap`, described by the first `infoBytes` of `info`, in place
    // of what was held (the mask too), and builds the palette of its
    // `colorCount` colors.
    void Adopt(HeldBitmap bitmap, HeldInfo info, size_t infoBytes, int colorCount, std::string flags);
    // Lets go of everything. The sizes, color count and description keep
    // their last values; the surface's accessors test the bitmap or the
    // header before reporting them.
    void Release();
    // The bitmap when the storage owned it (null otherwise); the storage no
    // longer holds a bitmap.
    std::unique_ptr<Bitmap> DetachBitmap();
    void SetMask(std::unique_ptr<Bitmap> mask) { m_mask = std::move(mask); }

    Bitmap* GetBitmap() const { return m_bitmap.get(); }
    const BitmapInfo* GetInfo() const { return reinterpret_cast<const BitmapInfo*>(m_info.get()); }
    size_t GetInfoBytes() const { return m_infoBytes; }
    uint8_t* GetBits() const { return m_bits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetColorCount() const { return m_colorCount; }
    const BitmapDesc& GetBitmapDesc() const { return m_bitmapDesc; }
    const Palette* GetPalette() const { return m_palette.get(); }
    Bitmap* GetMask() const { return m_mask.get(); }
    const std::string& GetStorageFlags() const { return m_storageFlags; }

private:
    void BuildPalette();

    HeldBitmap m_bitmap;
    HeldInfo m_info;
    size_t m_infoBytes = 0;
    uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_colorCount = 0;
    BitmapDesc m_bitmapDesc;
    std::unique_ptr<Palette> m_palette;
    std::unique_ptr<Bitmap> m_mask;
    std::string m_storageFlags;
};

}
