#pragma once

#include "app/Scene.h"
#include "graphics/DibSurface.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace lumarra {

// The first and outermost scene: the title picture with the four decks and
// hiragana study to choose from, a yes/no confirmation, then the chosen
// screen run as a sub-scene inside this script, and the menu again. Its
// script never returns.
//
// While a sub-scene runs, every event operation reaches it through this
// scene (the stage knows only this one). The sub-scene pointer is guarded:
// the interface thread's calls into the sub-scene end before the script
// lets it go.
class TitleScene : public Scene {
public:
    // Choice values, which are also the hot spots' values.
    static constexpr int kChoiceCount = 5;
    static constexpr int kStudyChoice = 5;
    static constexpr int kChoiceKey = 100;

    // Where the script is, for the main window and for tests.
    enum class Phase { Starting, Menu, Confirming, SubScene };

    // Creates the screen of a confirmed choice (1–4: the deck's game, 5:
    // hiragana study).
    using SceneFactory = std::function<std::unique_ptr<Scene>(GameStage* stage, int choice)>;
    struct Date {
        int month;  // 1–12
        int day;    // 1–31
    };
    using Calendar = std::function<Date()>;
    // The New Year greeting shows on 1–7 January.
    static bool IsGreetingDay(Date date);

    // Without a factory the choices run the game's own screens; without a
    // calendar the local date is read.
    explicit TitleScene(GameStage* stage, SceneFactory createScene = {}, Calendar today = {});
    ~TitleScene() override;

    void Run() override;

    void Release() override;
    void Reserved1() override;
    void OnLButtonDown(unsigned flags, int x, int y) override;
    void OnLButtonUp(unsigned flags, int x, int y) override;
    void OnMouseMove(unsigned flags, int x, int y) override;
    void OnRButtonDown(unsigned flags, int x, int y) override;
    void OnRButtonUp(unsigned flags, int x, int y) override;
    void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned keyData) override;
    void OnTimer(uintptr_t id) override;
    int Reserved2(int a, int b, int c) override;
    int IsHot(int x, int y) override;
    void Reserved3(int a, int b, int c) override;
    void Stop() override;
    int CheckWait(int mask, int elapsedMs) override;
    void OnMusicChanged(int on) override;

    Phase GetPhase() const { return m_phase.load(); }
    // 1 from the start until the New Year greeting has been shown.
    int IsGreetingPending() const { return m_greeting.load(); }

private:
    class ActiveSubScene;

    void TileBackground();
    void DrawTitle();
    void ShowMenu();
    void ShowGreeting();
    int AskForChoice();
    int Confirm(int choice);
    void RunChoice(int choice);
    void RestoreBand(const Rect& band);
    void DrawMenuText(int y, const char* utf8, COLORREF color, int height);
    void PlayMenuMusic(bool menuShown);

    // Runs `call` on the active sub-scene under the guard; without one it
    // gives the zero of its result type.
    template <typename Call>
    auto Forward(Call&& call);

    SceneFactory m_createScene;
    Calendar m_today;
    DibSurface m_titlePicture;
    // The whole title screen without texts or markers, restored between
    // questions and after a sub-scene.
    DibSurface m_savedScreen;

    std::mutex m_subSceneLock;
    Scene* m_subScene = nullptr;
    bool m_menuMusicWanted = false;  // guarded by m_subSceneLock

    std::atomic<Phase> m_phase { Phase::Starting };
    std::atomic<int> m_greeting { 0 };
};

}
