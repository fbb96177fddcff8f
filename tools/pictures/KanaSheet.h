#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/Recipe.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// The kana writing sheet: a 10 × 51 grid of 100 × 100 cells. Row v - 1
// belongs to CardCode v: cell k shows the kana as it stands once stroke
// record k has been written, and marks (in its top row, or its left column
// for vertical records) the columns or rows that record sweeps; the cell
// after the last record holds the finished kana. Cell (9, 0) is the empty
// writing box. Magenta is blank.
//
// The recipe gives each kana's brush path as one line per record:
//   kana <CardCode> <kana>
//   <direction> x,y x,y ...     direction R, L, D or U, '+' first when the
//                               record waits before it starts
// and must match the game's stroke table record for record.
class KanaSheet {
public:
    static constexpr int kCell = 100;
    static constexpr int kColumns = 10;
    static constexpr int kRows = 51;

    struct Record {
        char direction = 'R';
        bool delayed = false;
        std::vector<PointF> path;
    };
    struct Kana {
        int cardCode = 0;
        std::string text;
        std::vector<Record> records;
    };

    explicit KanaSheet(const Recipe& recipe);
    const std::vector<std::string>& GetErrors() const { return m_errors; }
    const std::vector<Kana>& GetKanas() const { return m_kanas; }

    // The game's stroke table for a CardCode, e.g. "R +D +D U R D L"; empty
    // for a cell without a kana button.
    static std::string_view StrokeTable(int cardCode);

    // The sheet, already opaque: magenta where blank.
    std::vector<uint32_t> Paint() const;
    bool Write(const std::filesystem::path& out, const std::filesystem::path& contactDir) const;

private:
    void Check();

    std::vector<Kana> m_kanas;
    std::vector<std::string> m_errors;
};

}
