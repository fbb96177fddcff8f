#include "tools/pictures/CardPainter.h"

#include "tools/pictures/DrawnPictures.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/Lettering.h"

#include <algorithm>
#include <cmath>

namespace lumarra {

namespace {

// Card geometry in the units of a 150 × 210 card.
constexpr float kDesignWidth = 150;
constexpr float kFrame = 7;
constexpr float kPaperRadius = 7;
constexpr float kDiscRadius = 21;
constexpr float kCompactDiscRadius = 29;
constexpr float kDiscInset = 4;
constexpr float kKanaToDisc = 1.45f;  // kana em size over disc radius
// Top of the band the study screen writes a kana card's word in.
constexpr float kWordBandTop = 180;

constexpr uint32_t kPaperTop = 0xFFFCF2;
constexpr uint32_t kPaperBottom = 0xF7EBCF;
constexpr uint32_t kDiscRed = 0xE0342C;
constexpr uint32_t kDiscRim = 0x9E1F1A;
constexpr uint32_t kWordBand = 0xFFFFFF;

struct Slot {
    float cx, cy, size;
};

// Where the emoji go, by how many there are; the first slot is the main one.
std::vector<Slot> Slots(size_t count, bool compact, bool wordBand)
{
    if (wordBand)
        return { { 75, 118, compact ? 118.f : 104.f } };
    if (compact) {
        switch (count) {
        case 1:
            return { { 75, 132, 124 } };
        case 2:
            return { { 66, 144, 104 }, { 112, 64, 62 } };
        default:
            return { { 62, 148, 94 }, { 112, 60, 58 }, { 120, 126, 54 } };
        }
    }
    switch (count) {
    case 1:
        return { { 75, 126, 112 } };
    case 2:
        return { { 66, 140, 96 }, { 108, 66, 62 } };
    default:
        return { { 60, 146, 84 }, { 108, 62, 56 }, { 116, 128, 52 } };
    }
}

Paint Darker(uint32_t rgb, float amount)
{
    return Paint::Hex(rgb).Mix(Paint::Hex(0), amount);
}

Paint Lighter(uint32_t rgb, float amount)
{
    return Paint::Hex(rgb).Mix(Paint::Hex(0xFFFFFF), amount);
}

}

CardPainter::CardPainter(EmojiFont& emoji)
    : m_emoji(emoji)
{
}

CardPainter::~CardPainter() = default;

std::optional<Canvas> RenderPicture(EmojiFont& font, std::string_view name)
{
    if (name.starts_with('@'))
        return PaintDrawnPicture(name.substr(1));
    return font.Render(name);
}

bool DrawEmoji(Canvas& canvas, EmojiFont& font, const std::string& name, float cx, float cy, float size)
{
    std::optional<Canvas> picture = RenderPicture(font, name);
    if (!picture)
        return false;
    float scale = size / std::max(picture->GetWidth(), picture->GetHeight());
    float w = picture->GetWidth() * scale, h = picture->GetHeight() * scale;
    canvas.DrawCanvas(*picture, cx - w / 2, cy - h / 2, w, h);
    return true;
}

Lettering& CardPainter::KanaLettering(int pixelSize)
{
    std::unique_ptr<Lettering>& lettering = m_letterings[pixelSize];
    if (!lettering)
        lettering = Lettering::Create(pixelSize, true);
    return *lettering;
}

std::vector<std::string> CardPainter::Missing(const CardDesign& design)
{
    std::vector<std::string> missing;
    for (const std::string& name : design.emoji)
        if (!RenderPicture(m_emoji, name))
            missing.push_back(name);
    return missing;
}

Canvas CardPainter::Paint(const CardDesign& design, int width, int height, bool compact)
{
    Canvas card(width, height);
    float s = width / kDesignWidth;
    float w = static_cast<float>(width), h = static_cast<float>(height);

    card.FillRoundRectGradient(0, 0, w, h, 0, Lighter(design.frame, 0.18f), Darker(design.frame, 0.12f));
    card.StrokeRoundRect(0, 0, w, h, 0, std::max(1.0f, s), Darker(design.frame, 0.45f));
    float f = kFrame * s;
    card.FillRoundRectGradient(f, f, w - 2 * f, h - 2 * f, kPaperRadius * s, Paint::Hex(kPaperTop),
        Paint::Hex(kPaperBottom));
    card.StrokeRoundRect(f + 2 * s, f + 2 * s, w - 4 * s - 2 * f, h - 4 * s - 2 * f, (kPaperRadius - 2) * s,
        std::max(0.8f, s), Lighter(design.frame, 0.35f).WithAlpha(0.7f));
    if (design.wordBand)
        card.FillRoundRect(f + 4 * s, kWordBandTop * s, w - 2 * f - 8 * s, h - f - s - kWordBandTop * s, 4 * s,
            Paint::Hex(kWordBand));

    std::vector<Slot> slots = Slots(design.emoji.size(), compact, design.wordBand);
    // Background pieces first, the main picture in front; a soft shadow
    // grounds the main picture.
    if (!design.emoji.empty()) {
        const Slot& main = slots[0];
        card.FillEllipse(main.cx * s, (main.cy + main.size * 0.44f) * s, main.size * 0.36f * s, main.size * 0.07f * s,
            Paint::Hex(0x6B4E2A, 0.18f));
    }
    for (size_t i = std::min(design.emoji.size(), slots.size()); i-- > 0;)
        DrawEmoji(card, m_emoji, design.emoji[i], slots[i].cx * s, slots[i].cy * s, slots[i].size * s);

    float r = (compact ? kCompactDiscRadius : kDiscRadius) * s;
    float centre = f + kDiscInset * s + r;
    card.FillCircle(centre, centre, r + std::max(1.0f, 1.2f * s), Paint::Hex(0xFFFFFF));
    card.FillCircle(centre, centre, r, Paint::Hex(kDiscRed));
    card.StrokeCircle(centre, centre, r - 0.6f * s, std::max(0.8f, 1.2f * s), Paint::Hex(kDiscRim, 0.8f));
    int kanaSize = std::max(8, static_cast<int>(std::lround(r * kKanaToDisc)));
    KanaLettering(kanaSize).DrawCentered(card, design.kana, centre, centre, Paint::Hex(0xFFFFFF));
    return card;
}

}
