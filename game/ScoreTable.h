#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumarra {

// One finished game as the score record keeps it: three 32-bit signed
// little-endian numbers on disk.
struct ScoreEntry {
    int32_t date = 0;      // the game's end, seconds since 1970 UTC; 0 = empty
    int32_t child = 0;     // cards the child took
    int32_t computer = 0;  // cards the computer took

    bool IsUsed() const { return date != 0; }
    bool SameCounts(const ScoreEntry& other) const { return child == other.child && computer == other.computer; }
};

// One deck's ranking: 1000 records, best first, the empty ones after the
// used ones. A game ranks by its winner's count (more is better), then its
// loser's count (fewer is better), whoever won; among equal results the
// newest comes first.
//
// The table is read from a file anyone may have edited, so nothing here
// relies on the records being in order: filing walks whatever is there and
// places only count the changes from one record to the next.
class ScoreTable {
public:
    static constexpr int kRecords = 1000;
    static constexpr size_t kRecordBytes = 12;
    static constexpr size_t kBytes = kRecords * kRecordBytes;

    // Reads exactly kBytes from `bytes`.
    void Read(const uint8_t* bytes);
    // Writes exactly kBytes to `bytes`.
    void Write(uint8_t* bytes) const;

    // Where a game with these counts would be filed: at the first empty
    // record or before the first used record it ranks before (a record with
    // the same key included); -1 when every record ranks before it.
    int FindPosition(int child, int computer) const;
    // Files the game there, moving the records below down one (the last
    // falls off); its position, or -1 when nothing was filed.
    int File(int child, int computer, int32_t date);

    // The place of the record at `position`: 1 for the first, one more at
    // every record whose counts differ from the record before it. Positions
    // outside the table answer 0.
    int PlaceOf(int position) const;
    // The place a game that could not be filed would have: one below the
    // last record's.
    int GetPlaceAfterLast() const { return PlaceOf(kRecords - 1) + 1; }

    const ScoreEntry& At(int position) const { return m_records[static_cast<size_t>(position)]; }
    int GetUsedCount() const;

private:
    std::array<ScoreEntry, kRecords> m_records {};
};

}
