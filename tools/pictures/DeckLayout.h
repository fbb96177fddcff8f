#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace lumarra {

// Where a deck's cards sit on its picture sheets: CardCode c (1..51) is the
// cell in column (c - 1) mod 5, row (c - 1) div 5 of a 5 × 11 grid; a card's
// texts are found by its ReadIndex.
inline constexpr int kSheetColumns = 5;
inline constexpr int kSheetRows = 11;
inline constexpr int kSheetCells = kSheetColumns * kSheetRows;

enum class DeckKind { Proverb, Kana };

struct DeckLayout {
    std::string_view name;
    DeckKind kind;
    int textBase;
    // CardCodes in the deck.
    std::vector<int> cards;

    // The card's ReadIndex (-1 for a cell without a card).
    int ReadIndexOf(int cardCode) const;
    // Id of the head kana string of a card.
    int KanaStringId(int cardCode) const;
    bool Holds(int cardCode) const;

    static const DeckLayout* Find(std::string_view name);
};

}
