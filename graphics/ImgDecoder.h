#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lumarra {

// Size of the BITMAPINFO block the decoder hands out: a 40-byte header and
// room for 256 color entries.
inline constexpr size_t kBitmapInfoBlockSize = 1064;
inline constexpr size_t kBitmapInfoHeaderSize = 40;

// Largest picture an image block may declare. The card sheets are at most
// 750 x 2310; the limit keeps a hostile header from asking for gigabytes.
inline constexpr uint64_t kMaxImgPixels = 1u << 24;

// Decodes "IMG" pictures: the GIF89a block layout with its own signature, one
// global color table and LZW-compressed indices. The data is read in place;
// only the image's sub-block payloads are copied (joined into one buffer).
class ImgDecoder {
public:
    ImgDecoder() = default;
    ImgDecoder(const ImgDecoder&) = delete;
    ImgDecoder& operator=(const ImgDecoder&) = delete;

    // Parses a whole stream; 1 on success, 0 on failure. Fails on a wrong signature, a cut header or
    // color table, a local color table and any damage inside an image
    // block (cut data, bad codes, a full code table, fewer pixels than the
    // block declares). Unknown blocks and a cut between blocks end the parse
    // with what was read so far.
    int Parse(std::span<const uint8_t> data);

    // A zeroed 1064-byte BITMAPINFO for the decoded image: 8 bits, top-down
    // (negative height), 256 colors used, then the color table. `size` is
    // the part in use, 40 + 4 x entries. Fails when the stream held no image
    // or no color table.
    int MakeInfo(std::vector<uint8_t>& info, uint32_t& size) const;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // Exactly width x height color indices, top row first.
    std::span<const uint8_t> GetIndices() const
    {
        return { m_indices.get(), m_indices ? static_cast<size_t>(m_width) * static_cast<size_t>(m_height) : 0 };
    }
    // 2^(s + 1) from the screen flags, whether or not a table is present.
    int GetColorCount() const { return m_colorCount; }
    bool HasColorTable() const { return !m_colorTable.empty(); }
    bool HasTransparentIndex() const { return m_hasTransparentIndex; }
    int GetTransparentIndex() const { return m_transparentIndex; }
    // COLORREF (0x00BBGGRR) of the transparent entry; 0 without one.
    uint32_t GetTransparentColor() const { return m_transparentColor; }

private:
    class Reader;

    void Reset();
    bool ReadStream(Reader& reader);
    bool ReadColorTable(Reader& reader);
    bool ReadGraphicControl(Reader& reader);
    bool ReadImage(Reader& reader);

    int m_colorCount = 0;
    // Entries as stored in a BITMAPINFO: blue, green, red, 0.
    std::vector<uint8_t> m_colorTable;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<uint8_t[]> m_indices;
    bool m_hasTransparentIndex = false;
    int m_transparentIndex = 0;
    uint32_t m_transparentColor = 0;
};

}
