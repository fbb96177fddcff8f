#include "graphics/ImgDecoder.h"

#include "platform/gdi/GdiTypes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lumarra {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageIntroducer = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kPlainTextLabel = 0x01;

constexpr size_t kHeaderSize = 13;
constexpr size_t kGraphicControlSize = 6;
constexpr size_t kApplicationHeaderSize = 12;
constexpr size_t kPlainTextHeaderSize = 13;
constexpr size_t kImageDescriptorSize = 9;

constexpr uint8_t kGlobalTableFlag = 0x80;
constexpr uint8_t kLocalTableFlag = 0x80;
constexpr uint8_t kTransparentFlag = 0x01;

constexpr int kLzwTableSize = 8192;
constexpr uint32_t kLzwTableFull = 8191;
constexpr int kLzwMaxWidth = 12;
// Indices are bytes: a minimum code size of 2 to 8 bits. Smaller sizes never
// reach the first width step, larger ones overflow the byte.
constexpr int kLzwMinCodeSize = 2;
constexpr int kLzwMaxCodeSize = 8;
// Codes are fetched eight bytes at a time; the joined data carries this much
// zero padding so the fetch never leaves the buffer.
constexpr size_t kFetchPadding = 8;
// Short strings are copied as one 16-byte block; the index buffer has room
// for the overshoot.
constexpr size_t kCopyBlock = 16;

uint16_t ReadLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct LzwEntry {
    uint32_t offset;
    uint32_t length;
};

// Decodes the LZW codes of one image into exactly `pixels` index bytes at
// `out`, which has kCopyBlock bytes of slack after them. Output beyond
// `pixels` is dropped while the codes are still checked up to the end code.
// Fails on data that ends before the end code, a code that is not yet in the
// table, a table that fills up and a stream that ends short of `pixels`.
// Everything lives in locals: stores through `out` could alias members.
bool DecodeLzw(const uint8_t* codes, size_t codeBytes, int minCodeSize, uint8_t* out, size_t pixels)
{
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t end = clear + 1;
    const uint64_t bitEnd = static_cast<uint64_t>(codeBytes) * 8;
    std::unique_ptr<LzwEntry[]> table(new (std::nothrow) LzwEntry[kLzwTableSize]);
    if (!table)
        return false;

    uint64_t bitPos = 0;
    size_t pos = 0;
    int width = minCodeSize + 1;
    uint32_t next = clear + 2;
    bool afterClear = true;
    size_t lastPos = 0;
    uint32_t lastLength = 0;

    auto copy = [&](size_t from, uint32_t length) {
        if (pos + length <= pixels) {
            if (length <= kCopyBlock) {
                uint8_t block[kCopyBlock];
                std::memcpy(block, out + from, kCopyBlock);
                std::memcpy(out + pos, block, kCopyBlock);
            } else {
                std::memcpy(out + pos, out + from, length);
            }
        } else if (pos < pixels) {
            std::memcpy(out + pos, out + from, pixels - pos);
        }
        pos += length;
    };
    auto put = [&](uint8_t value) {
        if (pos < pixels)
            out[pos] = value;
        ++pos;
    };

    for (;;) {
        if (bitPos + static_cast<uint64_t>(width) > bitEnd)
            return false;
        uint64_t word;
        std::memcpy(&word, codes + (bitPos >> 3), sizeof word);
        uint32_t code = static_cast<uint32_t>(word >> (bitPos & 7)) & ((1u << width) - 1);
        bitPos += static_cast<uint64_t>(width);

        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            afterClear = true;
            continue;
        }
        if (code == end)
            break;
        if (afterClear) {
            // The table holds only the single bytes now.
            if (code > clear)
                return false;
            lastPos = pos;
            lastLength = 1;
            put(static_cast<uint8_t>(code));
            afterClear = false;
            continue;
        }
        if (code > next)
            return false;
        size_t start = pos;
        uint32_t length;
        if (code < clear) {
            length = 1;
            put(static_cast<uint8_t>(code));
        } else if (code < next) {
            length = table[code].length;
            copy(table[code].offset, length);
        } else {
            // The code being defined right now: the previous string followed
            // by its own first byte.
            length = lastLength + 1;
            copy(lastPos, lastLength);
            put(lastPos < pixels ? out[lastPos] : 0);
        }
        // The new entry is the previous string plus the first byte of this
        // one; they sit next to each other in the output. Offsets past
        // `pixels` are never read back, so truncating them is harmless.
        table[next] = { static_cast<uint32_t>(lastPos), lastLength + 1 };
        if (++next >= kLzwTableFull)
            return false;
        if (width < kLzwMaxWidth && next == (1u << width))
            ++width;
        lastPos = start;
        lastLength = length;
    }
    return pos >= pixels;
}

}

