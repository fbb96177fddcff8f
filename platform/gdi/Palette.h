#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lumarra {

struct PaletteEntry {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};

// A logical palette of at most 256 entries.
class Palette {
public:
    static constexpr size_t kMaxEntries = 256;

    // Null when `entries` is empty or longer than kMaxEntries.
    static std::unique_ptr<Palette> Create(std::span<const PaletteEntry> entries);
    // The 256-color halftone palette: the fixed colors of the default
    // 8-bit color table.
    static std::unique_ptr<Palette> CreateHalftone();

    size_t GetCount() const { return m_entries.size(); }
    const PaletteEntry& Entry(size_t index) const { return m_entries[index]; }
    // Index of the entry nearest to `color` in RGB distance; the first of
    // equally near entries wins.
    uint32_t NearestIndex(COLORREF color) const;

private:
    explicit Palette(std::vector<PaletteEntry> entries);

    std::vector<PaletteEntry> m_entries;
    std::vector<RgbQuad> m_quads;
};

// The fixed 256-entry color table every new 8-bit bitmap gets, and the
// 16-entry VGA table of new 4-bit bitmaps.
std::span<const RgbQuad, 256> DefaultColorTable256();
std::span<const RgbQuad, 16> DefaultColorTable16();

// Index of the entry of `table` nearest to `color`.
uint32_t NearestColorIndex(std::span<const RgbQuad> table, COLORREF color);

}
