#pragma once

#include "app/Scene.h"
#include "audio/SoundClip.h"
#include "game/CardReader.h"
#include "game/CardTable.h"
#include "game/ComputerPlayer.h"
#include "game/Decks.h"
#include "graphics/DibSurface.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>

namespace lumarra {

// One game of one deck: the strength choice, the deal, 18 read rounds in
// which the child and the computer race for the card being read, the result
// panels, the score screen at the end, and the way back to the title menu.
//
// The script runs on the stage's worker thread, the computer inside its
// waits (CheckWait), the reading on the card reader's thread; the fields
// other threads read are atomics.
class PlayScene : public Scene {
public:
    static constexpr int kRounds = 18;
    static constexpr int kTakeKey = CardTable::kCardKey;

    PlayScene(GameStage* stage, DeckId deck);
    ~PlayScene() override;

    void Run() override;
    void OnLButtonDown(unsigned flags, int x, int y) override;
    int IsHot(int x, int y) override;
    void Stop() override;
    int CheckWait(int mask, int elapsedMs) override;
    void OnMusicChanged(int on) override;

    // Where the game is, for the scripted child and tests.
    enum class Phase { SetUp, Strength, Deal, Round, Result, Ending, Abandoned, Finished };
    Phase GetPhase() const { return m_phase.load(); }
    CardCode GetCurrentCard() const { return m_currentCard.load(); }
    int GetRound() const { return m_round.load(); }
    int GetChildTakes() const { return m_table.childTakes; }
    int GetComputerTakes() const { return m_table.computerTakes; }
    int GetFaults(bool computer) const { return computer ? m_computerFaults.load() : m_childFaults.load(); }
    bool IsQuitting() const { return m_quit != 0; }
    bool IsReaderRunning() const { return m_reader.IsStarted(); }
    int GetWrittenCharacters() const { return m_reader.GetWrittenCharacters(); }
    const CardTable& GetTable() const { return m_table; }
    const ComputerPlayer& GetComputer() const { return m_computer; }
    // The texts of the panel on screen, UTF-8 (empty without one).
    std::string GetResultLine(int line) const;
    // Where the slot's card lies, for a child that points at it.
    static Rect CardRect(int slot);

    // The take-time line of a result panel, UTF-8.
    static std::string TakeTimeLine(uint32_t ms);

private:
    enum class Voice { ChildTake, ComputerTake, ChildFault, ComputerFault };

    void DrawScreen();
    void DrawTakeCounts();
    void DrawCount(int count, int rightX, const Rect& box);
    bool LevelSelect();
    bool SleepChecked(int ms, int slices);
    bool PlayRounds(DibSurface& back);
    // The round's take loop; false when the game is being abandoned.
    bool TakeLoop(uint32_t t0);
    bool OnFault(CardCode card, bool byComputer);
    bool OnTake(CardCode card, bool byComputer, uint32_t ms);
    void ShowResult(CardCode card, const std::string& line1, const std::string& line2, const std::string& voice,
        bool byComputer, int timeoutMs, bool fault);
    std::string NextVoice(Voice voice);
    void RemoveCard(CardCode card);
    void RestoreTable(int x, int y, int w, int h);
    void EndGame();
    void Abandon();

    DeckId m_deck;
    const DeckInfo* m_info;
    CardTable m_table;
    CardReader m_reader;
    ComputerPlayer m_computer;
    std::array<CardCode, kRounds> m_readOrder {};

    std::atomic<Phase> m_phase { Phase::SetUp };
    std::atomic<int> m_round { 0 };
    std::atomic<CardCode> m_currentCard { 0 };
    std::atomic<int> m_computerBusy { 0 };
    std::atomic<int> m_quit { 0 };
    std::atomic<int> m_inGame { 0 };
    std::atomic<int> m_childFaults { 0 };
    std::atomic<int> m_computerFaults { 0 };
    std::array<int, 4> m_voiceTurn {};
    std::array<std::string, 2> m_resultLines;  // guarded by m_linesLock
    mutable std::mutex m_linesLock;
};

}
