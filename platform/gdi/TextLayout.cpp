#include "platform/gdi/TextLayout.h"

#include "platform/CodePage.h"
#include "platform/gdi/Font.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>

namespace lumarra {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kTab = U'\t';
constexpr char32_t kLineFeed = U'\n';
constexpr char32_t kCarriageReturn = U'\r';
constexpr char32_t kSpace = U' ';
constexpr char32_t kPrefix = U'&';
// Tab stops lie every eight average character widths.
constexpr int kTabStopChars = 8;

// Every CP932 code (a single byte, or lead × 256 + trail) to Unicode, built
// once: iconv per character would cost far more than the glyph it draws.
const std::array<char32_t, 0x10000>& DecodeTable()
{
    static std::array<char32_t, 0x10000> table;
    static std::once_flag built;
    std::call_once(built, [] {
        table.fill(kReplacementCharacter);
        for (unsigned code = 0; code < table.size(); ++code) {
            unsigned lead = code >> 8;
            char bytes[2] = { static_cast<char>(lead), static_cast<char>(code & 0xFF) };
            std::string_view character = lead == 0 ? std::string_view(bytes + 1, 1) : std::string_view(bytes, 2);
            if (CharLength(character, 0, CodePage::Cp932) != character.size())
                continue;
            std::u32string decoded = Cp932ToUtf32(character);
            if (decoded.size() == 1 && !(decoded[0] == U'?' && character != "?"))
                table[code] = decoded[0];
        }
    });
    return table;
}

struct Character {
    char32_t code = 0;
    bool doubleByte = false;
    bool prefixed = false;  // underlined by a preceding '&'
};

std::vector<Character> Decode(std::string_view text, bool processPrefix)
{
    std::vector<Character> characters;
    characters.reserve(text.size());
    bool underlineNext = false;
    for (std::string_view bytes : TextLayout::SplitCharacters(text)) {
        Character character { TextLayout::DecodeCharacter(bytes), bytes.size() == 2, false };
        if (processPrefix && character.code == kPrefix && !underlineNext) {
            underlineNext = true;
            continue;
        }
        character.prefixed = underlineNext && character.code != kPrefix;
        underlineNext = false;
        characters.push_back(character);
    }
    return characters;
}

bool IsSpace(const Character& character)
{
    return character.code == kSpace || character.code == kTab;
}

// Advance of one character at `x` pixels from the start of its line.
int AdvanceAt(const Font& font, const Character& character, int x, bool expandTabs)
{
    if (character.code == kTab && expandTabs) {
        int stop = std::max(1, font.GetTextMetrics().aveCharWidth * kTabStopChars);
        return stop - x % stop;
    }
    if (character.code < kSpace)
        return 0;
    return font.GetAdvance(character.code);
}

int LineWidth(const Font& font, const std::vector<Character>& characters, size_t begin, size_t end, bool expandTabs)
{
    int x = 0;
    for (size_t i = begin; i < end; ++i)
        x += AdvanceAt(font, characters[i], x, expandTabs);
    return x;
}

struct Line {
    size_t begin;
    size_t end;
};

// Japanese punctuation and small kana that never begin a line, and opening
// brackets that never end one.
constexpr std::u32string_view kNoLineStart
    = U"、。，．・：；？！ー）」』】〕〉》ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ";
constexpr std::u32string_view kNoLineEnd = U"（「『【〔〈《";

// A new line may start at `i`: after spaces, or next to a double-byte
// character (Japanese text breaks between any two characters, except
// around the punctuation above).
bool CanBreakBefore(const std::vector<Character>& characters, size_t i)
{
    const Character& previous = characters[i - 1];
    const Character& current = characters[i];
    if (IsSpace(current))
        return false;
    if (IsSpace(previous))
        return true;
    if (kNoLineStart.find(current.code) != std::u32string_view::npos
        || kNoLineEnd.find(previous.code) != std::u32string_view::npos)
        return false;
    return previous.doubleByte || current.doubleByte;
}

// The end of the line that starts at `begin` when it must fit in `width`.
// A word wider than the line stays whole and overflows it.
size_t WrapEnd(const Font& font, const std::vector<Character>& characters, size_t begin, size_t end, int width,
    bool expandTabs)
{
    int x = 0;
    size_t lastBreak = begin;
    bool overflowing = false;
    for (size_t i = begin; i < end; ++i) {
        bool breakable = i > begin && CanBreakBefore(characters, i);
        if (breakable) {
            if (overflowing)
                return i;
            lastBreak = i;
        }
        int advance = AdvanceAt(font, characters[i], x, expandTabs);
        if (i > begin && !IsSpace(characters[i]) && x + advance > width) {
            if (breakable)
                return i;
            if (lastBreak > begin)
                return lastBreak;
            overflowing = true;
        }
        x += advance;
    }
    return end;
}

std::vector<Line> SplitLines(const Font& font, const std::vector<Character>& characters, unsigned format, int width)
{
    bool singleLine = format & DT_SINGLELINE;
    bool wordBreak = (format & DT_WORDBREAK) && !singleLine;
    bool expandTabs = format & DT_EXPANDTABS;
    std::vector<Line> lines;
    size_t pos = 0;
    size_t count = characters.size();
    while (true) {
        size_t hardEnd = count;
        if (!singleLine) {
            hardEnd = pos;
            while (
                hardEnd < count && characters[hardEnd].code != kLineFeed && characters[hardEnd].code != kCarriageReturn)
                ++hardEnd;
        }
        size_t begin = pos;
        do {
            size_t end = wordBreak ? WrapEnd(font, characters, begin, hardEnd, width, expandTabs) : hardEnd;
            size_t next = end;
            if (end < hardEnd) {
                // Spaces at a wrap belong to neither line.
                while (end > begin && IsSpace(characters[end - 1]))
                    --end;
                while (next < hardEnd && IsSpace(characters[next]))
                    ++next;
            }
            lines.push_back({ begin, end });
            begin = next;
        } while (begin < hardEnd);
        if (hardEnd >= count)
            break;
        pos = hardEnd + 1;
        if (characters[hardEnd].code == kCarriageReturn && pos < count && characters[pos].code == kLineFeed)
            ++pos;
        // A line end that closes the text starts no further line.
        if (pos >= count)
            break;
    }
    return lines;
}

// Places one line with its cell's top-left corner at (x, y).
void PlaceLine(const Font& font, const std::vector<Character>& characters, const Line& line, int x, int y,
    bool expandTabs, TextRun& run)
{
    const TextMetric& metrics = font.GetTextMetrics();
    int baseline = y + metrics.ascent;
    int thickness = font.GetDecorationThickness();
    int underlineTop = baseline + font.GetUnderlinePosition() - thickness / 2;
    int pen = 0;
    for (size_t i = line.begin; i < line.end; ++i) {
        const Character& character = characters[i];
        int advance = AdvanceAt(font, character, pen, expandTabs);
        if (character.code > kSpace) {
            const Glyph& glyph = font.GetGlyph(character.code);
            if (glyph.width > 0 && glyph.height > 0)
                run.glyphs.push_back({ &glyph, x + pen + glyph.originX, baseline - glyph.originY });
        }
        if (character.prefixed)
            run.bars.push_back({ x + pen, underlineTop, x + pen + advance, underlineTop + thickness });
        pen += advance;
    }
    run.cells.push_back({ x, y, x + pen, y + metrics.height });
    if (metrics.underline)
        run.bars.push_back({ x, underlineTop, x + pen, underlineTop + thickness });
    if (metrics.strikeOut) {
        int strikeTop = baseline - font.GetStrikeOutPosition() - thickness / 2;
        run.bars.push_back({ x, strikeTop, x + pen, strikeTop + thickness });
    }
}

}

