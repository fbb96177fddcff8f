#include "platform/CodePage.h"

#include <atomic>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace lumarra {

namespace {

std::atomic<CodePage> systemCodePage { CodePage::Utf8 };

bool IsCp932Lead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t Utf8SequenceLength(unsigned char byte)
{
    if (byte >= 0xF0 && byte <= 0xF7)
        return 4;
    if (byte >= 0xE0)
        return byte <= 0xEF ? 3 : 1;
    if (byte >= 0xC0)
        return 2;
    return 1;
}

enum Direction { kCp932ToUtf8, kUtf8ToCp932, kCp932ToUtf32, kDirectionCount };

constexpr const char* kIconvNames[kDirectionCount][2] = {
    { "UTF-8", "CP932" },
    { "CP932", "UTF-8" },
    { "UTF-32LE", "CP932" },
};

// One iconv descriptor, closed when it leaves scope.
class IconvHandle {
public:
    explicit IconvHandle(Direction direction)
        : m_cd(iconv_open(kIconvNames[direction][0], kIconvNames[direction][1]))
    {
    }
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// glibc loads a converter module on iconv_open and unloads it on the last
// iconv_close; opening per call would load and unload it constantly, from
// several threads at once. The process keeps one descriptor per direction
// open for its whole life, and each thread keeps its own to convert with
// (a descriptor carries shift state and is not shared between threads).
iconv_t DescriptorFor(Direction direction)
{
    static const IconvHandle pinned[kDirectionCount]
        = { IconvHandle(kCp932ToUtf8), IconvHandle(kUtf8ToCp932), IconvHandle(kCp932ToUtf32) };
    thread_local const IconvHandle own[kDirectionCount]
        = { IconvHandle(kCp932ToUtf8), IconvHandle(kUtf8ToCp932), IconvHandle(kCp932ToUtf32) };
    (void)pinned;
    iconv_t cd = own[direction].Get();
    if (own[direction].IsOpen())
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return cd;
}

// Converts with iconv, replacing what cannot be converted by one '?' per bad
// input step so that no input is ever dropped silently.
template <typename Output>
Output Convert(Direction direction, std::string_view text, size_t unitSize)
{
    Output result;
    iconv_t cd = DescriptorFor(direction);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return result;
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            size_t used = out.size() - outLeft;
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        // EILSEQ or EINVAL: skip one input byte, emit a replacement.
        ++in;
        --inLeft;
        if (outLeft < unitSize) {
            size_t used = out.size() - outLeft;
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        }
        if (unitSize == 4) {
            char32_t q = U'?';
            std::memcpy(outPtr, &q, 4);
        } else {
            *outPtr = '?';
        }
        outPtr += unitSize;
        outLeft -= unitSize;
    }
    size_t used = out.size() - outLeft;
    result.resize(used / unitSize);
    std::memcpy(result.data(), out.data(), used - used % unitSize);
    return result;
}

}

CodePage GetSystemCodePage()
{
    return systemCodePage.load();
}

void SetSystemCodePage(CodePage codePage)
{
    systemCodePage.store(codePage);
}

size_t CharLength(std::string_view text, size_t pos, CodePage codePage)
{
    if (pos >= text.size())
        return 0;
    unsigned char byte = static_cast<unsigned char>(text[pos]);
    size_t length = 1;
    if (codePage == CodePage::Cp932)
        length = IsCp932Lead(byte) ? 2 : 1;
    else
        length = Utf8SequenceLength(byte);
    return std::min(length, text.size() - pos);
}

std::string UpperCaseAscii(std::string_view text, CodePage codePage)
{
    std::string upper(text);
    for (size_t pos = 0; pos < upper.size();) {
        size_t length = std::max<size_t>(1, CharLength(upper, pos, codePage));
        if (length == 1 && upper[pos] >= 'a' && upper[pos] <= 'z')
            upper[pos] = static_cast<char>(upper[pos] - 'a' + 'A');
        pos += length;
    }
    return upper;
}

std::string Cp932ToUtf8(std::string_view text)
{
    return Convert<std::string>(kCp932ToUtf8, text, 1);
}

std::string Utf8ToCp932(std::string_view text)
{
    return Convert<std::string>(kUtf8ToCp932, text, 1);
}

std::u32string Cp932ToUtf32(std::string_view text)
{
    return Convert<std::u32string>(kCp932ToUtf32, text, 4);
}

}
