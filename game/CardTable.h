#pragma once

#include "game/Decks.h"
#include "platform/gdi/GdiTypes.h"

#include <atomic>
#include <span>

namespace lumarra {

class Scene;

// One game's cards: the deck list (whose first 18 entries are the slots of
// the table once dealt; a taken card's entry becomes 0), the deck size, the
// two take counts, and the drawing of cards through the owning scene.
class CardTable {
public:
    // The key of the table cards' hot spots.
    static constexpr int kCardKey = 512;

    explicit CardTable(Scene& scene)
        : m_scene(scene)
    {
    }

    // Copies the 50-entry list, sets the deck size (at most 50) and clears
    // both take counts.
    void SetDeck(const CardList& cards, int count);
    int GetDeckSize() const { return m_deckSize; }
    const CardList& GetCards() const { return m_cards; }
    CardList& GetCards() { return m_cards; }

    // 10 000 rounds, each drawing r1 then r2 from the program's random
    // sequence and swapping entries first + r1 mod count and first + r2 mod
    // count. Count 0 means the deck size; a range that does not fit in
    // `cards` is left alone.
    void Shuffle(std::span<CardCode> cards, int first, int count) const;
    // Copies `count` entries of the deck list from `first` on (count 0: the
    // deck size) to the start of `destination`, as many as fit.
    void CopyCards(std::span<CardCode> destination, int first, int count) const;

    // The slot holding the card, -1 when it is not on the table; `column`
    // and `row` (when given) receive the slot's place.
    int SlotOf(CardCode card, int* column = nullptr, int* row = nullptr) const;
    CardCode CardAt(int slot) const;
    void EmptySlot(int slot);

    std::atomic<int> childTakes { 0 };
    std::atomic<int> computerTakes { 0 };

    // Drawing on the stage: a table card plain or from the highlight sheet,
    // a table card with its hot spot (value the CardCode, key 512), and a
    // large (150 × 210) or small (50 × 70) card. Numbers outside 1–51 draw
    // nothing.
    void DrawTableCard(bool highlighted, CardCode card, int x, int y);
    void DrawTableCardWithHotSpot(CardCode card, int x, int y);
    void DrawLargeCard(CardCode card, int x, int y);
    void DrawSmallCard(CardCode card, int x, int y);

    // Puts the first 18 cards of the list down in the deal's order, two
    // cards a step and 100 ms after each step, each with its hot spot. Stops
    // before the next step once `quit` is set. 1 when all were dealt.
    int Deal(const std::atomic<int>& quit);

private:
    void DrawCard(int sheetNumber, Size cell, CardCode card, int x, int y);

    Scene& m_scene;
    CardList m_cards {};
    int m_deckSize = 0;
};

}
