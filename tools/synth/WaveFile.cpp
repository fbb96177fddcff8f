#include "tools/synth/WaveFile.h"

namespace lumarra {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kChannels = 1;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint32_t kFormatChunkSize = 16;
constexpr uint32_t kHeaderBytesAfterRiffSize = 4 + 8 + kFormatChunkSize + 8;

void PutLittleEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}

std::string EncodeWaveFile(const std::vector<int16_t>& samples, int rate)
{
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    uint16_t blockAlign = kChannels * kBitsPerSample / 8;
    std::string out;
    out.reserve(8 + kHeaderBytesAfterRiffSize + dataBytes);
    out += "RIFF";
    PutLittleEndian(out, kHeaderBytesAfterRiffSize + dataBytes, 4);
    out += "WAVEfmt ";
    PutLittleEndian(out, kFormatChunkSize, 4);
    PutLittleEndian(out, kFormatPcm, 2);
    PutLittleEndian(out, kChannels, 2);
    PutLittleEndian(out, static_cast<uint32_t>(rate), 4);
    PutLittleEndian(out, static_cast<uint32_t>(rate) * blockAlign, 4);
    PutLittleEndian(out, blockAlign, 2);
    PutLittleEndian(out, kBitsPerSample, 2);
    out += "data";
    PutLittleEndian(out, dataBytes, 4);
    for (int16_t sample : samples)
        PutLittleEndian(out, static_cast<uint16_t>(sample), 2);
    return out;
}

}
