#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumarra::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& GetPath() const { return m_path; }
    // The program's internal (backslash) form of a file in the folder.
    std::string Internal(const std::string& name) const;
    std::string Native(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Runs a shell command line; true when it exits with 0.
bool RunCommand(const std::string& command);

std::vector<uint8_t> ReadBytes(const std::string& nativePath);
void WriteBytes(const std::string& nativePath, const std::vector<uint8_t>& bytes);

// Signed 16-bit little-endian samples of a raw file.
std::vector<int16_t> ReadRawSamples(const std::string& nativePath);
std::vector<int16_t> ToSamples(const std::vector<uint8_t>& bytes);

}
