#include "platform/CodePage.h"
#include "platform/window/Button.h"
#include "platform/window/CheckBox.h"
#include "platform/window/DataExchange.h"
#include "platform/window/Dialog.h"
#include "platform/window/DialogTemplate.h"
#include "platform/window/EditBox.h"
#include "tests/window/WindowTestSupport.h"

#include <array>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kEdit = 10;
constexpr int kCheck = 11;
constexpr int kDisabled = 12;
constexpr int kLabel = 13;
constexpr int kNotifyLabel = 14;

constexpr std::array kControls {
    ControlTemplate { ControlKind::Static, kLabel, "名前", 5, 5, 40, 10, SS_LEFT },
    ControlTemplate { ControlKind::Edit, kEdit, "", 50, 5, 80, 14, ES_UPPERCASE | WS_TABSTOP },
    ControlTemplate { ControlKind::CheckBox, kCheck, "覚えておく", 50, 25, 80, 10, BS_AUTOCHECKBOX | WS_TABSTOP },
    ControlTemplate { ControlKind::Button, kDisabled, "使えない", 50, 40, 50, 14, WS_TABSTOP | WS_DISABLED },
    ControlTemplate { ControlKind::Static, kNotifyLabel, "リンク", 5, 60, 40, 10, SS_NOTIFY },
    ControlTemplate { ControlKind::Button, IDOK, "OK", 40, 80, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP },
    ControlTemplate { ControlKind::Button, IDCANCEL, "キャンセル", 100, 80, 50, 14, WS_TABSTOP },
};
constexpr DialogTemplate kTestTemplate { 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 160, 100,
    "テスト", "ＭＳ Ｐゴシック", 9, kControls };

// A dialog over the test template that exchanges its edit and check box
// and lets a test script run while it is up.
class TestDialog : public Dialog {
public:
    std::string name = "abc";
    int remember = 1;
    int notified = 0;
    int endFromInit = 0;
    uintptr_t endTimer = 0;
    std::function<bool()> script;

    int Run(Window* owner = nullptr)
    {
        std::unique_ptr<Driver> driver;
        if (script)
            driver = std::make_unique<Driver>(script);
        return DoModalIndirect(kTestTemplate, owner);
    }

protected:
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        if (endFromInit)
            EndDialog(endFromInit);
        if (endTimer)
            SetTimer(endTimer, 10);
        return true;
    }
    void DoDataExchange(DataExchange& dx) override
    {
        DDX_Text(dx, kEdit, name);
        DDX_Check(dx, kCheck, remember);
    }
    void OnTimer(uintptr_t id) override
    {
        if (id == endTimer)
            EndDialog(77);
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kNotifyLabel || LOWORD(wParam) == kCheck) {
            ++notified;
            return true;
        }
        return Dialog::OnCommand(wParam, lParam);
    }
};

Window* Focus()
{
    return Window::GetFocus();
}

}

class Dialogs : public WindowTest { };

TEST_F(Dialogs, ATimerCanEndAModalDialogWhileTheOwnersTimersKeepFiring)
{
    struct Ticker : Window {
        int ticks = 0;
        void OnTimer(uintptr_t) override { ++ticks; }
    } owner;
    ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 300, 300 }, nullptr));
    owner.SetTimer(1, 2);
    TestDialog dialog;
    dialog.endTimer = 5;
    EXPECT_EQ(dialog.Run(&owner), 77);
    EXPECT_FALSE(dialog.IsCreated());
    int ticks = owner.ticks;
    PumpFor(20);
    EXPECT_GT(owner.ticks, ticks);
    EXPECT_EQ(Window::GetActiveWindow(), &owner);
}

TEST_F(Dialogs, EndingFromInitDialogReturnsWithoutShowing)
{
    TestDialog dialog;
    dialog.endFromInit = IDOK;
    bool shown = false;
    dialog.script = [&] {
        shown = shown || dialog.IsWindowVisible();
        return false;
    };
    EXPECT_EQ(dialog.Run(), IDOK);
    EXPECT_FALSE(shown);
}

TEST_F(Dialogs, TabMovesThroughEnabledTabStopsBothWays)
{
    TestDialog dialog;
    std::vector<int> order;
    int step = 0;
    dialog.script = [&] {
        if (!dialog.IsWindowVisible())
            return false;
        order.push_back(Focus() ? Focus()->GetDlgCtrlID() : 0);
        if (step < 5)
            PressKey(SDLK_TAB);
        else if (step < 7)
            PressKey(SDLK_TAB, KMOD_LSHIFT);
        else
            dialog.EndDialog(IDCANCEL);
        ++step;
        return step > 7;
    };
    dialog.Run();
    EXPECT_EQ(order, (std::vector<int> { kEdit, kCheck, IDOK, IDCANCEL, kEdit, kCheck, kEdit, IDCANCEL }));
}

