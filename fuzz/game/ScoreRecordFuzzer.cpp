// Reads arbitrary bytes as a score record, padded with empty records (or cut)
// to a whole file, and files a game into each table. Whatever the records
// hold (unsorted, negative, empty ones among used ones), places never go
// down and never jump, filing moves the records after the new one down by
// exactly one, and the end screen's lines stay within ten around the new
// game.

#include "game/ScoreRecord.h"
#include "game/ScoreScreen.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lumarra;

namespace {

// Places counted the long way, compared at a spread of positions (every
// position would make each input quadratic) and around `around`.
void CheckPlaces(const ScoreTable& table, int around)
{
    constexpr int kSpread = 37;
    int place = 1;
    int last = 0;
    for (int i = 0; i < ScoreTable::kRecords; ++i) {
        if (i > 0 && !table.At(i).SameCounts(table.At(i - 1)))
            ++place;
        bool sampled = i % kSpread == 0 || i == ScoreTable::kRecords - 1 || (i >= around - 1 && i <= around + 1);
        if (!sampled)
            continue;
        int got = table.PlaceOf(i);
        if (got != place || got < last)
            std::abort();
        last = got;
    }
}

void CheckFiling(const ScoreTable& before, int child, int computer)
{
    ScoreRecord::Filing filing;
    filing.table = before;
    filing.position = filing.table.File(child, computer, 1);
    const ScoreTable& after = filing.table;
    int at = filing.position;
    if (at != before.FindPosition(child, computer) || at < -1 || at >= ScoreTable::kRecords)
        std::abort();
    for (int i = 0; i < ScoreTable::kRecords; ++i) {
        const ScoreEntry& expected = at < 0 || i < at ? before.At(i)
            : i == at                                 ? ScoreEntry { 1, child, computer }
                                                      : before.At(i - 1);
        const ScoreEntry& got = after.At(i);
        if (got.date != expected.date || !got.SameCounts(expected))
            std::abort();
    }
    CheckPlaces(after, at);
    ScoreScreen::Content content = ScoreScreen::Compose(filing, child >= computer, child, computer);
    if (content.lines.size() > ScoreScreen::kLines || content.highlightedLine >= static_cast<int>(content.lines.size()))
        std::abort();
    if (at >= 0 && after.At(at).IsUsed() && content.highlightedLine < 0)
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ScoreRecord record;
    if (record.Parse(bytes) != (size == ScoreRecord::kFileSize))
        std::abort();
    bytes.resize(ScoreRecord::kFileSize);
    if (!record.Parse(bytes) || record.GetSerialize() != bytes)
        std::abort();
    // The game's counts come from the input too, mostly as real games have them.
    int child = size ? data[0] % 19 : 9;
    int computer = size > 1 && data[1] >= 0xF0 ? static_cast<int8_t>(data[1]) : 18 - child;
    for (int table = 0; table < ScoreRecord::kTables; ++table) {
        CheckPlaces(record.Table(table), 0);
        CheckFiling(record.Table(table), child, computer);
    }
    return 0;
}
