#include "platform/gdi/Palette.h"

#include <array>

namespace lumarra {

namespace {

constexpr RgbQuad Quad(uint8_t first, uint8_t second, uint8_t third)
{
    return RgbQuad { first, second, third, 0 };
}

constexpr std::array<RgbQuad, 16> kVgaTable = {
    Quad(0, 0, 0),
    Quad(0, 0, 128),
    Quad(0, 128, 0),
    Quad(0, 128, 128),
    Quad(128, 0, 0),
    Quad(128, 0, 128),
    Quad(128, 128, 0),
    Quad(192, 192, 192),
    Quad(128, 128, 128),
    Quad(0, 0, 255),
    Quad(0, 255, 0),
    Quad(0, 255, 255),
    Quad(255, 0, 0),
    Quad(255, 0, 255),
    Quad(255, 255, 0),
    Quad(255, 255, 255),
};

// The fixed 8-bit table, as stored bytes: twenty static colors split around
// the color cube of the levels 0, 51, ... 255 plus extra greys.
std::array<RgbQuad, 256> BuildTable256()
{
    std::array<RgbQuad, 256> table {};
    const RgbQuad head[10] = { Quad(0, 0, 0), Quad(128, 0, 0), Quad(0, 128, 0), Quad(128, 128, 0), Quad(0, 0, 128),
        Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192), Quad(192, 220, 192), Quad(166, 202, 240) };
    const uint8_t greys[12] = { 4, 8, 12, 17, 22, 28, 34, 41, 85, 77, 66, 57 };
    const uint8_t moreGreys[7] = { 95, 110, 120, 134, 141, 178, 186 };
    const uint8_t lastGreys[9] = { 195, 206, 215, 222, 229, 234, 240, 244, 248 };
    const RgbQuad tail[10]
        = { Quad(255, 251, 240), Quad(160, 160, 164), Quad(128, 128, 128), Quad(255, 0, 0), Quad(0, 255, 0),
              Quad(255, 255, 0), Quad(0, 0, 255), Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255) };
    size_t at = 0;
    for (const RgbQuad& quad : head)
        table[at++] = quad;
    for (uint8_t grey : greys)
        table[at++] = Quad(grey, grey, grey);
    for (uint8_t grey : moreGreys)
        table[at++] = Quad(grey, grey, grey);
    // The cube without the corners that the static colors already hold.
    for (int b = 0; b < 6; ++b) {
        for (int g = 0; g < 6; ++g) {
            for (int r = 0; r < 6; ++r) {
                bool corner = (r == 0 || r == 5) && (g == 0 || g == 5) && (b == 0 || b == 5);
                if (!corner)
                    table[at++] = Quad(static_cast<uint8_t>(51 * b), static_cast<uint8_t>(51 * g),
                        static_cast<uint8_t>(51 * r));
            }
        }
    }
    for (uint8_t grey : lastGreys)
        table[at++] = Quad(grey, grey, grey);
    for (const RgbQuad& quad : tail)
        table[at++] = quad;
    return table;
}

int Distance(const RgbQuad& entry, COLORREF color)
{
    int dr = entry.rgbRed - GetRValue(color);
    int dg = entry.rgbGreen - GetGValue(color);
    int db = entry.rgbBlue - GetBValue(color);
    return dr * dr + dg * dg + db * db;
}

}

std::span<const RgbQuad, 256> DefaultColorTable256()
{
    static const std::array<RgbQuad, 256> table = BuildTable256();
    return table;
}

std::span<const RgbQuad, 16> DefaultColorTable16()
{
    return kVgaTable;
}

uint32_t NearestColorIndex(std::span<const RgbQuad> table, COLORREF color)
{
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < table.size() && bestDistance > 0; ++i) {
        int distance = Distance(table[i], color);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint32_t>(i);
        }
    }
    return best;
}

std::unique_ptr<Palette> Palette::Create(std::span<const PaletteEntry> entries)
{
    if (entries.empty() || entries.size() > kMaxEntries)
        return nullptr;
    return std::unique_ptr<Palette>(new Palette({ entries.begin(), entries.end() }));
}

std::unique_ptr<Palette> Palette::CreateHalftone()
{
    std::vector<PaletteEntry> entries;
    for (const RgbQuad& quad : DefaultColorTable256())
        entries.push_back({ quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0 });
    return std::unique_ptr<Palette>(new Palette(std::move(entries)));
}

Palette::Palette(std::vector<PaletteEntry> entries)
    : m_entries(std::move(entries))
{
    for (const PaletteEntry& entry : m_entries)
        m_quads.push_back({ entry.peBlue, entry.peGreen, entry.peRed, 0 });
}

uint32_t Palette::NearestIndex(COLORREF color) const
{
    return NearestColorIndex(m_quads, color);
}

}
