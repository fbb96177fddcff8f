#include "tools/pictures/DeckLayout.h"

#include <algorithm>

namespace lumarra {

namespace {

// CardCode -> ReadIndex of the proverb decks (verse order); unused cells 0.
constexpr std::array<int, 52> kProverbReadIndex
    = { 0, 35, 0, 23, 33, 26, 13, 37, 27, 30, 32, 36, 41, 46, 45, 17, 15, 7, 18, 34, 6, 20, 3, 9, 19, 25, 2, 43, 31, 5,
          4, 29, 40, 22, 39, 44, 28, 0, 38, 0, 14, 21, 8, 10, 16, 1, 12, 24, 0, 42, 11, 47 };

// Kana-table order over the cells that hold a kana card.
constexpr std::array<int, 52> kKanaReadIndex = [] {
    std::array<int, 52> table {};
    int next = 0;
    for (int cell = 1; cell <= 51; ++cell) {
        bool empty = cell == 37 || cell == 39 || cell == 47 || cell == 48 || cell == 49;
        table[cell] = empty ? -1 : next++;
    }
    table[0] = -1;
    return table;
}();

std::vector<int> CardRange(bool withN, bool kana)
{
    std::vector<int> cards;
    for (int cell = 1; cell <= 51; ++cell) {
        if (cell == 37 || cell == 39 || cell == 48)
            continue;
        if (kana && (cell == 47 || cell == 49))
            continue;
        if (cell == 51 && !withN)
            continue;
        cards.push_back(cell);
    }
    return cards;
}

const std::array<DeckLayout, 4>& Decks()
{
    static const std::array<DeckLayout, 4> decks = {
        DeckLayout { "edo", DeckKind::Proverb, 2000, CardRange(true, false) },
        DeckLayout { "kamigata", DeckKind::Proverb, 3000, CardRange(true, false) },
        DeckLayout { "owari", DeckKind::Proverb, 4000, CardRange(false, false) },
        DeckLayout { "aiueo", DeckKind::Kana, 1000, CardRange(true, true) },
    };
    return decks;
}

}

bool DeckLayout::Holds(int cardCode) const
{
    return std::find(cards.begin(), cards.end(), cardCode) != cards.end();
}

int DeckLayout::ReadIndexOf(int cardCode) const
{
    if (!Holds(cardCode))
        return -1;
    return kind == DeckKind::Kana ? kKanaReadIndex[cardCode] : kProverbReadIndex[cardCode];
}

int DeckLayout::KanaStringId(int cardCode) const
{
    int r = ReadIndexOf(cardCode);
    if (r < 0)
        return -1;
    return kind == DeckKind::Kana ? textBase + 2 * r : textBase + 10 * r;
}

const DeckLayout* DeckLayout::Find(std::string_view name)
{
    for (const DeckLayout& deck : Decks())
        if (deck.name == name)
            return &deck;
    return nullptr;
}

}
