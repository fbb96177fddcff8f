#include "audio/WaveDecoder.h"

#include "audio/LittleEndian.h"
#include "audio/PcmConversion.h"
#include "audio/WaveFormat.h"

#include <algorithm>
#include <optional>

namespace lumarra {

namespace {

constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kFormTypeBytes = 4;
// The format block is sized by a 16-bit length.
constexpr size_t kMaxFormatChunkBytes = 0xFFFF;

constexpr uint32_t FourCc(const char (&id)[5])
{
    return static_cast<uint32_t>(id[0]) | static_cast<uint32_t>(id[1]) << 8 | static_cast<uint32_t>(id[2]) << 16
        | static_cast<uint32_t>(id[3]) << 24;
}

struct Chunk {
    size_t dataOffset = 0;
    size_t size = 0;
};

// Walks the chunks of one level of a RIFF file, from a start position to the
// end of the enclosing chunk. Chunks of odd size are followed by a pad byte.
class ChunkWalker {
public:
    ChunkWalker(std::span<const uint8_t> file, size_t begin, size_t end)
        : m_file(file)
        , m_position(begin)
        , m_end(std::min(end, file.size()))
    {
    }

    // The next chunk with this id; the walk goes on after it.
    std::optional<Chunk> Find(uint32_t id)
    {
        while (m_position <= m_end && m_end - m_position >= kChunkHeaderBytes) {
            uint32_t chunkId = ReadLe32(m_file, m_position);
            size_t size = ReadLe32(m_file, m_position + 4);
            Chunk chunk { m_position + kChunkHeaderBytes, size };
            m_position = chunk.dataOffset + size + (size & 1);
            if (chunkId == id)
                return chunk;
        }
        return std::nullopt;
    }

    // The chunk's bytes, or nothing when it runs past the end of the file.
    std::optional<std::span<const uint8_t>> Read(const Chunk& chunk) const
    {
        if (chunk.dataOffset > m_file.size() || m_file.size() - chunk.dataOffset < chunk.size)
            return std::nullopt;
        return m_file.subspan(chunk.dataOffset, chunk.size);
    }

private:
    std::span<const uint8_t> m_file;
    size_t m_position;
    size_t m_end;
};

// The RIFF chunk of form "WAVE" among the file's top-level chunks.
std::optional<Chunk> FindWaveForm(std::span<const uint8_t> file)
{
    ChunkWalker top(file, 0, file.size());
    while (auto riff = top.Find(FourCc("RIFF"))) {
        if (riff->size >= kFormTypeBytes && file.size() - riff->dataOffset >= kFormTypeBytes
            && ReadLe32(file, riff->dataOffset) == FourCc("WAVE"))
            return riff;
    }
    return std::nullopt;
}

}

bool DecodeWave(std::span<const uint8_t> file, DecodedSound& sound)
{
    auto riff = FindWaveForm(file);
    if (!riff)
        return false;
    ChunkWalker walker(file, riff->dataOffset + kFormTypeBytes, riff->dataOffset + riff->size);
    auto fmtChunk = walker.Find(FourCc("fmt "));
    if (!fmtChunk || fmtChunk->size > kMaxFormatChunkBytes)
        return false;
    auto fmtBytes = walker.Read(*fmtChunk);
    if (!fmtBytes)
        return false;
    auto format = ParseWaveFormat(*fmtBytes);
    if (!format || format->channels == 0 || format->samplesPerSec == 0)
        return false;
    auto dataChunk = walker.Find(FourCc("data"));
    if (!dataChunk || dataChunk->size == 0)
        return false;
    auto data = walker.Read(*dataChunk);
    if (!data)
        return false;

    DecodedSound decoded;
    if (format->formatTag == kWaveFormatPcm) {
        decoded.formatBlock.assign(fmtBytes->begin(), fmtBytes->end());
        decoded.pcm.assign(data->begin(), data->end());
    } else {
        if (!ConvertToPcm16(*fmtBytes, *format, *data, decoded.pcm) || decoded.pcm.empty())
            return false;
        auto pcmFormat = EncodeWaveFormat(MakePcm16Format(format->channels, format->samplesPerSec));
        decoded.formatBlock.assign(pcmFormat.begin(), pcmFormat.end());
    }
    sound = std::move(decoded);
    return true;
}

}
