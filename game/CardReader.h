#pragma once

#include "game/Decks.h"
#include "graphics/DibSurface.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace lumarra {

class Scene;
class SoundClip;

// The reading of a play screen, on a thread of its own: for each requested
// card it turns the reading card over, plays the card's recorded verse and
// writes the verse on the card cell by cell while it plays. The script and
// the reader share only atomic flags. The reader paces itself with the
// clock's stoppable sleeps, never with the stage's waits, and the thread is
// always joined before the reader goes.
class CardReader {
public:
    // Thread states.
    static constexpr int kEnded = 0;
    static constexpr int kStarted = 1;
    static constexpr int kRunning = 2;
    static constexpr int kEnding = 3;

    explicit CardReader(Scene& scene)
        : m_scene(scene)
    {
    }
    ~CardReader() { EndReader(); }
    CardReader(const CardReader&) = delete;
    CardReader& operator=(const CardReader&) = delete;

    void StartReader();
    void EndReader();
    bool IsStarted() const { return m_state != kEnded; }

    // The back shown before each reading; practice shows the deck's own.
    void SetBack(DibSurface& back) { m_back = &back; }
    void RequestReading(DeckId deck, CardCode card, bool practice);
    // 1 once the voice is about to start.
    int ReadingStarted() const { return m_readingStarted; }
    int ReadingDone() const { return m_readingDone; }
    void PauseReading() { m_pause = 1; }
    void ResumeReading() { m_pause = 0; }
    // Abandons the reading; with `wait`, until the reader is idle.
    void StopReading(bool wait);
    // The verse characters written so far, for the scripted child and tests.
    int GetWrittenCharacters() const { return m_written; }

private:
    void Body();
    void ReadCard(DeckId deck, CardCode card, bool practice);
    bool TurnOver(DibSurface& back, DibSurface& face);
    bool WriteVerse(DibSurface& face, DeckId deck, CardCode card, SoundClip& voice);
    bool RevealStrip(DibSurface& face, const Rect& cell, int top, SoundClip& voice);
    bool HoldWhilePaused(SoundClip* voice);
    bool Stopped() const { return m_stop != 0; }

    Scene& m_scene;
    // The script and a shutdown on the interface thread may both end it.
    std::mutex m_threadLock;
    std::thread m_thread;
    DibSurface* m_back = nullptr;
    std::atomic<int> m_state { kEnded };
    std::atomic<int> m_ending { 0 };
    std::atomic<int> m_requestCard { 0 };
    std::atomic<int> m_requestDeck { 0 };
    std::atomic<int> m_requestPractice { 0 };
    std::atomic<int> m_newRequest { 0 };
    std::atomic<int> m_busy { 0 };
    std::atomic<int> m_stop { 0 };
    std::atomic<int> m_pause { 0 };
    std::atomic<int> m_readingStarted { 0 };
    std::atomic<int> m_readingDone { 0 };
    std::atomic<int> m_written { 0 };
};

}