TEST_F(Dialogs, TheEditBoxUpperCasesTypedLettersOnly)
{
    TestDialog dialog;
    dialog.name = "";
    int step = 0;
    dialog.script = [&] {
        if (!dialog.IsWindowVisible())
            return false;
        switch (step++) {
        case 0:
            TypeText("zep");
            TypeText("ぜっぷ!");
            return false;
        case 1:
            PressKey(SDLK_BACKSPACE);
            PressKey(SDLK_LEFT);
            PressKey(SDLK_BACKSPACE);
            TypeText("x");
            return false;
        default:
            PressKey(SDLK_RETURN);
            return true;
        }
    };
    EXPECT_EQ(dialog.Run(), IDOK);
    EXPECT_EQ(Cp932ToUtf8(dialog.name), "ZEPぜXぷ");
}

TEST_F(Dialogs, EnterPressesTheDefaultButtonAndExchangesData)
{
    TestDialog dialog;
    dialog.name = "Sjis";
    dialog.remember = 1;
    int step = 0;
    dialog.script = [&] {
        if (!dialog.IsWindowVisible())
            return false;
        auto* edit = dialog.GetDlgItem(kEdit);
        if (step++ == 0) {
            // Data went into the controls, upper-cased by the edit box.
            EXPECT_EQ(edit->GetWindowText(), "SJIS");
            EXPECT_EQ(dynamic_cast<CheckBox*>(dialog.GetDlgItem(kCheck))->GetCheck(), 1);
            ClickMouse(*dialog.GetDlgItem(kCheck), { 3, 5 });
            return false;
        }
        PressKey(SDLK_RETURN);
        return true;
    };
    EXPECT_EQ(dialog.Run(), IDOK);
    EXPECT_EQ(dialog.name, "SJIS");
    EXPECT_EQ(dialog.remember, 0);
    EXPECT_EQ(dialog.notified, 1);
}

TEST_F(Dialogs, EscapeCancelsOnlyWhereACancelButtonExists)
{
    TestDialog dialog;
    dialog.name = "keep";
    dialog.script = [&] {
        if (!dialog.IsWindowVisible())
            return false;
        TypeText("zz");
        PressKey(SDLK_ESCAPE);
        return true;
    };
    EXPECT_EQ(dialog.Run(), IDCANCEL);
    EXPECT_EQ(dialog.name, "keep");

    // Template 32234 has OK alone: Escape leaves it up.
    Dialog notice(32234);
    int step = 0;
    Driver driver([&] {
        if (!notice.IsWindowVisible())
            return false;
        if (step++ == 0) {
            PressKey(SDLK_ESCAPE);
            return false;
        }
        notice.EndDialog(5);
        return true;
    });
    EXPECT_EQ(notice.DoModal(), 5);
    EXPECT_GE(step, 2);
}

TEST_F(Dialogs, ClicksOnPlainStaticsGoToTheDialogAndNotifyingStaticsReport)
{
    TestDialog dialog;
    int step = 0;
    dialog.script = [&] {
        if (!dialog.IsWindowVisible())
            return false;
        switch (step++) {
        case 0:
            ClickMouse(*dialog.GetDlgItem(kLabel), { 2, 2 });
            ClickMouse(*dialog.GetDlgItem(kNotifyLabel), { 2, 2 });
            ClickMouse(*dialog.GetDlgItem(kDisabled), Centre(*dialog.GetDlgItem(kDisabled)));
            return false;
        default:
            ClickMouse(*dialog.GetDlgItem(IDCANCEL), Centre(*dialog.GetDlgItem(IDCANCEL)));
            return true;
        }
    };
    EXPECT_EQ(dialog.Run(), IDCANCEL);
    EXPECT_EQ(dialog.notified, 1);
}

TEST_F(Dialogs, EveryProgramTemplateMakesItsControls)
{
    struct Expect {
        uint32_t id;
        std::vector<int> controls;
    };
    for (const Expect& expect : { Expect { 100, { 1025, 1035, IDOK } }, Expect { 102, {} }, Expect { 220, {} },
             Expect { 263, { IDOK, 1016, 1014, 1015 } }, Expect { 264, {} }, Expect { 308, { 1003 } },
             Expect { 309, { 1021 } }, Expect { 313, {} }, Expect { 317, { 1023, IDOK, IDCANCEL } },
             Expect { 32234, { 1024, IDOK } } }) {
        SCOPED_TRACE(expect.id);
        Window host;
        ASSERT_TRUE(host.Create(WS_POPUP, 0, { 0, 0, 100, 100 }, nullptr));
        Dialog dialog;
        ASSERT_TRUE(dialog.Create(expect.id, &host));
        for (int id : expect.controls)
            EXPECT_NE(dialog.GetDlgItem(id), nullptr) << id;
        EXPECT_FALSE(dialog.GetClientRect().IsEmpty());
    }
    const DialogTemplate* prompt = FindDialogTemplate(317);
    ASSERT_NE(prompt, nullptr);
    EXPECT_STREQ(prompt->caption, " Lumarra（Velmora）");
    EXPECT_EQ(FindDialogTemplate(1), nullptr);
}
