#include "game/ComputerPlayer.h"

#include "game/CardTable.h"
#include "game/TableSlot.h"
#include "support/GameRandom.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kCardsInPlay = TableSlot::kCount;
constexpr int kStartSpeed = 20;
constexpr int kStartLead = 10;

// The lead follows the child's margin, ten per card, within 10–50; it
// quickens the pointer and makes wrong grabs likelier.
constexpr int kLeadPerCard = 10;
constexpr int kMinLead = 10;
constexpr int kMaxLead = 50;
constexpr int kSpeedBase = 270;
constexpr int kSpeedLevelCost = 250;
constexpr int kMaxSpeed = 220;
// Ticks per pointer move: kMoveBudget / speed.
constexpr int kMoveBudget = 400;

// First decision of a round: later for weaker levels, and quick for the
// strong ones in the endgame (fewer than kEndgameCards left).
constexpr int kEndgameCards = 5;
constexpr int kEndgameLevel = 2;
constexpr int kEndgameSpread = 15;
constexpr int kEndgameBase = 10;
constexpr int kDelaySpread = 10;
constexpr int kDelayLevels = 7;
constexpr int kDelayPerLevel = 5;
// Early rounds the pointer roams; later it roams once it has moved for half
// the cards left.
constexpr int kRoamRounds = 5;

// A known card: seen at once, taken 30–39 ticks on, highlighted 5 ticks
// before.
constexpr int kKnownSpread = 10;
constexpr int kKnownDelay = 30;
constexpr int kShowKnownAt = 5;
// A wrong grab happens with (lead / kGrabDivisor) percent.
constexpr int kGrabDivisor = 5;
constexpr int kPercent = 100;
// One arrival in five on the right card is missed.
constexpr int kHesitateOdds = 5;
// A search never runs for ever on a table with nothing left on it.
constexpr int kMaxSearchSteps = 1000;

int Draw(int modulus)
{
    return GameRandom::Next() % modulus;
}

}

void ComputerPlayer::Reset()
{
    m_level = 1;
    m_practice = false;
    m_known.fill(0);
    m_speed = kStartSpeed;
    m_lead = kStartLead;
}

void ComputerPlayer::SetLevel(int level, bool practice)
{
    m_level = std::clamp(level, 1, kMaxLevel);
    m_practice = practice;
    if (!practice) {
        m_lead = kStartLead;
        m_speed = kSpeedBase - kSpeedLevelCost / m_level;
    }
}

void ComputerPlayer::PickKnownCards()
{
    m_known.fill(0);
    if (m_practice)
        return;
    for (int i = 0; i < m_level; ++i)
        m_known[static_cast<size_t>(i)] = m_table.CardAt(Draw(kCardsInPlay));
}

bool ComputerPlayer::IsKnown(CardCode card) const
{
    if (m_practice || card <= 0)
        return false;
    return std::find(m_known.begin(), m_known.begin() + m_level, card) != m_known.begin() + m_level;
}

int ComputerPlayer::GetCardsLeft() const
{
    return kCardsInPlay - m_table.childTakes - m_table.computerTakes;
}

void ComputerPlayer::ResetRound(int round)
{
    if (m_practice)
        return;
    m_column = m_row = m_columnStep = m_rowStep = -1;
    m_pendingTake = -1;
    m_pointerSlot = -1;
    m_pointedCard = -1;
    m_steps = 0;

    if (m_level > kEndgameLevel && GetCardsLeft() < kEndgameCards)
        m_countdown = Draw(kEndgameSpread) + kEndgameBase - m_level;
    else
        m_countdown = Draw(kDelaySpread) + (kDelayLevels - m_level) * kDelayPerLevel;
    m_roaming = round < kRoamRounds;
    m_hesitating = false;

    m_lead = std::clamp(kLeadPerCard * (m_table.childTakes - m_table.computerTakes), kMinLead, kMaxLead);
    m_speed = std::min(m_lead - kSpeedLevelCost / m_level + kSpeedBase, kMaxSpeed);
}

void ComputerPlayer::DelayAfterFault()
{
    m_countdown = Draw(kDelaySpread) + (kDelayLevels - m_level) * kDelayPerLevel;
}

