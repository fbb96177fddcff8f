#include "tests/audio/AudioTestFiles.h"

#include "platform/NativePath.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace lumarra::test {

TempFolder::TempFolder()
{
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() / ("lumarra-audio-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::Internal(const std::string& name) const
{
    return ToInternalPath(Native(name));
}

bool RunCommand(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> ReadBytes(const std::string& nativePath)
{
    std::ifstream in(nativePath, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteBytes(const std::string& nativePath, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(nativePath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> ToSamples(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[i * 2] | bytes[i * 2 + 1] << 8);
    return samples;
}

std::vector<int16_t> ReadRawSamples(const std::string& nativePath)
{
    return ToSamples(ReadBytes(nativePath));
}

}
