#include "tests/content/TextLayout.h"

#include "platform/CodePage.h"

namespace lumarra {

std::vector<std::string_view> SplitCharacters(std::string_view text)
{
    std::vector<std::string_view> characters;
    for (size_t pos = 0; pos < text.size();) {
        size_t length = CharLength(text, pos, CodePage::Cp932);
        characters.push_back(text.substr(pos, length));
        pos += length;
    }
    return characters;
}

bool IsDoubleByteText(std::string_view text, bool allowAsciiSpace)
{
    for (std::string_view character : SplitCharacters(text)) {
        if (character.size() == 2)
            continue;
        if (!(allowAsciiSpace && character == " "))
            return false;
    }
    return true;
}

size_t WrappedLineCount(std::string_view text, size_t bytesPerLine)
{
    size_t lines = 0;
    for (size_t start = 0;;) {
        size_t end = text.find('\n', start);
        size_t length = (end == std::string_view::npos ? text.size() : end) - start;
        lines += length == 0 ? 1 : (length + bytesPerLine - 1) / bytesPerLine;
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

size_t TextWidth(std::string_view text, size_t height)
{
    return text.size() * height / 2;
}

}
