#include "platform/gdi/DrawContext.h"
#include "platform/window/ClientDC.h"
#include "platform/window/PopupMenu.h"
#include "tests/window/WindowTestSupport.h"

#include <atomic>
#include <thread>
#include <vector>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Records what reaches its handlers.
class Probe : public Window {
public:
    std::vector<Message> received;
    std::thread::id handlerThread;
    int timerTicks = 0;
    int clicks = 0;
    Point lastClick;
    std::vector<bool> activations;
    int closes = 0;
    int captionHeight = 0;

protected:
    LRESULT WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER) {
            received.push_back({ GetHandle(), message, wParam, lParam, {} });
            handlerThread = std::this_thread::get_id();
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
    void OnTimer(uintptr_t) override { ++timerTicks; }
    void OnLButtonUp(unsigned, Point point) override
    {
        ++clicks;
        lastClick = point;
    }
    bool OnNcActivate(bool active) override
    {
        activations.push_back(active);
        return Window::OnNcActivate(active);
    }
    int OnNcHitTest(Point point) override
    {
        Point local = ScreenToClient(point);
        if (local.y >= 0 && local.y < captionHeight)
            return local.x < 20 ? HTMENU : HTCAPTION;
        return Window::OnNcHitTest(point);
    }
    void OnClose() override { ++closes; }
};

// A child that paints itself one color.
class Swatch : public Window {
public:
    explicit Swatch(COLORREF color)
        : m_color(color)
    {
    }

protected:
    void OnPaint(DrawContext& dc) override { dc.FillSolidRect(GetClientRect(), m_color); }

private:
    COLORREF m_color;
};

}

class WindowCore : public WindowTest { };

TEST_F(WindowCore, MessagesPostedFromWorkersArriveOnTheInterfaceThreadInOrder)
{
    Probe probe;
    ASSERT_TRUE(probe.Create(WS_POPUP, 0, { 0, 0, 50, 50 }, nullptr));
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            for (int i = 0; i < 50; ++i)
                EXPECT_TRUE(probe.PostMessage(WM_USER + w, static_cast<WPARAM>(i), -i));
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    ASSERT_TRUE(PumpUntil([&] { return probe.received.size() == 200; }));
    EXPECT_EQ(probe.handlerThread, std::this_thread::get_id());
    // Each worker's messages keep their order.
    std::vector<int> next(4, 0);
    for (const Message& message : probe.received) {
        int worker = static_cast<int>(message.message - WM_USER);
        EXPECT_EQ(static_cast<int>(message.wParam), next[worker]);
        EXPECT_EQ(message.lParam, -next[worker]);
        ++next[worker];
    }
}

TEST_F(WindowCore, MessagesToDestroyedWindowsAreDropped)
{
    auto probe = std::make_unique<Probe>();
    ASSERT_TRUE(probe->Create(WS_POPUP, 0, { 0, 0, 50, 50 }, nullptr));
    WindowHandle handle = probe->GetHandle();
    EXPECT_TRUE(Window::PostMessage(handle, WM_USER, 1, 2));
    probe.reset();
    PumpFor(30);
    EXPECT_EQ(Window::FromHandle(handle), nullptr);
    EXPECT_FALSE(Window::PostMessage(kNoWindow, WM_USER, 0, 0));
}

TEST_F(WindowCore, DrawingFromAWorkerThreadIsPresented)
{
    Window window;
    window.SetBackgroundColor(kWhite);
    ASSERT_TRUE(window.Create(WS_POPUP | WS_VISIBLE, 0, { 10, 10, 110, 90 }, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return window.GetPresentedPixel(50, 50) == kWhite; }));

    std::atomic<bool> drawn { false };
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {
            ClientDC dc(window);
            ASSERT_TRUE(dc.IsValid());
            dc->FillSolidRect({ 10, 10, 30, 30 }, i % 2 ? kBlue : kRed);
            dc.MarkDirty({ 10, 10, 30, 30 });
        }
        drawn = true;
    });
    // Meanwhile the interface thread keeps presenting.
    ASSERT_TRUE(PumpUntil([&] { return drawn.load(); }));
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return window.GetPresentedPixel(15, 15) == kBlue; }));
    EXPECT_EQ(window.GetPresentedPixel(35, 35), kWhite);
}

TEST_F(WindowCore, ChildrenComposeAtTheirPlaceAndLeaveNothingBehindWhenMoved)
{
    Window parent;
    parent.SetBackgroundColor(kWhite);
    ASSERT_TRUE(parent.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 200, 200 }, nullptr));
    Swatch child(kBlue);
    ASSERT_TRUE(child.Create(WS_CHILD | WS_VISIBLE, 0, { 50, 50, 70, 70 }, &parent));
    ASSERT_TRUE(PumpUntil([&] { return parent.GetPresentedPixel(55, 55) == kBlue; }));
    EXPECT_EQ(parent.GetPresentedPixel(45, 45), kWhite);

    child.SetWindowPos(ZOrder::Top, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return parent.GetPresentedPixel(105, 125) == kBlue; }));
    EXPECT_EQ(parent.GetPresentedPixel(55, 55), kWhite);

    child.ShowWindow(SW_HIDE);
    ASSERT_TRUE(PumpUntil([&] { return parent.GetPresentedPixel(105, 125) == kWhite; }));
}

