#pragma once

#include "platform/gdi/GdiTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

class DibSurface;

// The verse on a reading card: a 150 × 210 face with the text written in
// vertical columns, right to left, one character per square cell. Up to two
// ASCII spaces split the text into columns (further spaces stay in the last
// one); the long-vowel mark is turned for vertical writing.
class ReadingCard {
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 210;
    static constexpr COLORREF kTextColor = 0x606060;

    struct Character {
        std::string text;  // its CP932 bytes
        int x = 0;
        int y = 0;
        int size = 0;
        // Where drawing it may change the card, clipped to the card.
        Rect cell;
    };

    // Lays out CP932 text. Characters that would fall wholly outside the
    // card, or whose cell would have no size, are left out.
    static ReadingCard Layout(std::string_view text);

    const std::vector<Character>& GetCharacters() const { return m_characters; }
    int GetColumns() const { return m_columns; }
    int GetStep() const { return m_step; }
    int GetSize() const { return m_size; }

    // Writes one character, or the whole verse, on a card face.
    static void DrawCharacter(DibSurface& face, const Character& character);
    void Draw(DibSurface& face) const;

private:
    using Line = std::vector<std::string>;

    void Place(const std::vector<Line>& lines);
    void FitOneColumn(int n);
    void FitColumns(const std::vector<Line>& lines);
    void AddLine(const Line& line, int x, int top);

    std::vector<Character> m_characters;
    int m_columns = 0;
    int m_step = 0;
    int m_size = 0;
};

}
