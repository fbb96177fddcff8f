#pragma once

#include "app/Scene.h"
#include "game/KanaButtons.h"
#include "game/ListPanel.h"
#include "game/ListScrollBar.h"
#include "game/ProverbList.h"
#include "game/StudyButton.h"
#include "game/StudyVoice.h"
#include "audio/SoundClip.h"
#include "graphics/DibSurface.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

namespace lumarra {

class Font;

// Hiragana study: the proverbs of one deck in a scrolling list, each with
// its explanation and recorded verse, and a table of kana buttons that show
// the Aiueo card of a kana, play its voice and animate how it is written.
// No opponent and no score; the end button returns to the title menu.
//
// The script runs on the stage's worker thread; presses, releases, pointer
// moves and the scroll timers arrive on the interface thread. The list and
// its scroll state are shared under a lock; clicks that draw more than the
// list (an explanation, the large picture) are handed to the script
// through CheckWait, so slow drawing never holds up the interface thread.
class StudyScene : public Scene {
public:
    static constexpr int kButtonKey = 256;
    static constexpr int kFirstDeckButton = 80;
    static constexpr int kDeckCount = 3;
    static constexpr int kEndButton = 83;
    static constexpr Rect kDisplayArea = { 400, 50, 740, 280 };
    // Scroll-repeat timers: paging on the track, the upper and lower arrow.
    static constexpr uintptr_t kPageTimer = 500;
    static constexpr uintptr_t kUpTimer = 501;
    static constexpr uintptr_t kDownTimer = 502;

    explicit StudyScene(GameStage* stage);
    ~StudyScene() override;

    void Run() override;
    void OnLButtonDown(unsigned flags, int x, int y) override;
    void OnLButtonUp(unsigned flags, int x, int y) override;
    void OnMouseMove(unsigned flags, int x, int y) override;
    void OnTimer(uintptr_t id) override;
    int IsHot(int x, int y) override;
    int CheckWait(int mask, int elapsedMs) override;
    void OnMusicChanged(int on) override;

    // What the screen shows, for tests.
    int GetStudyDeck() const { return m_studyDeck.load(); }
    int GetListCount();
    std::string GetListEntry(int index);
    int GetFirstVisible();
    int GetSelected();
    Rect GetThumb();
    int GetItemsStudied() const { return m_itemsStudied.load(); }
    bool IsBusy() const { return m_busy.load() != 0; }
    // The kana whose writing is being shown, 0 when none.
    int GetAnimatedKana() const { return m_animatedKana.load(); }
    bool IsDragging() const { return m_dragging.load(); }
    StudyVoice& GetVoice() { return m_voice; }

private:
    enum Request : int { kNoRequest = 0, kListRequest = 90, kIconRequest, kPictureRequest, kLeaveRequest };

    void Start();
    void DrawLayout();
    void DrawPicture(uint32_t id, int x, int y, COLORREF key);
    void CreateButtons();
    void FillDeck(int index);
    void ShowInstructions();
    void ClearDisplayArea();
    void RunLoop();
    void HandleRequest(int request);
    void ShowKana(int value);
    int PlayWriting(int value);
    void ShowExplanation(int entry);
    void ShowLargePicture();
    void Leave();
    // Pauses the script; 0 once the screen is being left.
    int Pause(int ms);
    bool IsLeaving() const;

    // Interface thread, under m_listLock.
    void ScrollList(int delta);
    void ReleaseAt(Point at);
    void SelectEntry(int entry);
    void DrawList();
    void StartTimer(uintptr_t id, uint32_t ms);
    void StopTimers();

    int GetTextBase() const;
    int GetVoiceFolder() const { return m_studyDeck + 1; }

    std::shared_ptr<const Font> m_font;
    std::shared_ptr<const Font> m_wordFont;
    std::shared_ptr<const Font> m_kanaFont;
    KanaButtons m_kanaButtons;
    std::array<StudyButton, kDeckCount + 1> m_deckButtons;
    DibSurface m_aiueoLarge;
    DibSurface m_strokeSheet;
    DibSurface m_frame;
    SoundClip m_kanaVoice;
    StudyVoice m_voice;

    std::recursive_mutex m_listLock;
    ProverbList m_list;
    ListPanel m_panel;
    ListScrollBar m_bar;
    int m_selected = -1;
    Point m_pressedAt {};
    int m_dragOffset = 0;

    std::atomic<int> m_studyDeck { 0 };
    std::atomic<int> m_busy { 0 };
    std::atomic<int> m_leave { 0 };
    std::atomic<int> m_request { kNoRequest };
    std::atomic<int> m_requestedEntry { -1 };
    std::atomic<int> m_explanationShown { 0 };
    std::atomic<int> m_shownEntry { -1 };
    std::atomic<int> m_itemsStudied { 0 };
    std::atomic<int> m_animatedKana { 0 };
    std::atomic<bool> m_dragging { false };
};

}
