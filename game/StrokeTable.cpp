#include "game/StrokeTable.h"

#include "game/KanaStrokeSpelling.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace lumarra {

namespace {

constexpr int kPauseMs = 500;
constexpr int kCellSize = 100;

StrokeRecord RecordOf(CardCode card, bool pause, char direction)
{
    StrokeRecord record { card, pause ? kPauseMs : 0, 0, 0, 0, 0 };
    switch (direction) {
    case 'R':
        record.stepX = 1;
        break;
    case 'L':
        record.startX = kCellSize;
        record.stepX = -1;
        break;
    case 'D':
        record.stepY = 1;
        break;
    default:
        record.startY = kCellSize;
        record.stepY = -1;
        break;
    }
    return record;
}

std::vector<StrokeRecord> BuildTable()
{
    std::vector<StrokeRecord> table;
    for (const KanaStrokeSpelling& kana : kKanaStrokeSpellings) {
        bool pause = false;
        for (char letter : kana.records) {
            if (letter == '+')
                pause = true;
            else if (letter != ' ') {
                table.push_back(RecordOf(kana.cardCode, pause, letter));
                pause = false;
            }
        }
    }
    table.push_back({});
    return table;
}

}

std::span<const StrokeRecord> StrokeTable()
{
    static const std::vector<StrokeRecord> table = BuildTable();
    return table;
}

std::span<const StrokeRecord> StrokesOf(CardCode card)
{
    std::span<const StrokeRecord> table = StrokeTable();
    if (card <= 0)
        return {};
    auto first = std::find_if(table.begin(), table.end(), [card](const StrokeRecord& r) { return r.card == card; });
    auto last = std::find_if(first, table.end(), [card](const StrokeRecord& r) { return r.card != card; });
    return { first, last };
}

}
