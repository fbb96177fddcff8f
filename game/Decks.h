#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumarra {

// The four decks, numbered as the menu offers them.
using DeckId = int;
inline constexpr DeckId kDeckEdo = 1;
inline constexpr DeckId kDeckKamigata = 2;
inline constexpr DeckId kDeckOwari = 3;
inline constexpr DeckId kDeckAiueo = 4;
inline constexpr int kDeckCount = 4;

// A card's cell, 1 to 51, in the five-column picture grid filled in
// kana-table order; the same number in every deck. Cells 37, 39 and 48 hold
// no card.
using CardCode = int;
inline constexpr CardCode kLastCardCode = 51;
inline constexpr int kCardCodeSlots = kLastCardCode + 1;
inline constexpr int kSheetColumns = 5;

// The index of a card's texts and voice file: verse order for the proverb
// decks (ん last), kana-table order without ゐ and ゑ for the Aiueo deck.
using ReadIndex = int;
inline constexpr int kVerseCount = 48;

// A deck's cards as stored: the list in dealing order, unused tail entries 0.
inline constexpr int kCardListSize = 50;
using CardList = std::array<CardCode, kCardListSize>;

// What never changes about a deck.
struct DeckInfo {
    DeckId id;
    const char* name;  // UTF-8; shown through Sjis
    int cardCount;
    CardList cards;
    uint32_t textBase;
    int voiceFolder;        // Wave\%03d
    bool sheetsAreBitmaps;  // BITMAP resources rather than IMG pictures
    uint32_t largeSheet;
    uint32_t tableSheet;
    uint32_t smallSheet;
    uint32_t highlightSheet;
    uint32_t practiceBack;
    int scoreCode;
    const char* statisticKey;
};

// The row of a deck; null for numbers outside 1–4.
const DeckInfo* FindDeck(DeckId deck);

// True when the deck holds the card.
bool IsCardOfDeck(DeckId deck, CardCode card);

// Decks 1–3: the verse-order table (unused cells give 0). Deck 4: the
// kana-table position, -1 for cells without a card.
ReadIndex ReadIndexOf(DeckId deck, CardCode card);

// The proverb card of a verse-order place, 0 outside 0–47.
CardCode CardOfVerse(ReadIndex readIndex);

// The string the reading card shows: the reading (ID +2) of a proverb card,
// the word of an Aiueo card; 0 for a card the deck does not hold.
uint32_t ReadingTextId(DeckId deck, CardCode card);

// "Wave\<folder>\<ReadIndex>0.mp3", relative to the program folder; empty for
// a card the deck does not hold.
std::string VoicePath(DeckId deck, CardCode card);

}
