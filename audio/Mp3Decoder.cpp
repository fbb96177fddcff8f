#include "audio/Mp3Decoder.h"

#include "audio/PcmSample.h"
#include "audio/WaveFormat.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

namespace lumarra {

namespace {

// Input is handed to the decoder in pieces of this size; it keeps its own
// copy of what it has not decoded yet.
constexpr size_t kFeedBytes = 4096;
// One decoder call yields at most one frame (1152 samples per channel); the
// arrays leave room for more.
constexpr size_t kMaxFrameSamples = 4608;
// The decoder answers "need more" for the call that only reads the first
// header and for a Xing/Info frame, even with whole frames waiting. Once the
// input is all in, this many such answers in a row mean it is drained.
constexpr int kIdleCallsAtEnd = 3;
// Bounds a reservation taken from a stream's own length claims: 8 kbit/s at
// 48 kHz, the lowest bit rate for the rate, gives 48 samples per byte.
constexpr size_t kMaxSamplesPerByte = 48;

void IgnoreReport(const char*, va_list)
{
}

// The stream after a leading ID3v2 tag. The decoder does not know these tags
// and takes chance frame syncs inside them (or their padding) for audio.
std::span<const uint8_t> SkipId3v2Tag(std::span<const uint8_t> file)
{
    constexpr size_t kHeaderBytes = 10;
    constexpr size_t kFooterBytes = 10;
    constexpr uint8_t kFooterFlag = 0x10;
    if (file.size() < kHeaderBytes || file[0] != 'I' || file[1] != 'D' || file[2] != '3')
        return file;
    size_t size = 0;
    for (size_t i = 6; i < kHeaderBytes; ++i) {
        // The tag size is "synchsafe": seven bits a byte.
        if (file[i] & 0x80)
            return file;
        size = size << 7 | file[i];
    }
    size_t skipped = kHeaderBytes + size + (file[5] & kFooterFlag ? kFooterBytes : 0);
    return skipped < file.size() ? file.subspan(skipped) : file;
}

struct HipDeleter {
    void operator()(hip_global_flags* hip) const { hip_decode_exit(hip); }
};
using Hip = std::unique_ptr<hip_global_flags, HipDeleter>;

class LeftChannelDecoder {
public:
    explicit LeftChannelDecoder(size_t fileBytes)
        : m_fileBytes(fileBytes)
        , m_hip(hip_decode_init())
    {
        if (m_hip) {
            hip_set_errorf(m_hip.get(), IgnoreReport);
            hip_set_debugf(m_hip.get(), IgnoreReport);
            hip_set_msgf(m_hip.get(), IgnoreReport);
        }
    }

    bool Decode(std::span<const uint8_t> file)
    {
        if (!m_hip)
            return false;
        for (size_t offset = 0; offset < file.size(); offset += kFeedBytes) {
            auto piece = file.subspan(offset, std::min(kFeedBytes, file.size() - offset));
            int result = Call(piece);
            while (result > 0)
                result = Call({});
            if (result < 0)
                return false;
        }
        for (int idle = 0; idle < kIdleCallsAtEnd;) {
            int result = Call({});
            if (result < 0)
                return false;
            idle = result == 0 ? idle + 1 : 0;
        }
        return true;
    }

    int GetSampleRate() const { return m_header.samplerate; }
    std::vector<uint8_t> TakePcm()
    {
        constexpr size_t kSlackDivisor = 8;
        if (m_pcm.capacity() - m_pcm.size() > m_pcm.size() / kSlackDivisor)
            m_pcm.shrink_to_fit();
        return std::move(m_pcm);
    }

private:
    // One decoder call; appends the left samples it yields.
    int Call(std::span<const uint8_t> input)
    {
        int samples = hip_decode1_headers(m_hip.get(), const_cast<unsigned char*>(input.data()), input.size(), m_left,
            m_right, &m_header);
        if (samples > 0)
            Append(static_cast<size_t>(std::min<int>(samples, kMaxFrameSamples)));
        return samples;
    }

    void Append(size_t samples)
    {
        if (m_pcm.empty())
            m_pcm.reserve(ExpectedBytes());
        size_t needed = m_pcm.size() + samples * 2;
        if (needed > m_pcm.capacity()) {
            // Grows by half, so a reallocation never holds more than two and
            // a half times the sound.
            m_pcm.reserve(std::max(needed, m_pcm.capacity() + m_pcm.capacity() / 2));
        }
        size_t at = m_pcm.size();
        m_pcm.resize(needed);
        for (size_t i = 0; i < samples; ++i)
            StoreSample16(m_pcm.data() + at + i * 2, m_left[i]);
    }

    // The stream's length from its Xing/Info header, or from its first
    // frame's bit rate; never more than the file could hold.
    size_t ExpectedBytes() const
    {
        constexpr size_t kBitsPerKilobit = 1000;
        size_t samples = 0;
        if (m_header.nsamp > 0)
            samples = m_header.nsamp;
        else if (m_header.bitrate > 0 && m_header.samplerate > 0)
            samples = m_fileBytes * 8 * static_cast<size_t>(m_header.samplerate)
                / (static_cast<size_t>(m_header.bitrate) * kBitsPerKilobit);
        samples = std::min(samples, m_fileBytes * kMaxSamplesPerByte);
        return (samples + kMaxFrameSamples) * 2;
    }

    size_t m_fileBytes;
    Hip m_hip;
    mp3data_struct m_header {};
    short m_left[kMaxFrameSamples] {};
    short m_right[kMaxFrameSamples] {};
    std::vector<uint8_t> m_pcm;
};

}

bool DecodeMp3(std::span<const uint8_t> file, DecodedSound& sound)
{
    if (file.empty())
        return false;
    auto decoder = std::make_unique<LeftChannelDecoder>(file.size());
    if (!decoder->Decode(SkipId3v2Tag(file)) || decoder->GetSampleRate() <= 0)
        return false;
    DecodedSound decoded;
    decoded.pcm = decoder->TakePcm();
    if (decoded.pcm.empty())
        return false;
    auto format = EncodeWaveFormat(MakePcm16Format(1, static_cast<uint32_t>(decoder->GetSampleRate())));
    decoded.formatBlock.assign(format.begin(), format.end());
    sound = std::move(decoded);
    return true;
}

}
