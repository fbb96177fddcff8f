#include "graphics/OutlinedText.h"

#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/TextLayout.h"

#include <algorithm>
#include <vector>

namespace lumarra {

namespace {

constexpr int kFullInk = 255;
constexpr int kFullGray = 64;
// Pixels inked more heavily than this blend against the text color itself,
// which saves reading the background under nearly solid strokes.
constexpr int kReadBackgroundLimit = 150;

// 3 … 255 for grey levels 1 … 64; a level above 64 counts as full ink.
int InkWeight(uint8_t value)
{
    return 4 * std::min<int>(value, kFullGray) - 1;
}

// background × a / 255 + ink × b / 255 per channel, each term truncated.
COLORREF Mix(COLORREF background, int paperWeight, COLORREF ink, int inkWeight)
{
    auto channel = [&](uint8_t under, uint8_t over) {
        return static_cast<uint8_t>(under * paperWeight / kFullInk + over * inkWeight / kFullInk);
    };
    return RGB(channel(GetRValue(background), GetRValue(ink)), channel(GetGValue(background), GetGValue(ink)),
        channel(GetBValue(background), GetBValue(ink)));
}

GrayGlyph ViewOf(const Glyph& glyph)
{
    GrayGlyph view;
    view.width = glyph.width;
    view.height = glyph.height;
    view.pitch = glyph.gray65Pitch;
    view.originX = glyph.originX;
    view.originY = glyph.originY;
    view.advance = glyph.advance;
    view.bits = glyph.gray65.data();
    return view;
}

}

void PaintGrayGlyph(DrawContext& dc, const GrayGlyph& glyph, int left, int top, COLORREF textColor, COLORREF shadeColor)
{
    if (!glyph.bits || glyph.width <= 0 || glyph.height <= 0 || glyph.pitch < glyph.width)
        return;
    size_t size = static_cast<size_t>(glyph.pitch) * glyph.height;
    // The value that follows `index` in the bitmap; the bitmap ends in
    // nothing rather than in whatever memory lies after it.
    auto valueAt = [&](size_t index) -> uint8_t { return index < size ? glyph.bits[index] : 0; };
    for (int row = 0; row < glyph.height; ++row) {
        for (int col = 0; col < glyph.pitch; ++col) {
            size_t index = static_cast<size_t>(row) * glyph.pitch + col;
            uint8_t value = glyph.bits[index];
            if (value == 0)
                continue;
            int ink = InkWeight(value);
            int paper = kFullInk - ink;
            bool readBackground = ink <= kReadBackgroundLimit;
            int px = left + col;
            int py = top + row;
            COLORREF background = readBackground ? dc.GetPixel(px, py) : textColor;
            dc.SetPixelV(px, py, Mix(background, paper, textColor, ink));

            if (shadeColor == kNoColor)
                continue;
            uint8_t right = valueAt(index + 1);
            uint8_t below = row + 1 < glyph.height ? valueAt(index + glyph.pitch) : 0;
            if (right == 0 && below == 0)
                continue;
            COLORREF under = readBackground ? dc.GetPixel(px + 1, py + 1) : textColor;
            dc.SetPixelV(px + 1, py + 1, Mix(under, paper, shadeColor, ink));
        }
    }
}

int RenderOutlinedText(DrawContext& dc, OutlinedTextStyle style, std::string_view text, int x, int y, int w, int h,
    std::string_view face, int height, int weight, COLORREF textColor, COLORREF shadeColor)
{
    std::vector<std::string_view> characters = TextLayout::SplitCharacters(text);
    if (characters.empty())
        return 0;

    LogFont logFont;
    logFont.height = height;
    logFont.width = height / 2;
    logFont.weight = style == OutlinedTextStyle::Baseline ? weight : kOutlinedTextWeight;
    logFont.charSet = kShiftJisCharset;
    logFont.faceName = face;
    std::shared_ptr<const Font> font = Font::Create(logFont);
    if (!font)
        return 0;
    std::shared_ptr<const Font> previous = dc.SelectFont(font);

    std::vector<GrayGlyph> glyphs;
    glyphs.reserve(characters.size());
    int totalAdvance = 0;
    int maxBoxHeight = 0;
    for (std::string_view character : characters) {
        GrayGlyph glyph = ViewOf(font->GetGlyph(TextLayout::DecodeCharacter(character)));
        totalAdvance += glyph.advance;
        maxBoxHeight = std::max(maxBoxHeight, glyph.height);
        glyphs.push_back(glyph);
    }
    const GrayGlyph& last = glyphs.back();
    int trailing = last.advance - last.originX - last.width;

    int x0 = style == OutlinedTextStyle::Plain ? x + (w - totalAdvance) / 2 : x + (trailing + w - totalAdvance) / 2;
    int y0 = y + (h - maxBoxHeight) / 2;
    int ascent = font->GetTextMetrics().ascent;
    int pen = x0;
    for (const GrayGlyph& glyph : glyphs) {
        int left = pen + glyph.originX;
        int top = style == OutlinedTextStyle::Baseline ? y0 + ascent - glyph.originY : y0 + maxBoxHeight - glyph.height;
        PaintGrayGlyph(dc, glyph, left, top, textColor, shadeColor);
        pen += glyph.advance;
    }

    dc.SelectFont(previous);
    return 1;
}

}
