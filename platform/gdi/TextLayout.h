#pragma once

#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <string_view>
#include <vector>

namespace lumarra {

class Font;
struct Glyph;

// DrawText format flags.
inline constexpr unsigned DT_TOP = 0x0000;
inline constexpr unsigned DT_LEFT = 0x0000;
inline constexpr unsigned DT_CENTER = 0x0001;
inline constexpr unsigned DT_RIGHT = 0x0002;
inline constexpr unsigned DT_VCENTER = 0x0004;
inline constexpr unsigned DT_BOTTOM = 0x0008;
inline constexpr unsigned DT_WORDBREAK = 0x0010;
inline constexpr unsigned DT_SINGLELINE = 0x0020;
inline constexpr unsigned DT_EXPANDTABS = 0x0040;
inline constexpr unsigned DT_TABSTOP = 0x0080;
inline constexpr unsigned DT_NOCLIP = 0x0100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x0200;
inline constexpr unsigned DT_CALCRECT = 0x0400;
inline constexpr unsigned DT_NOPREFIX = 0x0800;

// A glyph placed on the target: (x, y) is the top-left pixel of its black box.
struct PositionedGlyph {
    const Glyph* glyph = nullptr;
    int x = 0;
    int y = 0;
};

// Laid-out text, ready to be drawn in the text color. `bars` (underline,
// strike-out, prefix underline) are filled solid; `cells` are the character
// cells of each line, which an opaque background fills first. When `clipped`
// is set nothing outside `clip` is drawn. The run keeps its font alive and
// with it every glyph it points to.
struct TextRun {
    std::shared_ptr<const Font> font;
    std::vector<PositionedGlyph> glyphs;
    std::vector<Rect> bars;
    std::vector<Rect> cells;
    Rect clip;
    bool clipped = false;

    // Calls plot(x, y, coverage) for every pixel the run inks inside `bounds`
    // (and the clip), coverage 1..255; bars come last at full coverage.
    template <typename Plot>
    void ForEachPixel(const Rect& bounds, Plot&& plot) const;
};

// Places CP932 text as TextOutA, GetTextExtentPoint32A and DrawTextA do.
// Double-byte characters are never split, a lead byte at the very end is
// dropped, and 0x5C trail bytes belong to their character.
class TextLayout {
public:
    // TextOutA at (x, y), the top-left corner of the first character cell.
    static TextRun LayoutTextOut(const std::shared_ptr<const Font>& font, int x, int y, std::string_view text);

    // The cell extent of a single line (GetTextExtentPoint32A).
    static Size MeasureExtent(const Font& font, std::string_view text);

    // DrawTextA: lays `text` out in `rect` and returns the height of the text
    // (with DT_VCENTER or DT_BOTTOM on a single line: the offset from the
    // rectangle's top to the bottom of the text), 0 when there is no font.
    // With DT_CALCRECT nothing is placed and the run stays empty: the right
    // and bottom edges of `rect` move to the extent of the text laid out from
    // its top-left corner.
    static int LayoutDrawText(const std::shared_ptr<const Font>& font, std::string_view text, Rect& rect,
        unsigned format, TextRun& run);

    // The characters of CP932 text, one or two bytes each; a lead byte cut
    // off by the end of the text is no character.
    static std::vector<std::string_view> SplitCharacters(std::string_view text);

    // The Unicode character of one CP932 character (one or two bytes);
    // U+FFFD for bytes CP932 does not map.
    static char32_t DecodeCharacter(std::string_view character);
};

}

#include "platform/gdi/FontFace.h"

namespace lumarra {

template <typename Plot>
void TextRun::ForEachPixel(const Rect& bounds, Plot&& plot) const
{
    Rect limit = clipped ? bounds.Intersect(clip) : bounds;
    if (limit.IsEmpty())
        return;
    for (const PositionedGlyph& placed : glyphs) {
        const Glyph& glyph = *placed.glyph;
        Rect box { placed.x, placed.y, placed.x + glyph.width, placed.y + glyph.height };
        Rect visible = box.Intersect(limit);
        for (int y = visible.top; y < visible.bottom; ++y) {
            for (int x = visible.left; x < visible.right; ++x) {
                uint8_t coverage = glyph.CoverageAt(x - placed.x, y - placed.y);
                if (coverage != 0)
                    plot(x, y, coverage);
            }
        }
    }
    for (const Rect& bar : bars) {
        Rect visible = bar.Intersect(limit);
        for (int y = visible.top; y < visible.bottom; ++y)
            for (int x = visible.left; x < visible.right; ++x)
                plot(x, y, uint8_t { 255 });
    }
}

}
