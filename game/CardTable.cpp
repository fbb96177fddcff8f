#include "game/CardTable.h"

#include "app/Scene.h"
#include "game/DeckPictures.h"
#include "game/TableSlot.h"
#include "graphics/DibSurface.h"
#include "support/GameRandom.h"

#include <algorithm>
#include <utility>

namespace lumarra {

namespace {

constexpr int kShuffleRounds = 10000;
constexpr int kDealStepMs = 100;

}

void CardTable::SetDeck(const CardList& cards, int count)
{
    m_cards = cards;
    m_deckSize = std::clamp(count, 0, kCardListSize);
    childTakes = 0;
    computerTakes = 0;
}

void CardTable::Shuffle(std::span<CardCode> cards, int first, int count) const
{
    if (count == 0)
        count = m_deckSize;
    if (first < 0 || count <= 0 || static_cast<size_t>(first) + static_cast<size_t>(count) > cards.size())
        return;
    for (int round = 0; round < kShuffleRounds; ++round) {
        int r1 = GameRandom::Next();
        int r2 = GameRandom::Next();
        std::swap(cards[static_cast<size_t>(first + r1 % count)], cards[static_cast<size_t>(first + r2 % count)]);
    }
}

void CardTable::CopyCards(std::span<CardCode> destination, int first, int count) const
{
    if (count == 0)
        count = m_deckSize;
    if (first < 0 || first >= kCardListSize || count <= 0)
        return;
    size_t n = std::min({ static_cast<size_t>(count), destination.size(), static_cast<size_t>(kCardListSize - first) });
    std::copy_n(m_cards.begin() + first, n, destination.begin());
}

int CardTable::SlotOf(CardCode card, int* column, int* row) const
{
    if (card <= 0)
        return -1;
    for (int slot = 0; slot < TableSlot::kCount; ++slot) {
        if (m_cards[static_cast<size_t>(slot)] != card)
            continue;
        if (column)
            *column = TableSlot::ColumnOf(slot);
        if (row)
            *row = TableSlot::RowOf(slot);
        return slot;
    }
    return -1;
}

CardCode CardTable::CardAt(int slot) const
{
    if (slot < 0 || slot >= TableSlot::kCount)
        return 0;
    return m_cards[static_cast<size_t>(slot)];
}

void CardTable::EmptySlot(int slot)
{
    if (slot >= 0 && slot < TableSlot::kCount)
        m_cards[static_cast<size_t>(slot)] = 0;
}

void CardTable::DrawCard(int sheetNumber, Size cell, CardCode card, int x, int y)
{
    Rect source = CardCellOnSheet(card, cell);
    if (source.IsEmpty())
        return;
    m_scene.DrawSurface(SheetFor(sheetNumber), x, y, cell.width, cell.height, source.left, source.top);
}

void CardTable::DrawTableCard(bool highlighted, CardCode card, int x, int y)
{
    DrawCard(highlighted ? kHighlightSheet : kTableSheet, kTableCard, card, x, y);
}

void CardTable::DrawTableCardWithHotSpot(CardCode card, int x, int y)
{
    if (card < 1 || card > kLastCardCode)
        return;
    DrawTableCard(false, card, x, y);
    m_scene.AddHotSpot(x, y, kTableCard.width, kTableCard.height, card, kCardKey);
}

void CardTable::DrawLargeCard(CardCode card, int x, int y)
{
    DrawCard(kLargeSheet, kLargeCard, card, x, y);
}

void CardTable::DrawSmallCard(CardCode card, int x, int y)
{
    DrawCard(kSmallSheet, kSmallCard, card, x, y);
}

int CardTable::Deal(const std::atomic<int>& quit)
{
    const std::array<int, TableSlot::kCount>& order = TableSlot::DealOrder();
    for (int step = 0; step < TableSlot::kDealSteps; ++step) {
        if (quit)
            return 0;
        for (int i = 0; i < TableSlot::kCardsPerDealStep; ++i) {
            int slot = order[static_cast<size_t>(step * TableSlot::kCardsPerDealStep + i)];
            Point at = TableSlot::CardPosition(slot);
            DrawTableCardWithHotSpot(CardAt(slot), at.x, at.y);
        }
        m_scene.Wait(kDealStepMs);
    }
    return quit ? 0 : 1;
}

}
