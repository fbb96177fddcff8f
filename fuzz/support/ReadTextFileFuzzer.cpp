// Reads arbitrary bytes back through ReadTextFile in both code pages, and
// scans them as a path, checking that carriage returns go and nothing else
// changes.

#include "platform/CodePage.h"
#include "platform/FileDescriptor.h"
#include "platform/NativePath.h"
#include "support/FileIo.h"
#include "support/FilePaths.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace lumarra;

namespace {

// The file each input is written to, in a folder of its own that goes when
// the run ends. It stays open and is rewritten in place: truncating and
// closing a file for every input makes the file system flush it each time.
class InputFile {
public:
    InputFile()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumarra-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        m_path = m_folder + "/input.txt";
        m_fd = FileDescriptor(::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!m_fd.IsOpen())
            std::abort();
    }
    ~InputFile()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    const std::string& GetPath() const { return m_path; }

    void Store(const std::string& bytes) const
    {
        if (::ftruncate(m_fd.Get(), static_cast<off_t>(bytes.size())) != 0
            || ::pwrite(m_fd.Get(), bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            std::abort();
    }

private:
    std::string m_folder;
    std::string m_path;
    FileDescriptor m_fd;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void ScanAsPath(const std::string& text)
{
    std::string path = text;
    std::string out;
    NormalizePath(path);
    Check(path.size() <= text.size());
    GetFileName(text, out);
    GetFolder(text, out);
    GetExtension(text, out);
    size_t slash = FindLastChar(text, '\\');
    Check(slash == std::string::npos || text[slash] == '\\');
    JoinPath(text, text);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const InputFile file;
    std::string input(reinterpret_cast<const char*>(data), size);
    file.Store(input);
    std::string withoutCr = input;
    std::erase(withoutCr, '\r');
    for (CodePage codePage : { CodePage::Utf8, CodePage::Cp932 }) {
        SetSystemCodePage(codePage);
        std::string text = ReadTextFile(ToInternalPath(file.GetPath()));
        Check(text.size() <= input.size() && text.size() >= withoutCr.size());
        // No UTF-8 sequence holds a carriage return; a CP932 lead byte may.
        if (codePage == CodePage::Utf8)
            Check(text == withoutCr);
        ScanAsPath(input.substr(0, 512));
    }
    return 0;
}
