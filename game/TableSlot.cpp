#include "game/TableSlot.h"

#include <cstddef>

namespace lumarra {

namespace {

constexpr int kCardPitchX = 132;
constexpr int kCardPitchY = 184;
constexpr int kTableLeft = 5;
constexpr int kTableTop = 33;

constexpr std::array<int, TableSlot::kCount> kLayout = [] {
    std::array<int, TableSlot::kCount> layout {};
    for (int slot = 0; slot < TableSlot::kCount; ++slot)
        layout[static_cast<size_t>(slot)] = slot + 1;
    return layout;
}();

constexpr int SlotAt(int column, int row)
{
    return row * TableSlot::kColumns + column;
}

constexpr std::array<int, TableSlot::kCount> kDealOrder = [] {
    std::array<int, TableSlot::kCount> order {};
    size_t next = 0;
    for (int column = 0; column < TableSlot::kColumns; ++column) {
        order[next++] = SlotAt(column, 0);
        order[next++] = SlotAt(TableSlot::kColumns - 1 - column, 2);
    }
    for (int column = 0; column < TableSlot::kColumns / 2; ++column) {
        order[next++] = SlotAt(column, 1);
        order[next++] = SlotAt(TableSlot::kColumns - 1 - column, 1);
    }
    return order;
}();

}

int TableSlot::LayoutEntry(int column, int row)
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return kNoSlot;
    return kLayout[static_cast<size_t>(SlotAt(column, row))];
}

Point TableSlot::CardPosition(int slot)
{
    return { ColumnOf(slot) * kCardPitchX + kTableLeft, RowOf(slot) * kCardPitchY + kTableTop };
}

const std::array<int, TableSlot::kCount>& TableSlot::DealOrder()
{
    return kDealOrder;
}

}