TEST_F(WindowCore, TimersFireUntilKilledAndOnlyForLiveWindows)
{
    Probe probe;
    ASSERT_TRUE(probe.Create(WS_POPUP, 0, { 0, 0, 10, 10 }, nullptr));
    probe.SetTimer(7, 10);
    ASSERT_TRUE(PumpUntil([&] { return probe.timerTicks >= 3; }));
    EXPECT_TRUE(probe.KillTimer(7));
    EXPECT_FALSE(probe.KillTimer(7));
    int ticks = probe.timerTicks;
    PumpFor(50);
    EXPECT_EQ(probe.timerTicks, ticks);

    probe.SetTimer(8, 5);
    probe.DestroyWindow();
    PumpFor(30);
    EXPECT_EQ(probe.timerTicks, ticks);
}

TEST_F(WindowCore, AModalLoopKeepsOtherWindowsTimersRunningAndBlocksTheirInput)
{
    Probe background;
    ASSERT_TRUE(background.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 100, 100 }, nullptr));
    background.SetTimer(1, 5);
    Probe modal;
    ASSERT_TRUE(modal.Create(WS_POPUP | WS_VISIBLE, 0, { 200, 0, 300, 100 }, &background));
    Driver driver([&] {
        if (background.timerTicks == 2)
            ClickMouse(background, { 10, 10 });
        if (background.timerTicks < 5)
            return false;
        ClickMouse(modal, { 20, 30 });
        if (modal.clicks == 0)
            return false;
        modal.EndModalLoop(42);
        return true;
    });
    EXPECT_EQ(modal.RunModalLoop(), 42);
    EXPECT_EQ(background.clicks, 0);
    EXPECT_EQ(modal.clicks, 1);
    EXPECT_EQ(modal.lastClick, (Point { 20, 30 }));
}

TEST_F(WindowCore, ActivationMovesBetweenWindowsAndBackToTheOwner)
{
    Probe owner;
    ASSERT_TRUE(owner.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 100, 100 }, nullptr));
    EXPECT_EQ(Window::GetActiveWindow(), &owner);
    EXPECT_TRUE(owner.IsCaptionActive());
    Probe owned;
    ASSERT_TRUE(owned.Create(WS_POPUP, 0, { 0, 0, 50, 50 }, &owner));
    owned.ShowWindow(SW_SHOWNA);
    EXPECT_EQ(Window::GetActiveWindow(), &owner);
    owned.ShowWindow(SW_SHOW);
    EXPECT_EQ(Window::GetActiveWindow(), &owned);
    EXPECT_FALSE(owner.IsCaptionActive());
    owned.ShowWindow(SW_HIDE);
    EXPECT_EQ(Window::GetActiveWindow(), &owner);
    EXPECT_EQ(owner.activations, (std::vector<bool> { true, false, true }));
}

TEST_F(WindowCore, CaptionDragMovesTheWindowAndTheIconOpensTheSystemMenu)
{
    Probe window;
    window.captionHeight = 26;
    ASSERT_TRUE(window.Create(WS_POPUP | WS_VISIBLE, 0, { 100, 100, 300, 250 }, nullptr));
    MoveMouse(window, { 60, 10 });
    PressMouse(window, { 60, 10 });
    PumpFor(10);
    // Each move is reported where the window now is.
    MoveMouse(window, { 90, 30 });
    PumpFor(10);
    ReleaseMouse(window, { 90, 30 });
    PumpFor(10);
    EXPECT_EQ(window.GetWindowRect(), (Rect { 130, 120, 330, 270 }));

    bool sawMenu = false;
    Driver driver([&] {
        Window* menu = PopupMenu::GetTrackingWindow();
        if (!menu)
            return false;
        sawMenu = true;
        // The last item is "close".
        Rect client = menu->GetClientRect();
        ClickMouse(*menu, { client.GetWidth() / 2, client.GetHeight() - 8 });
        return true;
    });
    ClickMouse(window, { 5, 5 });
    ASSERT_TRUE(PumpUntil([&] { return window.closes == 1; }));
    EXPECT_TRUE(sawMenu);
    EXPECT_TRUE(window.IsCreated());
}

TEST_F(WindowCore, MouseCaptureSendsEveryMouseMessageToTheCapturingWindow)
{
    Probe left;
    Probe right;
    ASSERT_TRUE(left.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 100, 100 }, nullptr));
    ASSERT_TRUE(right.Create(WS_POPUP | WS_VISIBLE, 0, { 200, 0, 300, 100 }, nullptr));
    left.SetCapture();
    ClickMouse(right, { 10, 10 });
    PumpFor(20);
    EXPECT_EQ(right.clicks, 0);
    ASSERT_EQ(left.clicks, 1);
    EXPECT_EQ(left.lastClick, (Point { 210, 10 }));
    Window::ReleaseCapture();
    ClickMouse(right, { 10, 10 });
    ASSERT_TRUE(PumpUntil([&] { return right.clicks == 1; }));
}

TEST_F(WindowCore, SettingTheCursorPositionFromAWorkerAsksTheWindowUnderItAgain)
{
    struct Hover : Window {
        std::atomic<int> asked { 0 };
        std::thread::id thread;
        bool OnSetCursor(Window*, int hitTest, uint32_t) override
        {
            EXPECT_EQ(hitTest, HTCLIENT);
            thread = std::this_thread::get_id();
            ++asked;
            return true;
        }
    } window;
    ASSERT_TRUE(window.Create(WS_POPUP | WS_VISIBLE, 0, { 40, 40, 140, 140 }, nullptr));
    MoveMouse(window, { 10, 10 });
    ASSERT_TRUE(PumpUntil([&] { return window.asked == 1; }));
    EXPECT_EQ(m_app.GetCursorPos(), (Point { 50, 50 }));
    std::thread([&] {
        Point at = m_app.GetCursorPos();
        m_app.SetCursorPos(at.x, at.y);
    }).join();
    ASSERT_TRUE(PumpUntil([&] { return window.asked == 2; }));
    EXPECT_EQ(window.thread, std::this_thread::get_id());
}
