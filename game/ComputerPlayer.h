#pragma once

#include "game/Decks.h"

#include <array>
#include <atomic>

namespace lumarra {

class CardTable;

// The computer opponent of a game. It has no thread: the play scene's tick
// calls Tick every 50 ms while its script waits, and each tick does nothing,
// moves the computer's pointer one card on (the card under it highlighted)
// or reports a take as -CardCode. It draws from the program's random
// sequence in a fixed order, so a game replays from its seed.
class ComputerPlayer {
public:
    static constexpr int kMaxLevel = 5;
    static constexpr int kQuit = 1000;

    explicit ComputerPlayer(CardTable& table)
        : m_table(table)
    {
    }

    // Before the strength choice: level 1, speed 20, lead 10, no practice.
    void Reset();
    // The strength choice's result; an opponent (not practice) starts each
    // game with lead 10 and its level's speed.
    void SetLevel(int level, bool practice);
    // Draws `level` known cards among the 18 about to be dealt.
    void PickKnownCards();
    bool IsKnown(CardCode card) const;

    // The start of a round: a fresh pointer and the first decision's delay.
    void ResetRound(int round);
    // One tick of the opponent (`mask` 512 is a wait for a take): 0, kQuit or
    // -CardCode.
    int Tick(int mask, CardCode current, bool busy, bool quit, int round);
    // After a fault of its own the computer takes a while to try again.
    void DelayAfterFault();
    // Draws the card plain or highlighted at its slot; not highlighted once
    // fewer than 5 cards remain.
    void PointAt(CardCode card, bool on);

    int GetLevel() const { return m_level; }
    bool IsPractice() const { return m_practice; }
    int GetSpeed() const { return m_speed; }
    int GetLead() const { return m_lead; }
    int GetCountdown() const { return m_countdown; }
    int GetPendingTake() const { return m_pendingTake; }
    // The highlighted card (-1 none); read by other threads.
    CardCode GetPointedCard() const { return m_pointedCard.load(); }
    const std::array<CardCode, kMaxLevel>& GetKnownCards() const { return m_known; }

    // For tests that set up a position.
    void SetCountdown(int countdown) { m_countdown = countdown; }
    void SetLead(int lead) { m_lead = lead; }

private:
    static constexpr int kCardWait = 512;

    int GetCardsLeft() const;
    void PlacePointer();
    void StepRow();
    void MovePointer();
    int Decide(CardCode current, bool cardWait);

    CardTable& m_table;
    int m_level = 1;
    bool m_practice = false;
    std::array<CardCode, kMaxLevel> m_known {};
    int m_speed = 20;
    int m_lead = 10;
    int m_countdown = 0;
    int m_pointerSlot = -1;
    std::atomic<CardCode> m_pointedCard { -1 };
    CardCode m_pendingTake = -1;
    bool m_hesitating = false;
    int m_column = -1;
    int m_row = -1;
    int m_columnStep = -1;
    int m_rowStep = -1;
    int m_steps = 0;
    bool m_roaming = false;
};

}
