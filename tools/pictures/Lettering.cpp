#include "tools/pictures/Lettering.h"

#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "tools/pictures/EmojiFont.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace lumarra {

namespace {

// Directions sampled for a rim around the letters.
constexpr int kRimDirections = 24;

void DrawGlyph(Canvas& canvas, const Glyph& glyph, float penX, float baseline, const Paint& paint)
{
    if (glyph.width <= 0 || glyph.height <= 0)
        return;
    canvas.DrawMask(glyph.coverage.data(), glyph.width, glyph.height,
        static_cast<int>(std::lround(penX)) + glyph.originX, static_cast<int>(std::lround(baseline)) - glyph.originY,
        paint);
}

}

std::unique_ptr<Lettering> Lettering::Create(int pixelSize, bool bold)
{
    LogFont logFont;
    logFont.height = -pixelSize;
    logFont.weight = bold ? kFontWeightBold : kFontWeightNormal;
    logFont.charSet = kShiftJisCharset;
    logFont.faceName = Sjis("ＭＳ ゴシック");
    std::shared_ptr<Font> font = Font::Create(logFont);
    if (!font)
        return nullptr;
    return std::unique_ptr<Lettering>(new Lettering(std::move(font)));
}

void Lettering::Draw(Canvas& canvas, std::string_view text, float x, float y, const Paint& paint) const
{
    for (char32_t c : DecodeUtf8(text)) {
        DrawGlyph(canvas, m_font->GetGlyph(c), x, y, paint);
        x += m_font->GetAdvance(c);
    }
}

Lettering::Box Lettering::InkBox(std::string_view text) const
{
    Box box { INT_MAX, INT_MAX, INT_MIN, INT_MIN };
    int pen = 0;
    for (char32_t c : DecodeUtf8(text)) {
        const Glyph& glyph = m_font->GetGlyph(c);
        if (glyph.width > 0 && glyph.height > 0) {
            box.left = std::min(box.left, pen + glyph.originX);
            box.right = std::max(box.right, pen + glyph.originX + glyph.width);
            box.top = std::min(box.top, -glyph.originY);
            box.bottom = std::max(box.bottom, -glyph.originY + glyph.height);
        }
        pen += m_font->GetAdvance(c);
    }
    if (box.left == INT_MAX)
        return {};
    return box;
}

void Lettering::DrawCentered(Canvas& canvas, std::string_view text, float cx, float cy, const Paint& paint) const
{
    Box box = InkBox(text);
    Draw(canvas, text, std::round(cx - (box.left + box.right) / 2.0f), std::round(cy - (box.top + box.bottom) / 2.0f),
        paint);
}

void Lettering::DrawCenteredRimmed(Canvas& canvas, std::string_view text, float cx, float cy, const Paint& paint,
    float rim, const Paint& rimPaint) const
{
    for (int i = 0; i < kRimDirections; ++i) {
        float angle = 2 * std::numbers::pi_v<float> * i / kRimDirections;
        DrawCentered(canvas, text, cx + rim * std::cos(angle), cy + rim * std::sin(angle), rimPaint);
    }
    DrawCentered(canvas, text, cx, cy, paint);
}

}
