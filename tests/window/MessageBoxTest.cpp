#include "platform/CodePage.h"
#include "platform/window/MessageBox.h"
#include "tests/window/WindowTestSupport.h"

using namespace lumarra;
using namespace lumarra::test;

namespace {

const std::string kCaption = Sjis("Lumarra（Velmora）");

// The message box on screen, once it is up.
Window* OpenBox()
{
    Window* active = Window::GetActiveWindow();
    return active && active->GetWindowText() == kCaption && active->IsWindowVisible() ? active : nullptr;
}

// Runs `answer` on the box once it is up; returns what MessageBox returned.
int Answer(Window* owner, unsigned type, std::function<void(Window&)> answer)
{
    int seen = 0;
    Driver driver([&] {
        Window* box = OpenBox();
        // A few rounds so the box has painted and been presented.
        if (!box || ++seen < 3)
            return false;
        answer(*box);
        return true;
    });
    return MessageBox(owner, Sjis("このままでゲームを始めますか？"), kCaption, type);
}

void ClickButton(Window& box, int id)
{
    Window* button = box.GetDlgItem(id);
    ASSERT_NE(button, nullptr);
    ClickMouse(*button, Centre(*button));
}

}

class MessageBoxes : public WindowTest { };

TEST_F(MessageBoxes, ClicksAnswerYesOrNo)
{
    EXPECT_EQ(Answer(nullptr, MB_YESNO | MB_ICONINFORMATION, [](Window& box) { ClickButton(box, IDNO); }), IDNO);
    EXPECT_EQ(Answer(nullptr, MB_YESNO | MB_ICONINFORMATION, [](Window& box) { ClickButton(box, IDYES); }), IDYES);
    EXPECT_EQ(Answer(nullptr, MB_OK | MB_ICONQUESTION, [](Window& box) { ClickButton(box, IDOK); }), IDOK);
}

TEST_F(MessageBoxes, EnterPressesTheFirstButtonAndEscapeOnlyClosesAnOkBox)
{
    EXPECT_EQ(Answer(nullptr, MB_YESNO, [](Window&) { PressKey(SDLK_RETURN); }), IDYES);
    EXPECT_EQ(Answer(nullptr, MB_OK | MB_ICONINFORMATION, [](Window&) { PressKey(SDLK_RETURN); }), IDOK);
    EXPECT_EQ(Answer(nullptr, MB_OK, [](Window&) { PressKey(SDLK_ESCAPE); }), IDOK);
    EXPECT_EQ(Answer(nullptr, MB_YESNO,
                  [](Window&) {
                      PressKey(SDLK_ESCAPE);
                      PressKey(SDLK_n);
                  }),
        IDNO);
}

TEST_F(MessageBoxes, AnOwnedBoxSitsOverItsOwnerAndBlocksItsInput)
{
    struct Owner : Window {
        int clicks = 0;
        void OnLButtonUp(unsigned, Point) override { ++clicks; }
    } owner;
    ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, { 100, 100, 600, 500 }, nullptr));
    int result = Answer(&owner, MB_OK | MB_ICONINFORMATION, [&](Window& box) {
        EXPECT_EQ(box.GetOwner(), &owner);
        Rect frame = box.GetWindowRect();
        EXPECT_NEAR((frame.left + frame.right) / 2, 350, 1);
        EXPECT_NEAR((frame.top + frame.bottom) / 2, 300, 1);
        ClickMouse(owner, { 5, 5 });
        ClickButton(box, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    PumpFor(10);
    EXPECT_EQ(owner.clicks, 0);

    EXPECT_EQ(Answer(nullptr, MB_OK,
                  [](Window& box) {
                      EXPECT_EQ(box.GetOwner(), nullptr);
                      ClickButton(box, IDOK);
                  }),
        IDOK);
}

TEST_F(MessageBoxes, JapaneseTextIsDrawnInInk)
{
    int inked = 0;
    Answer(nullptr, MB_OK | MB_ICONINFORMATION, [&](Window& box) {
        // Let the box paint and present, then count dark pixels in the text.
        Rect frame = box.GetWindowRect();
        for (int y = 26; y < frame.GetHeight() - 50; ++y)
            for (int x = 60; x < frame.GetWidth() - 10; ++x)
                if (box.GetPresentedPixel(x, y) < 0x404040 && GetRValue(box.GetPresentedPixel(x, y)) < 0x40)
                    ++inked;
        PressKey(SDLK_RETURN);
    });
    EXPECT_GT(inked, 100);
}
