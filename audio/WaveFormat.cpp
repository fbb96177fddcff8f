#include "audio/WaveFormat.h"

#include "audio/LittleEndian.h"

namespace lumarra {

std::optional<WaveFormat> ParseWaveFormat(std::span<const uint8_t> chunk)
{
    if (chunk.size() < kWaveFormatMinSize)
        return std::nullopt;
    WaveFormat format;
    format.formatTag = ReadLe16(chunk, 0);
    format.channels = ReadLe16(chunk, 2);
    format.samplesPerSec = ReadLe32(chunk, 4);
    format.avgBytesPerSec = ReadLe32(chunk, 8);
    format.blockAlign = ReadLe16(chunk, 12);
    format.bitsPerSample = ReadLe16(chunk, 14);
    format.cbSize = chunk.size() >= kWaveFormatSize ? ReadLe16(chunk, 16) : 0;
    return format;
}

std::array<uint8_t, kWaveFormatSize> EncodeWaveFormat(const WaveFormat& format)
{
    std::array<uint8_t, kWaveFormatSize> bytes {};
    WriteLe16(bytes, 0, format.formatTag);
    WriteLe16(bytes, 2, format.channels);
    WriteLe32(bytes, 4, format.samplesPerSec);
    WriteLe32(bytes, 8, format.avgBytesPerSec);
    WriteLe16(bytes, 12, format.blockAlign);
    WriteLe16(bytes, 14, format.bitsPerSample);
    WriteLe16(bytes, 16, format.cbSize);
    return bytes;
}

PcmLayout GetPcmLayout(const WaveFormat& format)
{
    if (format.formatTag != kWaveFormatPcm || format.channels == 0 || format.blockAlign % format.channels != 0
        || format.samplesPerSec > INT32_MAX)
        return {};
    PcmLayout layout;
    layout.channels = format.channels;
    layout.sampleRate = static_cast<int>(format.samplesPerSec);
    layout.bytesPerSample = format.blockAlign / format.channels;
    if (format.bitsPerSample == 0 || format.bitsPerSample > layout.bytesPerSample * 8)
        return {};
    return layout;
}

WaveFormat MakePcm16Format(uint16_t channels, uint32_t samplesPerSec)
{
    constexpr uint16_t kBytesPerSample = 2;
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.blockAlign = static_cast<uint16_t>(channels * kBytesPerSample);
    format.avgBytesPerSec = format.blockAlign * samplesPerSec;
    format.bitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

}
