#include "game/StrokeTable.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace lumarra {

namespace {

// A record's sweep, written as a letter: R left to right, L right to left,
// D top to bottom, U bottom to top; a leading '+' pauses before it.
constexpr int kPauseMs = 500;
constexpr int kCellSize = 100;

struct KanaStrokes {
    CardCode card;
    std::string_view records;
};

constexpr KanaStrokes kStrokes[] = {
    { 1, "R +D +D U R D L" },
    { 2, "D +U +D" },
    { 3, "R +R D L" },
    { 4, "R +R +D +R D R" },
    { 5, "R +D U D L +D" },
    { 6, "R D L +D +D" },
    { 7, "R +R +D +L D R" },
    { 8, "D D" },
    { 9, "D +R +D" },
    { 10, "R +D R" },
    { 11, "R +D +L D R" },
    { 12, "D R U" },
    { 13, "R +D U D L" },
    { 14, "R +D L +D R" },
    { 15, "R +L +R +L D R" },
    { 16, "R +D +R +D R" },
    { 17, "R +D R D L" },
    { 18, "R D L" },
    { 19, "R +L D R" },
    { 20, "D +L D R" },
    { 21, "R +D +R +D L U R" },
    { 22, "D +R +D R" },
    { 23, "D +D U R D L U R" },
    { 24, "D +R +D +R D L U R" },
    { 25, "D U R D L" },
    { 26, "D +R +D L U R" },
    { 27, "R +D R U +D" },
    { 28, "R +D L +D +D" },
    { 29, "U +D" },
    { 30, "D +R +R +D L U R" },
    { 31, "R +R +D L U R" },
    { 32, "R +D U R +D L" },
    { 33, "R +D L U R D R U +D" },
    { 34, "D +D U R D L" },
    { 35, "D R U +R +R" },
    { 36, "R D L +D +D" },
    { 38, "D +U R D L U +D L" },
    { 40, "R +D L U R" },
    { 41, "R +D +R D L" },
    { 42, "D +U D L" },
    { 43, "R +L +R D L U R" },
    { 44, "D +R +D +R D U" },
    { 45, "R +L +R D L" },
    { 46, "D +R +D +U R D L" },
    { 50, "R +D +R D +L D R" },
    { 51, "D +R D U" },
};

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
    for (const KanaStrokes& kana : kStrokes) {
        bool pause = false;
        for (char letter : kana.records) {
            if (letter == '+')
                pause = true;
            else if (letter != ' ') {
                table.push_back(RecordOf(kana.card, pause, letter));
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
