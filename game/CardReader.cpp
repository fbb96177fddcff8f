#include "game/CardReader.h"

#include "app/GameStage.h"
#include "app/Scene.h"
#include "audio/SoundClip.h"
#include "game/CardTable.h"
#include "game/DeckPictures.h"
#include "game/ReadingCard.h"
#include "platform/Clock.h"
#include "platform/Resources.h"

#include <array>

namespace lumarra {

namespace {

constexpr Point kCardAt = { GameStage::kReadingArea.left, GameStage::kReadingArea.top };
constexpr int kCardWidth = ReadingCard::kWidth;
constexpr int kCardHeight = ReadingCard::kHeight;
constexpr int kCardDepth = 24;
constexpr COLORREF kFillColor = 0;

constexpr uint32_t kPollMs = 300;
constexpr uint32_t kSliceMs = 50;
// Before the turn the card rests a second; after it another before the voice.
constexpr uint32_t kRestBeforeTurnMs = 1000;
constexpr uint32_t kTurnStepMs = 50;
constexpr uint32_t kRestBeforeVoiceMs = 1000;
// The turn-over squeezes the back through these widths, then widens the
// face back through them.
constexpr std::array<int, 10> kTurnWidths = { 150, 146, 140, 128, 114, 96, 74, 50, 26, 2 };
// The verse appears down each cell in strips this high, one per tick.
constexpr int kStripHeight = 2;
constexpr uint32_t kStripMs = 10;
constexpr uint32_t kEndWaitSlices = 21;
constexpr uint32_t kEndWaitSliceMs = 100;

}

void CardReader::StartReader()
{
    std::lock_guard guard(m_threadLock);
    if (m_thread.joinable())
        return;
    m_ending = 0;
    m_state = kStarted;
    m_thread = std::thread([this] { Body(); });
}

void CardReader::EndReader()
{
    std::lock_guard guard(m_threadLock);
    if (!m_thread.joinable())
        return;
    m_stop = 1;
    m_ending = 1;
    m_state = kEnding;
    // Every sleep of the reader is sliced and watches these flags, so the
    // thread ends within a slice.
    for (uint32_t i = 0; i < kEndWaitSlices && m_state != kEnded; ++i)
        Sleep(kEndWaitSliceMs);
    m_thread.join();
    m_state = kEnded;
}

void CardReader::RequestReading(DeckId deck, CardCode card, bool practice)
{
    m_readingStarted = 0;
    m_readingDone = 0;
    m_requestDeck = deck;
    m_requestPractice = practice ? 1 : 0;
    m_newRequest = 1;
    m_requestCard = card;
}

void CardReader::StopReading(bool wait)
{
    m_stop = 1;
    m_requestCard = 0;
    m_newRequest = 0;
    m_pause = 0;
    for (uint32_t i = 0; wait && m_busy && i < kEndWaitSlices; ++i)
        Sleep(kEndWaitSliceMs);
}

void CardReader::Body()
{
    int expected = kStarted;
    m_state.compare_exchange_strong(expected, kRunning);
    while (m_state == kRunning) {
        CardCode card = m_requestCard.exchange(0);
        if (card != 0) {
            m_busy = 1;
            m_stop = 0;
            m_pause = 0;
            ReadCard(m_requestDeck, card, m_requestPractice != 0);
            m_busy = 0;
            m_newRequest = 0;
        }
        SleepUnlessStopped(kPollMs, m_ending, kSliceMs);
    }
    m_state = kEnded;
}

// Waits in short sleeps while the script holds the reading; false once the
// reading is abandoned.
bool CardReader::HoldWhilePaused(SoundClip* voice)
{
    if (!m_pause)
        return !Stopped();
    if (voice)
        voice->Pause();
    while (m_pause && !Stopped())
        Sleep(kSliceMs);
    if (voice && !Stopped())
        voice->Resume();
    return !Stopped();
}

bool CardReader::TurnOver(DibSurface& back, DibSurface& face)
{
    if (!SleepUnlessStopped(kRestBeforeTurnMs, m_stop, kSliceMs))
        return false;
    DibSurface frame(kCardDepth, kCardWidth, kCardHeight, kNoColor);
    auto show = [&](DibSurface& side, int width) {
        frame.FillSolidRect(0, 0, kCardWidth, kCardHeight, kFillColor);
        frame.DrawSurfaceStretched(side, (kCardWidth - width) / 2, 0, width, kCardHeight, 0, 0, side.GetWidth(),
            side.GetHeight(), SRCCOPY);
        m_scene.DrawSurface(frame, kCardAt.x, kCardAt.y, kCardWidth, kCardHeight, 0, 0);
    };
    for (size_t i = 1; i < kTurnWidths.size(); ++i) {
        if (!HoldWhilePaused(nullptr))
            return false;
        show(back, kTurnWidths[i]);
        Sleep(kTurnStepMs);
    }
    for (size_t i = kTurnWidths.size() - 1; i-- > 0;) {
        if (!HoldWhilePaused(nullptr))
            return false;
        show(face, kTurnWidths[i]);
        Sleep(kTurnStepMs);
    }
    return true;
}

bool CardReader::RevealStrip(DibSurface& face, const Rect& cell, int top, SoundClip& voice)
{
    if (!HoldWhilePaused(&voice))
        return false;
    int height = std::min(kStripHeight, cell.bottom - top);
    if (height > 0)
        m_scene.DrawSurface(face, kCardAt.x + cell.left, kCardAt.y + top, cell.GetWidth(), height, cell.left, top);
    Sleep(kStripMs);
    return true;
}

bool CardReader::WriteVerse(DibSurface& face, DeckId deck, CardCode card, SoundClip& voice)
{
    ReadingCard verse = ReadingCard::Layout(LoadString(ReadingTextId(deck, card)));
    for (const ReadingCard::Character& character : verse.GetCharacters()) {
        ReadingCard::DrawCharacter(face, character);
        const Rect& cell = character.cell;
        int strips = cell.GetHeight() / kStripHeight + 1;
        for (int strip = 0; strip < strips; ++strip) {
            if (!RevealStrip(face, cell, cell.top + strip * kStripHeight, voice))
                return false;
        }
        ++m_written;
    }
    return true;
}

void CardReader::ReadCard(DeckId deck, CardCode card, bool practice)
{
    m_written = 0;
    const DeckInfo* info = FindDeck(deck);
    DibSurface face(kCardDepth, kCardWidth, kCardHeight, kNoColor);
    if (practice) {
        Rect cell = CardCellOnSheet(card, kLargeCard);
        if (!cell.IsEmpty())
            face.DrawSurface(SheetFor(kLargeSheet), 0, 0, kCardWidth, kCardHeight, cell.left, cell.top, SRCCOPY);
    } else {
        face.DrawSurface(BlankCardFace(), 0, 0, kCardWidth, kCardHeight, 0, 0, SRCCOPY);
    }

    DibSurface& back = m_back ? *m_back : ReadingCardBack();
    bool turned = TurnOver(back, face);
    m_scene.DrawSurface(face, kCardAt.x, kCardAt.y, kCardWidth, kCardHeight, 0, 0);
    if (!turned || !info)
        return;

    SoundClip voice;
    voice.Load(VoicePath(deck, card));
    if (!SleepUnlessStopped(kRestBeforeVoiceMs, m_stop, kSliceMs))
        return;
    m_readingStarted = 1;
    voice.Play(1);
    if (!practice && !WriteVerse(face, deck, card, voice)) {
        CutClip(voice);
        return;
    }
    while (voice.IsPlaying() && HoldWhilePaused(&voice))
        Sleep(kSliceMs);
    CutClip(voice);
    m_readingDone = 1;
    m_readingStarted = 0;
}

}
