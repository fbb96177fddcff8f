#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/Recipe.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lumarra {

// The kana writing sheet: a 10 × 51 grid of 100 × 100 cells. Row v - 1
// belongs to CardCode v: cell k shows the kana as it stands once stroke
// record k has been written, and marks (in its top row, or its left column
// for vertical records) the columns or rows that record sweeps; the cell
// after the last record holds the finished kana. Cell (9, 0) is the empty
// writing box. Magenta is blank.
class KanaSheet {
public:
    static constexpr int kCell = 100;
    static constexpr int kColumns = 10;
    static constexpr int kRows = 51;

    explicit KanaSheet(const Recipe& recipe);
    const std::vector<std::string>& Errors() const { return m_errors; }

    Canvas Paint() const;
    bool Write(const std::filesystem::path& out, const std::filesystem::path& contactDir) const;

private:
    std::vector<std::string> m_errors;
};

}
