#include "app/CMainGameDlg.h"
#include "app/CWelcomeDlg.h"
#include "app/Settings.h"
#include "childlock/CInputKeyDlg.h"
#include "childlock/CStartMaskDlg.h"
#include "platform/CodePage.h"
#include "platform/window/CheckBox.h"
#include "platform/window/KeyboardHook.h"
#include "platform/window/QuitSignals.h"
#include "tests/support/TestScopes.h"
#include "tests/window/WindowTestSupport.h"
#include "tumbler/Tumbler.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lumarra;
using namespace lumarra::test;

namespace {

// A key as a keyboard types it: down, the character, up. The platform runs
// the down and up through the keyboard hooks.
void TypeKey(SDL_Keycode key, const char* text)
{
    SDL_Event event {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
    TypeText(text);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    SDL_PushEvent(&event);
}

void TypeWord(std::string_view word)
{
    for (char c : word)
        TypeKey(static_cast<SDL_Keycode>(c), std::string(1, c).c_str());
}

// The modal window in front, when it is not `below`.
Window* FrontWindowOver(const Window* below)
{
    Window* front = Window::GetActiveWindow();
    return front && front != below && front->IsWindowVisible() ? front : nullptr;
}

std::string ReadNative(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ChildLockTest : public WindowTest {
protected:
    ChildLockTest()
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.GetNative().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.GetNative().c_str())
    {
    }
    ~ChildLockTest() override { UnLockKeyboard(); }

    std::string GetWelcomeFile() const { return m_programFolder.Native("startup.ini"); }

    TestFolder m_registryFolder;
    TestFolder m_programFolder;
    EnvironmentScope m_registry;
    EnvironmentScope m_home;
};

}

TEST_F(ChildLockTest, ReleasePromptTakesTheWordInAnyCaseThroughTheLock)
{
    ASSERT_EQ(LockKeyboard(), 1);
    CInputKeyDlg prompt;
    std::string shown;
    int step = 0;
    Driver driver([&] {
        if (!prompt.IsWindowVisible())
            return false;
        if (step++ == 0) {
            TypeWord("zep");
            return false;
        }
        shown = prompt.GetDlgItem(CInputKeyDlg::kWordEdit)->GetWindowText();
        TypeKey(SDLK_RETURN, "");
        return true;
    });
    EXPECT_EQ(prompt.DoModal(), IDOK);
    EXPECT_EQ(shown, "ZEP") << "the edit box upper-cases what is typed";
}

TEST_F(ChildLockTest, WrongWordIsToldOnceAndTheLockDropsOtherLetters)
{
    ASSERT_EQ(LockKeyboard(), 1);
    CInputKeyDlg prompt;
    std::string shown;
    std::string message;
    int step = 0;
    Driver driver([&] {
        if (!prompt.IsWindowVisible())
            return false;
        if (step == 0) {
            ++step;
            TypeWord("zap");
            TypeKey(SDLK_ESCAPE, "");
            return false;
        }
        if (step == 1) {
            ++step;
            shown = prompt.GetDlgItem(CInputKeyDlg::kWordEdit)->GetWindowText();
            TypeKey(SDLK_RETURN, "");
            return false;
        }
        Window* box = FrontWindowOver(&prompt);
        if (!box)
            return false;
        message = box->GetWindowText();
        TypeKey(SDLK_RETURN, "");
        return true;
    });
    EXPECT_EQ(prompt.DoModal(), IDCANCEL) << "no second try";
    EXPECT_EQ(shown, "ZP") << "A and Escape never reached the prompt";
    EXPECT_EQ(message, Sjis("Lumarra（Velmora）"));
}

TEST_F(ChildLockTest, ReleasePromptCancels)
{
    CInputKeyDlg prompt;
    Driver driver([&] {
        if (!prompt.IsWindowVisible())
            return false;
        TypeWord("zep");
        ClickMouse(*prompt.GetDlgItem(IDCANCEL), { 3, 3 });
        return true;
    });
    EXPECT_EQ(prompt.DoModal(), IDCANCEL);
}

TEST_F(ChildLockTest, NoticeWritesTheStartSwitchOnlyOnOk)
{
    auto showNotice = [&](bool tick, bool ok) {
        CStartMaskDlg notice;
        int shownTicked = -1;
        Driver driver([&] {
            if (!notice.IsWindowVisible())
                return false;
            auto* box = dynamic_cast<CheckBox*>(notice.GetDlgItem(CStartMaskDlg::kAutoMaskCheck));
            shownTicked = box->GetCheck();
            if (tick != (shownTicked != 0))
                box->Click();
            if (ok)
                TypeKey(SDLK_RETURN, "");
            else
                notice.PostMessage(WM_CLOSE);
            return true;
        });
        notice.DoModal();
        return shownTicked;
    };
    EXPECT_EQ(showNotice(true, true), 0) << "unset counts as off";
    EXPECT_EQ(ReadMaskAtStart(), 1);
    EXPECT_EQ(showNotice(false, false), 1) << "the box shows the stored switch";
    EXPECT_EQ(ReadMaskAtStart(), 1) << "closing without OK writes nothing";
    EXPECT_EQ(showNotice(false, true), 1);
    EXPECT_EQ(ReadMaskAtStart(), 0);
}

TEST_F(ChildLockTest, WelcomeSwitchLivesInStartupIni)
{
    // Automatic opening with the welcome switched off ends before it shows.
    std::ofstream(GetWelcomeFile()) << "xxNoWelcomexx";
    {
        CWelcomeDlg welcome;
        welcome.SetOpenedByUser(false);
        bool seen = false;
        Driver driver([&] { return seen = seen || welcome.IsWindowVisible(); });
        EXPECT_EQ(welcome.DoModal(), IDOK);
        EXPECT_FALSE(seen);
    }

    // An empty file: shown at start, unticked; ticking writes the file at once.
    std::ofstream(GetWelcomeFile(), std::ios::trunc).close();
    std::string written;
    std::string text;
    {
        CWelcomeDlg welcome;
        welcome.SetOpenedByUser(false);
        Driver driver([&] {
            if (!welcome.IsWindowVisible())
                return false;
            text = welcome.GetDlgItem(CWelcomeDlg::kTextStatic)->GetWindowText();
            auto* box = dynamic_cast<CheckBox*>(welcome.GetDlgItem(CWelcomeDlg::kDontShowCheck));
            EXPECT_EQ(box->GetCheck(), 0);
            box->Click();
            written = ReadNative(GetWelcomeFile());
            TypeKey(SDLK_RETURN, "");
            return true;
        });
        EXPECT_EQ(welcome.DoModal(), IDOK);
    }
    EXPECT_EQ(written, "NoWelcome");
    EXPECT_EQ(text, CWelcomeDlg::WelcomeText());
    EXPECT_NE(text.find(Sjis("Orvellaホームページにて受け付けております")), std::string::npos);

    // From the menu the box shows the file; unticking deletes it.
    bool existedWhileOpen = false;
    {
        CWelcomeDlg welcome;
        Driver driver([&] {
            if (!welcome.IsWindowVisible())
                return false;
            auto* box = dynamic_cast<CheckBox*>(welcome.GetDlgItem(CWelcomeDlg::kDontShowCheck));
            EXPECT_EQ(box->GetCheck(), 1);
            box->Click();
            existedWhileOpen = std::filesystem::exists(GetWelcomeFile());
            TypeKey(SDLK_RETURN, "");
            return true;
        });
        welcome.DoModal();
    }
    EXPECT_FALSE(existedWhileOpen) << "deleted the moment the box was unticked";
    EXPECT_EQ(IsWelcomeSwitchedOff(), 0);
}

TEST_F(ChildLockTest, MaskAtStartLocksAtOnceAndShowsTheNoticeAfterTheTitle)
{
    WriteMaskAtStart(1);
    std::ofstream(GetWelcomeFile()) << "NoWelcome";
    titleNotReady = 1;
    CMainGameDlg game;
    // Answers each box in front of the game with Enter, noting its caption
    // and whether the title was up when it came.
    std::vector<std::string> captions;
    std::vector<bool> titleUp;
    // Boxes follow each other at one address; their handles differ.
    WindowHandle answered = kNoWindow;
    Driver answer([&] {
        Window* front = FrontWindowOver(&game);
        if (front && front->GetHandle() != answered) {
            answered = front->GetHandle();
            captions.push_back(front->GetWindowText());
            titleUp.push_back(titleNotReady.load() == 0);
            TypeKey(SDLK_RETURN, "");
        }
        return false;
    });
    ASSERT_TRUE(game.Create(nullptr));
    EXPECT_TRUE(game.IsMaskOn());
    EXPECT_TRUE(AreKeyboardHooksInstalled()) << "locked before the title is up";
    EXPECT_TRUE(captions.empty()) << "no notice at once";

    ASSERT_TRUE(PumpUntil([&] { return captions.size() == 1 && FrontWindowOver(&game) == nullptr; }, 10000));
    EXPECT_EQ(captions[0], Sjis("Lumarra（Velmora）"));
    EXPECT_TRUE(titleUp[0]) << "the notice came before the title";

    // Close and minimise are refused with the mask message, and so is the
    // window manager's close.
    for (CMainGameDlg::CaptionButton button : { CMainGameDlg::kCloseButton, CMainGameDlg::kMinimiseButton }) {
        Rect rect = game.GetButtonRect(button);
        game.SendMessage(WM_LBUTTONUP, 0,
            PointToLParam({ (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 }));
    }
    game.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(captions.size(), 4u);
    EXPECT_TRUE(game.IsWindowVisible());
    EXPECT_FALSE(game.IsIconic());
    EXPECT_TRUE(game.GetStage().IsWorkerRunning());

    game.DestroyWindow();
    EXPECT_FALSE(AreKeyboardHooksInstalled()) << "the end unlocks";
    EXPECT_EQ(ReadMaskAtStart(), 1);
}

TEST_F(ChildLockTest, HangUpSignalEndsTheOpenDialog)
{
    CatchQuitSignals();
    CInputKeyDlg prompt;
    Driver driver([&] {
        if (!prompt.IsWindowVisible())
            return false;
        std::raise(SIGHUP);
        return true;
    });
    EXPECT_EQ(prompt.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_app.IsQuitting());
}

TEST_F(ChildLockTest, QuitEndsEveryModalLoop)
{
    CInputKeyDlg prompt;
    Driver driver([&] {
        if (!prompt.IsWindowVisible())
            return false;
        m_app.Quit();
        return true;
    });
    EXPECT_EQ(prompt.DoModal(), IDCANCEL);
    CStartMaskDlg later;
    EXPECT_EQ(later.DoModal(), -1) << "a loop begun while quitting ends at once";
}