// Bounds-checked cursor over the stream.
class ImgDecoder::Reader {
public:
    explicit Reader(std::span<const uint8_t> data)
        : m_data(data)
    {
    }

    size_t GetLeft() const { return m_data.size() - m_pos; }
    const uint8_t* Peek() const { return m_data.data() + m_pos; }

    bool Take(size_t count, const uint8_t*& bytes)
    {
        if (GetLeft() < count)
            return false;
        bytes = Peek();
        m_pos += count;
        return true;
    }

    bool TakeByte(uint8_t& value)
    {
        const uint8_t* bytes;
        if (!Take(1, bytes))
            return false;
        value = *bytes;
        return true;
    }

    // Steps over data sub-blocks up to their zero-length terminator and
    // returns the payload size; false when the data ends first.
    bool SkipSubBlocks(size_t* payload = nullptr)
    {
        size_t total = 0;
        for (;;) {
            uint8_t length;
            const uint8_t* bytes;
            if (!TakeByte(length))
                return false;
            if (length == 0)
                break;
            if (!Take(length, bytes))
                return false;
            total += length;
        }
        if (payload)
            *payload = total;
        return true;
    }

    // Copies the payloads of the sub-blocks at the cursor into one buffer,
    // followed by `padding` zero bytes; false when the data ends first.
    bool JoinSubBlocks(std::vector<uint8_t>& joined, size_t padding)
    {
        size_t start = m_pos;
        size_t payload;
        if (!SkipSubBlocks(&payload))
            return false;
        joined.assign(payload + padding, 0);
        uint8_t* out = joined.data();
        for (size_t at = start; m_data[at] != 0; at += 1 + m_data[at]) {
            std::memcpy(out, &m_data[at + 1], m_data[at]);
            out += m_data[at];
        }
        return true;
    }

private:
    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
};

void ImgDecoder::Reset()
{
    m_colorCount = 0;
    m_colorTable.clear();
    m_width = 0;
    m_height = 0;
    m_indices.reset();
    m_hasTransparentIndex = false;
    m_transparentIndex = 0;
    m_transparentColor = 0;
}

int ImgDecoder::Parse(std::span<const uint8_t> data)
{
    Reset();
    Reader reader(data);
    if (ReadStream(reader))
        return 1;
    // A failed parse leaves nothing half-read behind.
    Reset();
    return 0;
}

bool ImgDecoder::ReadStream(Reader& reader)
{
    const uint8_t* header;
    if (!reader.Take(kHeaderSize, header) || std::memcmp(header, "IMG", 3) != 0)
        return false;
    uint8_t flags = header[10];
    m_colorCount = 2 << (flags & 7);
    if ((flags & kGlobalTableFlag) && !ReadColorTable(reader))
        return false;

    for (;;) {
        uint8_t introducer;
        if (!reader.TakeByte(introducer))
            return true;
        if (introducer == kTrailer)
            continue;
        if (introducer == kImageIntroducer) {
            if (!ReadImage(reader))
                return false;
            continue;
        }
        if (introducer != kExtensionIntroducer)
            return true;
        uint8_t label;
        const uint8_t* skipped;
        if (!reader.TakeByte(label))
            return true;
        bool complete;
        switch (label) {
        case kGraphicControlLabel:
            complete = ReadGraphicControl(reader);
            break;
        case kCommentLabel:
            complete = reader.SkipSubBlocks();
            break;
        case kApplicationLabel:
            complete = reader.Take(kApplicationHeaderSize, skipped) && reader.SkipSubBlocks();
            break;
        case kPlainTextLabel:
            complete = reader.Take(kPlainTextHeaderSize, skipped) && reader.SkipSubBlocks();
            break;
        default:
            return true;
        }
        if (!complete)
            return true;
    }
}