std::vector<std::string_view> TextLayout::SplitCharacters(std::string_view text)
{
    std::vector<std::string_view> characters;
    characters.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t length = CharLength(text, pos, CodePage::Cp932);
        if (length == 1) {
            // CharLength cuts a double-byte character short at the end.
            char probe[2] = { text[pos], 'A' };
            if (CharLength(std::string_view(probe, 2), 0, CodePage::Cp932) == 2)
                break;
        }
        characters.push_back(text.substr(pos, length));
        pos += length;
    }
    return characters;
}

char32_t TextLayout::DecodeCharacter(std::string_view character)
{
    if (character.empty())
        return kReplacementCharacter;
    unsigned code = static_cast<unsigned char>(character[0]);
    if (character.size() >= 2)
        code = code << 8 | static_cast<unsigned char>(character[1]);
    return DecodeTable()[code];
}

TextRun TextLayout::LayoutTextOut(const std::shared_ptr<const Font>& font, int x, int y, std::string_view text)
{
    TextRun run;
    if (!font)
        return run;
    run.font = font;
    std::vector<Character> characters = Decode(text, false);
    PlaceLine(*font, characters, { 0, characters.size() }, x, y, false, run);
    return run;
}

Size TextLayout::MeasureExtent(const Font& font, std::string_view text)
{
    std::vector<Character> characters = Decode(text, false);
    return { LineWidth(font, characters, 0, characters.size(), false), font.GetTextMetrics().height };
}

int TextLayout::LayoutDrawText(const std::shared_ptr<const Font>& font, std::string_view text, Rect& rect,
    unsigned format, TextRun& run)
{
    run = TextRun {};
    if (!font)
        return 0;
    const TextMetric& metrics = font->GetTextMetrics();
    int lineHeight = metrics.height + ((format & DT_EXTERNALLEADING) ? metrics.externalLeading : 0);
    bool expandTabs = format & DT_EXPANDTABS;
    std::vector<Character> characters = Decode(text, !(format & DT_NOPREFIX));
    std::vector<Line> lines = SplitLines(*font, characters, format, rect.GetWidth());

    int textHeight = static_cast<int>(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, LineWidth(*font, characters, line.begin, line.end, expandTabs));
        rect.right = rect.left + widest;
        rect.bottom = rect.top + textHeight;
        return textHeight;
    }

    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect.top + (rect.GetHeight() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect.bottom - lineHeight;
    }
    run.font = font;
    for (const Line& line : lines) {
        int width = LineWidth(*font, characters, line.begin, line.end, expandTabs);
        int x = rect.left;
        if (format & DT_CENTER)
            x = rect.left + (rect.GetWidth() - width) / 2;
        else if (format & DT_RIGHT)
            x = rect.right - width;
        PlaceLine(*font, characters, line, x, y, expandTabs, run);
        y += lineHeight;
    }
    if (!(format & DT_NOCLIP)) {
        run.clip = rect;
        run.clipped = true;
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return y - rect.top;
    return textHeight;
}

}
