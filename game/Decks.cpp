#include "game/Decks.h"

#include "game/StringIds.h"

#include <cstdio>

namespace lumarra {

namespace {

// CardCode → ReadIndex of the proverb decks: the kana's place in the verse
// order いろは…す, ん last. Unused cells map to 0.
constexpr std::array<ReadIndex, kCardCodeSlots> kVerseIndex = {
    0,                   // (no cell 0)
    35, 0, 23, 33, 26,   // あいうえお
    13, 37, 27, 30, 32,  // かきくけこ
    36, 41, 46, 45, 17,  // さしすせそ
    15, 7, 18, 34, 6,    // たちつてと
    20, 3, 9, 19, 25,    // なにぬねの
    2, 43, 31, 5, 4,     // はひふへほ
    29, 40, 22, 39, 44,  // まみむめも
    28, 0, 38, 0, 14,    // や ゆ よ
    21, 8, 10, 16, 1,    // らりるれろ
    12, 24, 0, 42, 11,   // わゐ ゑを
    47,                  // ん
};

// ReadIndex → CardCode of the proverb decks, the inverse of kVerseIndex on
// every used cell.
constexpr std::array<CardCode, kVerseCount> kVerseCards = {
    2,
    45,
    26,
    22,
    30,
    29,
    20,
    17,
    42,
    23,
    43,
    50,
    46,
    6,
    40,
    16,
    44,
    15,
    18,
    24,
    21,
    41,
    33,
    3,
    47,
    25,
    5,
    8,
    36,
    31,
    9,
    28,
    10,
    4,
    19,
    1,
    11,
    7,
    38,
    34,
    32,
    12,
    49,
    27,
    35,
    14,
    13,
    51,
};

// CardCode → ReadIndex + 1 of the Aiueo deck (0: no card in that cell).
constexpr std::array<ReadIndex, kCardCodeSlots> kKanaIndexPlusOne = [] {
    std::array<ReadIndex, kCardCodeSlots> table {};
    int next = 1;
    for (CardCode card = 1; card <= kLastCardCode; ++card) {
        bool kanaDeckCell = card != 37 && card != 39 && card != 47 && card != 48 && card != 49;
        if (kanaDeckCell)
            table[static_cast<size_t>(card)] = next++;
    }
    return table;
}();

// The cells of a deck in grid order, leaving out the listed ones.
template <size_t N>
constexpr CardList CardsWithout(const CardCode (&excluded)[N])
{
    CardList cards {};
    size_t next = 0;
    for (CardCode card = 1; card <= kLastCardCode; ++card) {
        bool keep = true;
        for (CardCode left : excluded)
            keep = keep && card != left;
        if (keep)
            cards[next++] = card;
    }
    return cards;
}

constexpr CardCode kNoCardCells[] = { 37, 39, 48 };
constexpr CardCode kOwariMissing[] = { 37, 39, 48, 51 };
constexpr CardCode kAiueoMissing[] = { 37, 39, 47, 48, 49 };

// IMG ids of the tinted table sheets: the table sheet's id plus 0xF0000000.
constexpr uint32_t kTinted = 0xF0000000;

constexpr std::array<DeckInfo, kDeckCount> kDecks = { {
    { kDeckEdo, "江戸Korimba", 48, CardsWithout(kNoCardCells), kEdoTextBase, 1, false, 301, 300, 299, kTinted + 300,
        311, 20, "EdoKorimba" },
    { kDeckKamigata, "上方Korimba", 48, CardsWithout(kNoCardCells), kKamigataTextBase, 2, false, 304, 303, 302,
        kTinted + 303, 312, 30, "KamigataKorimba" },
    { kDeckOwari, "尾張Korimba", 47, CardsWithout(kOwariMissing), kOwariTextBase, 3, false, 307, 306, 305,
        kTinted + 306, 313, 40, "OwariKorimba" },
    { kDeckAiueo, "あいうえおKorimba", 46, CardsWithout(kAiueoMissing), kAiueoTextBase, 0, true, 282, 280, 281,
        kTinted + 280, 310, 50, "AiueoKorimba" },
} };

bool IsCardCode(CardCode card)
{
    return card >= 1 && card <= kLastCardCode;
}

}

const DeckInfo* FindDeck(DeckId deck)
{
    if (deck < kDeckEdo || deck > kDeckAiueo)
        return nullptr;
    return &kDecks[static_cast<size_t>(deck - 1)];
}

bool IsCardOfDeck(DeckId deck, CardCode card)
{
    const DeckInfo* info = FindDeck(deck);
    if (!info || !IsCardCode(card))
        return false;
    for (int i = 0; i < info->cardCount; ++i) {
        if (info->cards[static_cast<size_t>(i)] == card)
            return true;
    }
    return false;
}

ReadIndex ReadIndexOf(DeckId deck, CardCode card)
{
    if (deck == kDeckAiueo)
        return IsCardCode(card) ? kKanaIndexPlusOne[static_cast<size_t>(card)] - 1 : -1;
    return IsCardCode(card) ? kVerseIndex[static_cast<size_t>(card)] : 0;
}

CardCode CardOfVerse(ReadIndex readIndex)
{
    if (readIndex < 0 || readIndex >= kVerseCount)
        return 0;
    return kVerseCards[static_cast<size_t>(readIndex)];
}

uint32_t ReadingTextId(DeckId deck, CardCode card)
{
    if (!IsCardOfDeck(deck, card))
        return 0;
    auto readIndex = static_cast<uint32_t>(ReadIndexOf(deck, card));
    if (deck == kDeckAiueo)
        return AiueoStringId(readIndex, kAiueoWord);
    return ProverbStringId(FindDeck(deck)->textBase, readIndex, kProverbReading);
}

std::string VoicePath(DeckId deck, CardCode card)
{
    if (!IsCardOfDeck(deck, card))
        return {};
    char path[32];
    std::snprintf(path, sizeof path, "Wave\\%03d\\%03d0.mp3", FindDeck(deck)->voiceFolder, ReadIndexOf(deck, card));
    return path;
}

}
