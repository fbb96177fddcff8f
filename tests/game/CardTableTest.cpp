#include "app/Scene.h"
#include "game/CardTable.h"
#include "support/GameRandom.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

using namespace lumarra;

namespace {

// The classic generator the program's sequence follows, kept apart from
// the program's own so the shuffle is checked against an independent model.
class ModelRandom {
public:
    explicit ModelRandom(uint32_t seed)
        : m_state(seed)
    {
    }
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};

std::vector<CardCode> ModelShuffle(std::vector<CardCode> cards, int first, int count, uint32_t seed)
{
    ModelRandom random(seed);
    for (int round = 0; round < 10000; ++round) {
        int r1 = random.Next();
        int r2 = random.Next();
        std::swap(cards[static_cast<size_t>(first + r1 % count)], cards[static_cast<size_t>(first + r2 % count)]);
    }
    return cards;
}

class CardTableTest : public ::testing::Test {
protected:
    Scene m_scene;
    CardTable m_table { m_scene };
};

TEST_F(CardTableTest, SetDeckCopiesTheListAndClearsTheTakeCounts)
{
    m_table.childTakes = 3;
    m_table.computerTakes = 4;
    m_table.SetDeck(FindDeck(kDeckOwari)->cards, FindDeck(kDeckOwari)->cardCount);
    EXPECT_EQ(m_table.GetDeckSize(), 47);
    EXPECT_EQ(m_table.GetCards(), FindDeck(kDeckOwari)->cards);
    EXPECT_EQ(m_table.childTakes.load(), 0);
    EXPECT_EQ(m_table.computerTakes.load(), 0);
    m_table.SetDeck(FindDeck(kDeckEdo)->cards, 99);
    EXPECT_EQ(m_table.GetDeckSize(), kCardListSize) << "a size beyond the list is cut to it";
}

TEST_F(CardTableTest, ShuffleFollowsTheProgramsSequenceTwoDrawsARound)
{
    m_table.SetDeck(FindDeck(kDeckEdo)->cards, 48);
    std::vector<CardCode> before(m_table.GetCards().begin(), m_table.GetCards().end());
    GameRandom::Seed(12345);
    m_table.Shuffle(m_table.GetCards(), 0, 0);
    std::vector<CardCode> after(m_table.GetCards().begin(), m_table.GetCards().end());
    EXPECT_EQ(after, ModelShuffle(before, 0, 48, 12345)) << "count 0 shuffles the whole deck";
    std::vector<CardCode> sorted = after;
    std::sort(sorted.begin(), sorted.begin() + 48);
    EXPECT_TRUE(std::equal(sorted.begin(), sorted.begin() + 48, before.begin())) << "a shuffle loses no card";
    EXPECT_NE(after, before);

    // Exactly 20 000 draws were taken from the shared sequence.
    ModelRandom model(12345);
    for (int i = 0; i < 20000; ++i)
        model.Next();
    EXPECT_EQ(GameRandom::Next(), model.Next());
}

TEST_F(CardTableTest, ShufflingEighteenTouchesOnlyThoseEntries)
{
    std::vector<CardCode> cards(40);
    std::iota(cards.begin(), cards.end(), 100);
    GameRandom::Seed(7);
    m_table.Shuffle(cards, 5, 18);
    std::vector<CardCode> expected(40);
    std::iota(expected.begin(), expected.end(), 100);
    expected = ModelShuffle(expected, 5, 18, 7);
    EXPECT_EQ(cards, expected);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(cards[static_cast<size_t>(i)], 100 + i);
    for (int i = 23; i < 40; ++i)
        EXPECT_EQ(cards[static_cast<size_t>(i)], 100 + i);
    std::vector<CardCode> middle(cards.begin() + 5, cards.begin() + 23);
    std::sort(middle.begin(), middle.end());
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(middle[static_cast<size_t>(i)], 105 + i);

    // A range that does not fit, and an empty deck, are left alone.
    std::vector<CardCode> untouched = cards;
    m_table.Shuffle(cards, 30, 18);
    m_table.Shuffle(cards, -1, 5);
    m_table.Shuffle(cards, 0, 0);
    EXPECT_EQ(cards, untouched);
}

TEST_F(CardTableTest, CopyCardsAndSlots)
{
    m_table.SetDeck(FindDeck(kDeckAiueo)->cards, 46);
    std::array<CardCode, 18> readOrder {};
    m_table.CopyCards(readOrder, 0, 18);
    EXPECT_TRUE(std::equal(readOrder.begin(), readOrder.end(), m_table.GetCards().begin()));
    std::array<CardCode, 50> whole {};
    m_table.CopyCards(whole, 0, 0);
    EXPECT_EQ(whole[45], kLastCardCode) << "count 0 copies the deck size";
    EXPECT_EQ(whole[46], 0);
    std::array<CardCode, 4> few { 9, 9, 9, 9 };
    m_table.CopyCards(few, 48, 10);
    EXPECT_EQ(few, (std::array<CardCode, 4> { 0, 0, 9, 9 })) << "only what the list holds is copied";

    int column = -1;
    int row = -1;
    EXPECT_EQ(m_table.SlotOf(8, &column, &row), 7);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(m_table.SlotOf(18), 17);
    EXPECT_EQ(m_table.SlotOf(19), -1) << "the 19th card of the list is not on the table";
    EXPECT_EQ(m_table.SlotOf(0), -1);
    m_table.EmptySlot(7);
    EXPECT_EQ(m_table.CardAt(7), 0);
    EXPECT_EQ(m_table.SlotOf(8), -1);
    EXPECT_EQ(m_table.SlotOf(0), -1) << "an empty slot is no card's slot";
    EXPECT_EQ(m_table.CardAt(18), 0);
    EXPECT_EQ(m_table.CardAt(-1), 0);
    m_table.EmptySlot(18);
    EXPECT_EQ(m_table.GetCards()[18], 19) << "only table slots are emptied";
}

}
