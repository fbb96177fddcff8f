#pragma once

#include "game/ScoreTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumarra {

// "Score.dat" beside the program: the ranking tables of the four decks, one
// after the other in the order of their score codes 20, 30, 40 and 50,
// 48 000 bytes in all. A missing file holds four empty tables.
//
// Filing a game reads the file, puts the game into its deck's table and
// replaces the file, all under an advisory lock ("Score.dat.lock"), so two
// copies of the game finishing together both end up in it. The file is
// replaced atomically: a crash leaves the old or the new file, never a mix.
class ScoreRecord {
public:
    static constexpr int kTables = 4;
    static constexpr size_t kFileSize = kTables * ScoreTable::kBytes;

    // What was found where the file should be.
    enum class FileState {
        Missing,  // no file yet: a new record starts
        Loaded,
        Damaged,     // not 48 000 bytes: kept aside, a new record starts
        Unreadable,  // there but not readable: left alone, nothing filed
    };

    // The outcome of filing one game. `table` is the deck's table as the
    // end screen shows it, with the game at `position` even when the file
    // could not take it.
    struct Filing {
        ScoreTable table;
        int position = -1;  // -1: every record ranks before the game
        FileState found = FileState::Missing;
        bool saved = false;  // the file now holds the game
    };

    // The table of a score code (20, 30, 40, 50 → 0–3); -1 for others.
    static int TableIndex(int scoreCode);

    // Reads the file at `nativePath` into the tables, which stay empty
    // unless it is Loaded.
    FileState Load(const std::string& nativePath);
    // Reads a whole file's bytes; false (tables unchanged) unless there are
    // exactly kFileSize of them.
    bool Parse(std::string_view bytes);
    std::string GetSerialize() const;

    ScoreTable& Table(int index) { return m_tables[static_cast<size_t>(index)]; }
    const ScoreTable& Table(int index) const { return m_tables[static_cast<size_t>(index)]; }

    // The native path of the record in the program folder.
    static std::string DefaultPath();
    // Where a damaged file is kept; the previous such copy is replaced.
    static std::string DamagedPath(const std::string& nativePath);

    // Files a game of `scoreCode` with these counts, ended at `date`, into
    // the file at `nativePath`. An unknown score code files nothing and
    // shows an empty table.
    static Filing FileGame(const std::string& nativePath, int scoreCode, int child, int computer, int32_t date);

private:
    std::array<ScoreTable, kTables> m_tables {};
};

}