bool ImgDecoder::ReadColorTable(Reader& reader)
{
    const uint8_t* rgb;
    if (!reader.Take(static_cast<size_t>(m_colorCount) * 3, rgb))
        return false;
    m_colorTable.resize(static_cast<size_t>(m_colorCount) * 4);
    for (int i = 0; i < m_colorCount; ++i) {
        m_colorTable[i * 4 + 0] = rgb[i * 3 + 2];
        m_colorTable[i * 4 + 1] = rgb[i * 3 + 1];
        m_colorTable[i * 4 + 2] = rgb[i * 3 + 0];
        m_colorTable[i * 4 + 3] = 0;
    }
    return true;
}

bool ImgDecoder::ReadGraphicControl(Reader& reader)
{
    const uint8_t* block;
    if (!reader.Take(kGraphicControlSize, block))
        return false;
    if (block[1] & kTransparentFlag) {
        m_hasTransparentIndex = true;
        m_transparentIndex = block[4];
        // An index past the table names no color.
        size_t entry = static_cast<size_t>(m_transparentIndex) * 4;
        m_transparentColor = 0;
        if (entry < m_colorTable.size())
            m_transparentColor = m_colorTable[entry] << 16 | m_colorTable[entry + 1] << 8 | m_colorTable[entry + 2];
    }
    return true;
}

bool ImgDecoder::ReadImage(Reader& reader)
{
    const uint8_t* descriptor;
    uint8_t minCodeSize;
    if (!reader.Take(kImageDescriptorSize, descriptor) || !reader.TakeByte(minCodeSize))
        return false;
    int width = ReadLe16(descriptor + 4);
    int height = ReadLe16(descriptor + 6);
    uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if ((descriptor[8] & kLocalTableFlag) || pixels == 0 || pixels > kMaxImgPixels)
        return false;
    if (minCodeSize < kLzwMinCodeSize || minCodeSize > kLzwMaxCodeSize)
        return false;

    std::vector<uint8_t> joined;
    if (!reader.JoinSubBlocks(joined, kFetchPadding))
        return false;
    size_t payload = joined.size() - kFetchPadding;

    std::unique_ptr<uint8_t[]> indices(new (std::nothrow) uint8_t[pixels + kCopyBlock]);
    if (!indices || !DecodeLzw(joined.data(), payload, minCodeSize, indices.get(), pixels))
        return false;
    m_width = width;
    m_height = height;
    m_indices = std::move(indices);
    return true;
}

int ImgDecoder::MakeInfo(std::vector<uint8_t>& info, uint32_t& size) const
{
    if (!m_indices || m_colorTable.empty())
        return 0;
    constexpr uint16_t kBitCount = 8;
    constexpr uint32_t kColorsUsed = 256;
    BitmapInfoHeader header {};
    header.biSize = kBitmapInfoHeaderSize;
    header.biWidth = m_width;
    header.biHeight = -m_height;  // rows are stored top row first
    header.biPlanes = 1;
    header.biBitCount = kBitCount;
    header.biClrUsed = kColorsUsed;
    info.assign(kBitmapInfoBlockSize, 0);
    std::memcpy(info.data(), &header, sizeof header);
    std::memcpy(info.data() + kBitmapInfoHeaderSize, m_colorTable.data(), m_colorTable.size());
    size = static_cast<uint32_t>(kBitmapInfoHeaderSize + m_colorTable.size());
    return 1;
}

}
