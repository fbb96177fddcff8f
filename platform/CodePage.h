#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarra {

// The code page multibyte strings are scanned in. Text inside the program is
// CP932; paths and native names are in the system code page, which is UTF-8 on
// Linux. Tests switch it to CP932 to exercise Windows-style path scanning.
enum class CodePage {
    Cp932 = 932,
    Utf8 = 65001,
};

CodePage GetSystemCodePage();
void SetSystemCodePage(CodePage codePage);

// Byte length of the character starting at `pos`: 1 for single-byte
// characters, the full sequence for multibyte ones, cut short at the end of
// `text` so a caller never steps past it.
size_t CharLength(std::string_view text, size_t pos, CodePage codePage);

// Upper-cases the ASCII letters of single-byte characters and steps over
// multibyte characters whole, so a trail byte that happens to be a letter is
// never changed.
std::string UpperCaseAscii(std::string_view text, CodePage codePage);

// Conversions at the platform boundary. Characters with no mapping become '?'.
std::string Cp932ToUtf8(std::string_view text);
std::string Utf8ToCp932(std::string_view text);
std::u32string Cp932ToUtf32(std::string_view text);

// Source literals are UTF-8; program text is CP932.
inline std::string Sjis(std::string_view utf8)
{
    return Utf8ToCp932(utf8);
}

}