int ComputerPlayer::Tick(int mask, CardCode current, bool busy, bool quit, int round)
{
    if (quit)
        return kQuit;
    if (m_practice || busy || current == 0)
        return 0;
    bool cardWait = mask == kCardWait;
    if (m_pendingTake != -1 && cardWait)
        return -m_pendingTake;

    bool known = IsKnown(current);
    if (m_countdown <= 0 && known) {
        if (cardWait)
            m_pointedCard = current;
        m_countdown = Draw(kKnownSpread) + kKnownDelay;
    }
    int d = m_countdown;
    if (d == kShowKnownAt && known && cardWait)
        m_pointedCard = current;
    m_countdown = d - 1;
    if (d - 1 > 0)
        return 0;

    m_countdown = 0;
    if (known) {
        m_pointerSlot = m_table.SlotOf(current);
        m_hesitating = false;
    }
    if (m_pointerSlot != -1) {
        int taken = Decide(current, cardWait);
        if (taken != 1)
            return taken;
    }

    if (m_column == -1)
        PlacePointer();
    if (cardWait && m_pointedCard != -1) {
        PointAt(m_pointedCard, false);
        m_pointedCard = -1;
    }
    MovePointer();
    if (cardWait) {
        m_pointedCard = m_table.CardAt(m_pointerSlot);
        PointAt(m_pointedCard, true);
    }
    ++m_steps;
    if (m_steps > (kCardsInPlay - round) / 2)
        m_roaming = true;

    m_countdown = kMoveBudget / std::max(m_speed, 1);
    m_hesitating = false;
    if (m_table.CardAt(m_pointerSlot) == current && Draw(kHesitateOdds) == 0)
        m_hesitating = true;
    return 0;
}

// With the pointer on a card: the right one is taken at the next card wait
// unless the computer hesitates; any other is grabbed now and then. 1 when
// the pointer moves on.
int ComputerPlayer::Decide(CardCode current, bool cardWait)
{
    if (m_table.CardAt(m_pointerSlot) == current && !m_hesitating) {
        m_pendingTake = current;
        return 0;
    }
    if (GameRandom::Next() % kPercent < m_lead / kGrabDivisor && cardWait) {
        int slot = m_pointerSlot;
        m_pointerSlot = -1;
        m_countdown = 0;
        return -m_table.CardAt(slot);
    }
    return 1;
}

void ComputerPlayer::PlacePointer()
{
    m_column = Draw(TableSlot::kColumns);
    m_row = Draw(TableSlot::kRows + 1);
    m_columnStep = Draw(2) != 0 ? 1 : -1;
    m_rowStep = Draw(3) != 0 ? 1 : -1;
}

// Past the top or bottom row the pointer usually jumps to a random row,
// keeping or turning its direction; now and then it bounces back.
void ComputerPlayer::StepRow()
{
    m_row += m_rowStep;
    if (m_row < 0 || m_row >= TableSlot::kRows) {
        if (Draw(5) != 0) {
            if (m_roaming || Draw(2) != 0)
                m_rowStep = -m_rowStep;
            m_row = Draw(TableSlot::kRows);
        } else {
            m_rowStep = -m_rowStep;
            m_row += 2 * m_rowStep;
        }
    }
    m_columnStep = Draw(5) != 0 ? -1 : 1;
}

void ComputerPlayer::MovePointer()
{
    m_pointerSlot = TableSlot::kNoSlot;
    for (int step = 0; step < kMaxSearchSteps; ++step) {
        m_column += m_columnStep;
        if (m_column < 0) {
            m_column = 0;
            StepRow();
        } else if (m_column >= TableSlot::kColumns) {
            m_column = TableSlot::kColumns - 1;
            StepRow();
        }
        int entry = TableSlot::LayoutEntry(m_column, m_row);
        m_pointerSlot = entry == TableSlot::kNoSlot ? TableSlot::kNoSlot : entry - 1;
        if (m_pointerSlot != TableSlot::kNoSlot && m_table.CardAt(m_pointerSlot) != 0)
            return;
    }
    m_pointerSlot = -1;
}

void ComputerPlayer::PointAt(CardCode card, bool on)
{
    int slot = m_table.SlotOf(card);
    if (slot < 0 || (on && GetCardsLeft() < kEndgameCards))
        return;
    Point at = TableSlot::CardPosition(slot);
    m_table.DrawTableCard(on, card, at.x, at.y);
}

}
