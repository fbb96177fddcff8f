#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumarra {

// The system's own description of a bitmap: type, size, bytes per row,
// planes, bits per pixel and the pixel pointer (null for a device-dependent
// bitmap, whose pixels only the drawing layer addresses).
struct BitmapDesc {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;
    uint16_t bmPlanes = 0;
    uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};

// A block of pixels in one of the device-independent formats: 1, 4 and 8 bits
// through a color table, 16 and 32 bits through bit-field masks (5-6-5 and
// 8-8-8 unless the header gives others), 24 bits as blue, green, red bytes.
// Rows are padded to 4 bytes and stored bottom-up unless the header's height
// is negative. Coordinates are always counted from the top row.
class Bitmap {
public:
    // Largest pixel array a bitmap may hold.
    static constexpr int64_t kMaxImageBytes = int64_t { 256 } << 20;
    // Widest and tallest bitmap accepted; larger headers are corrupt.
    static constexpr int kMaxDimension = 1 << 16;

    // A DIB section: allocates zeroed pixels described by `info` (header plus
    // color table, or the three masks after the header for BI_BITFIELDS).
    // `infoBytes` bounds how much of `info` may be read. Null for an
    // unsupported or absurd description.
    static std::unique_ptr<Bitmap> CreateDibSection(const BitmapInfo& info, size_t infoBytes);

    // A device-dependent bitmap in the screen's format (32 bits, 8-8-8).
    static std::unique_ptr<Bitmap> CreateCompatible(int width, int height);

    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }
    int GetStride() const { return m_stride; }
    bool IsTopDown() const { return m_topDown; }
    bool IsDeviceDependent() const { return m_deviceDependent; }
    size_t GetImageBytes() const { return static_cast<size_t>(m_stride) * static_cast<size_t>(m_height); }

    uint8_t* GetBits() { return m_bits; }
    const uint8_t* GetBits() const { return m_bits; }
    // First byte of row `y` counted from the top.
    uint8_t* Row(int y) { return m_bits + RowOffset(y); }
    const uint8_t* Row(int y) const { return m_bits + RowOffset(y); }

    BitmapDesc Describe() const;

    // Color table of an indexed bitmap (empty for 16 bits and up).
    const std::vector<RgbQuad>& GetColorTable() const { return m_colorTable; }
    void SetColorTable(const RgbQuad* entries, size_t count);
    // Index of the color-table entry nearest to `color` (0 without a table).
    uint32_t NearestIndex(COLORREF color) const;

    // Raw pixel values: a palette index, or the packed 16/24/32-bit value.
    uint32_t GetRaw(int x, int y) const;
    void SetRaw(int x, int y, uint32_t raw);
    uint32_t RawFromColor(COLORREF color) const;
    COLORREF ColorFromRaw(uint32_t raw) const;

    // CLR_INVALID outside the bitmap.
    COLORREF GetPixel(int x, int y) const;
    // Writes the nearest color the format holds; false outside the bitmap.
    bool SetPixel(int x, int y, COLORREF color);

    // A span of row `y` as 0x00RRGGBB words, and back. The span must lie
    // inside the bitmap.
    void ReadSpan(int x, int y, int count, uint32_t* out) const;
    void WriteSpan(int x, int y, int count, const uint32_t* in);

    // Bit-field masks for 16 and 32 bits (red, green, blue).
    uint32_t GetRedMask() const { return m_masks[0]; }
    uint32_t GetGreenMask() const { return m_masks[1]; }
    uint32_t GetBlueMask() const { return m_masks[2]; }

private:
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
    };

    Bitmap() = default;
    bool SetMasks(uint32_t red, uint32_t green, uint32_t blue);
    size_t RowOffset(int y) const
    {
        int memoryRow = m_topDown ? y : m_height - 1 - y;
        return static_cast<size_t>(memoryRow) * static_cast<size_t>(m_stride);
    }

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_stride = 0;
    bool m_topDown = false;
    bool m_deviceDependent = false;
    uint8_t* m_bits = nullptr;
    std::vector<RgbQuad> m_colorTable;
    uint32_t m_masks[3] = {};
    Channel m_channels[3];
};

}
