#include "app/Scene.h"
#include "game/CardTable.h"
#include "game/ComputerPlayer.h"
#include "support/GameRandom.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

constexpr int kCardWait = 512;
constexpr int kPanelWait = 0x800;

// The opponent against a dealt Edo table, drawing nowhere.
class ComputerPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameRandom::Seed(2024);
        m_table.SetDeck(FindDeck(kDeckEdo)->cards, FindDeck(kDeckEdo)->cardCount);
        m_computer.Reset();
    }

    // An 18-card table card that the computer does not know.
    CardCode UnknownCard() const
    {
        for (int slot = 0; slot < 18; ++slot) {
            if (!m_computer.IsKnown(m_table.CardAt(slot)))
                return m_table.CardAt(slot);
        }
        return 0;
    }

    // Ticks a card wait until the computer reports something; the ticks taken.
    int TicksUntilTake(CardCode current, int& result, int limit = 5000)
    {
        for (int tick = 1; tick <= limit; ++tick) {
            result = m_computer.Tick(kCardWait, current, false, false, 0);
            if (result != 0)
                return tick;
        }
        return -1;
    }

    Scene m_scene;
    CardTable m_table { m_scene };
    ComputerPlayer m_computer { m_table };
};

TEST_F(ComputerPlayerTest, PracticeNeverTakesNorPointsNorKnows)
{
    m_computer.SetLevel(1, true);
    m_computer.PickKnownCards();
    for (int slot = 0; slot < 18; ++slot)
        EXPECT_FALSE(m_computer.IsKnown(m_table.CardAt(slot)));
    m_computer.ResetRound(0);
    for (int tick = 0; tick < 2000; ++tick)
        ASSERT_EQ(m_computer.Tick(kCardWait, m_table.CardAt(3), false, false, 0), 0);
    EXPECT_EQ(m_computer.GetPointedCard(), -1);
    EXPECT_EQ(m_computer.Tick(kCardWait, m_table.CardAt(3), false, true, 0), ComputerPlayer::kQuit);
}

TEST_F(ComputerPlayerTest, AKnownCardIsTakenOneTickAfterTheDecision)
{
    m_computer.SetLevel(5, false);
    m_computer.PickKnownCards();
    CardCode known = m_computer.GetKnownCards()[0];
    ASSERT_TRUE(m_computer.IsKnown(known));
    m_computer.ResetRound(0);
    int countdown = m_computer.GetCountdown();
    EXPECT_GE(countdown, 10);
    EXPECT_LE(countdown, 19);
    int result = 0;
    EXPECT_EQ(TicksUntilTake(known, result), countdown + 1);
    EXPECT_EQ(result, -known);
}

TEST_F(ComputerPlayerTest, APendingTakeWaitsForTheNextCardWait)
{
    m_computer.SetLevel(2, false);
    m_computer.PickKnownCards();
    CardCode known = m_computer.GetKnownCards()[0];
    m_computer.ResetRound(0);
    while (m_computer.GetPendingTake() == -1)
        ASSERT_EQ(m_computer.Tick(kCardWait, known, false, false, 0), 0);
    EXPECT_EQ(m_computer.Tick(kPanelWait, known, false, false, 0), 0) << "not during a result panel";
    EXPECT_EQ(m_computer.Tick(kCardWait, known, true, false, 0), 0) << "not while busy";
    EXPECT_EQ(m_computer.Tick(kCardWait, known, false, false, 0), -known);
}

TEST_F(ComputerPlayerTest, SpeedAndLeadFollowTheMargin)
{
    m_computer.SetLevel(1, false);
    m_computer.ResetRound(0);
    EXPECT_EQ(m_computer.GetLead(), 10);
    EXPECT_EQ(m_computer.GetSpeed(), 30);
    // A move every 400 / 30 = 13 ticks.
    CardCode card = UnknownCard();
    m_computer.SetCountdown(1);
    EXPECT_EQ(m_computer.Tick(kCardWait, card, false, false, 0), 0);
    EXPECT_EQ(m_computer.GetCountdown(), 13);

    m_table.childTakes = 6;
    m_computer.ResetRound(6);
    EXPECT_EQ(m_computer.GetLead(), 50);
    EXPECT_EQ(m_computer.GetSpeed(), 70);
    m_table.childTakes = 0;
    m_table.computerTakes = 4;
    m_computer.SetLevel(5, false);
    m_computer.ResetRound(4);
    EXPECT_EQ(m_computer.GetLead(), 10);
    EXPECT_EQ(m_computer.GetSpeed(), 220);
}

TEST_F(ComputerPlayerTest, SearchingTakesTheRightCardOrGrabsAWrongOne)
{
    m_computer.SetLevel(3, false);
    m_computer.PickKnownCards();
    CardCode card = UnknownCard();
    ASSERT_NE(card, 0);
    int takes = 0;
    int faults = 0;
    for (int round = 0; round < 300; ++round) {
        m_table.childTakes = 5;  // lead 50: a grab in ten
        m_computer.ResetRound(round % 18);
        int result = 0;
        ASSERT_GT(TicksUntilTake(card, result), 0);
        ASSERT_LT(result, 0);
        ASSERT_GE(m_table.SlotOf(-result), 0) << "only cards on the table are taken";
        (result == -card ? takes : faults)++;
    }
    EXPECT_GT(takes, 0);
    EXPECT_GT(faults, 0);
}

}
