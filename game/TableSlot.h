#pragma once

#include "platform/gdi/GdiTypes.h"

#include <array>

namespace lumarra {

// The 3 × 6 table of a game. Slot s = row · 6 + column, row 0 at the top,
// column 0 at the left; the card of a slot is drawn 128 × 180 with 4-pixel
// gaps.
class TableSlot {
public:
    static constexpr int kColumns = 6;
    static constexpr int kRows = 3;
    static constexpr int kCount = kColumns * kRows;
    // What the layout gives for a place off the table.
    static constexpr int kNoSlot = 100;

    // The layout table's entry for (column, row): slot + 1, or kNoSlot
    // outside columns 0–5 and rows 0–2.
    static int LayoutEntry(int column, int row);

    static int ColumnOf(int slot) { return slot % kColumns; }
    static int RowOf(int slot) { return slot / kColumns; }
    // Top-left corner of the slot's card on the stage.
    static Point CardPosition(int slot);

    // The order in which the deal puts the slots down, two per step: row 0
    // from the left with row 2 from the right, then row 1 from both ends
    // towards the middle.
    static constexpr int kDealSteps = 9;
    static constexpr int kCardsPerDealStep = 2;
    static const std::array<int, kCount>& DealOrder();
};

}
