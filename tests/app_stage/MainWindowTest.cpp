#include "app/CGameApp.h"
#include "app/CMainGameDlg.h"
#include "app/WindowSizing.h"
#include "platform/window/Application.h"
#include "platform/window/SystemMetrics.h"
#include "tests/support/TestScopes.h"

#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

TEST(WindowSizing, FitsTheWorkAreaOrScrolls)
{
    struct Case {
        Size workArea;
        int width;
        int height;
        int rangeX;
        int rangeY;
    };
    const Case cases[] = {
        { { 1024, 738 }, 984, 628, 0, 0 },
        { { 800, 570 }, 800, 570, 184, 58 },
        { { 1280, 600 }, 980, 600, 4, 28 },
        { { 1280, 1024 }, 984, 628, 0, 0 },
        { { 984, 628 }, 984, 628, 0, 0 },
        { { 900, 1024 }, 900, 626, 84, 2 },
    };
    for (const Case& c : cases) {
        WindowSizing sizing = WindowSizing::Compute(c.workArea, { 0, 0 });
        EXPECT_EQ(sizing.clientWidth, c.width) << c.workArea.width << "x" << c.workArea.height;
        EXPECT_EQ(sizing.clientHeight, c.height) << c.workArea.width << "x" << c.workArea.height;
        EXPECT_EQ(sizing.scrollRangeX, c.rangeX) << c.workArea.width << "x" << c.workArea.height;
        EXPECT_EQ(sizing.scrollRangeY, c.rangeY) << c.workArea.width << "x" << c.workArea.height;
    }
    WindowSizing framed = WindowSizing::Compute({ 800, 570 }, { 6, 30 });
    EXPECT_EQ(framed.windowWidth, 800);
    EXPECT_EQ(framed.clientWidth, 794);
    EXPECT_EQ(framed.scrollRangeY, 88);
}

TEST(ViewScroller, StepsTowardTheNearerEdgeAndStopsAtTheRange)
{
    EXPECT_EQ(ViewScroller::Step(10, 800), 4);
    EXPECT_EQ(ViewScroller::Step(0, 800), 5);
    EXPECT_EQ(ViewScroller::Step(149, 800), 0) << "division truncates toward zero";
    EXPECT_EQ(ViewScroller::Step(400, 800), 0);
    EXPECT_EQ(ViewScroller::Step(790, 800), -4);

    ViewScroller scroller;
    scroller.SetRanges(184, 58);
    int moves = 0;
    while (scroller.ScrollToward(790 - scroller.GetX(), 300 - scroller.GetY(), 800, 570))
        ++moves;
    EXPECT_EQ(scroller.GetX(), -184) << "scrolled past the range";
    EXPECT_EQ(moves, 46);

    int previous = scroller.GetX();
    while (scroller.ScrollToward(10 - scroller.GetX(), 300 - scroller.GetY(), 800, 570)) {
        EXPECT_EQ(scroller.GetX() - previous, std::min(4, -previous));
        previous = scroller.GetX();
    }
    EXPECT_EQ(scroller.GetX(), 0);

    ViewScroller fixed;
    fixed.SetRanges(0, 0);
    EXPECT_FALSE(fixed.ScrollToward(0, 0, 984, 628)) << "a window that fits never scrolls";
}

TEST(CommandLine, RegistSwitchInAnyCaseAnywhere)
{
    EXPECT_TRUE(CGameApp::HasRegistSwitch("/usr/games/lumarra /regist"));
    EXPECT_TRUE(CGameApp::HasRegistSwitch("lumarra /ReGiSt now"));
    EXPECT_TRUE(CGameApp::HasRegistSwitch("lumarra x/REGISTER"));
    EXPECT_FALSE(CGameApp::HasRegistSwitch("lumarra /regis"));
    EXPECT_FALSE(CGameApp::HasRegistSwitch("lumarra"));
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.GetNative().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.GetNative().c_str())
    {
    }
    ~MainWindowTest() override { SetWorkAreaOverride({}); }

    TestFolder m_registryFolder;
    TestFolder m_programFolder;
    EnvironmentScope m_registry;
    EnvironmentScope m_home;
    Application m_app;
};

TEST_F(MainWindowTest, SmallWorkAreaShrinksTheWindowAndLetsTheViewScroll)
{
    ASSERT_TRUE(m_app.IsReady());
    SetWorkAreaOverride({ 0, 0, 800, 570 });
    CMainGameDlg game;
    ASSERT_TRUE(game.Create(nullptr));
    EXPECT_EQ(game.GetClientRect().GetWidth(), 800);
    EXPECT_EQ(game.GetClientRect().GetHeight(), 570);
    EXPECT_EQ(game.GetButtonRect(CMainGameDlg::kCloseButton), (Rect { 779, 6, 795, 20 }));

    ASSERT_TRUE(m_app.PumpUntil([] { return titleNotReady.load() == 0; }, 5000));
    // The pointer stays near the window's bottom-right corner while the
    // view moves under it.
    for (int i = 0; i < 100; ++i)
        game.ScrollToMouse(790 - game.GetScroller().GetX(), 560 - game.GetScroller().GetY());
    EXPECT_EQ(game.GetScroller().GetX(), -184);
    EXPECT_EQ(game.GetScroller().GetY(), -58);
    // The view's rectangle is on the screen; the frame starts 2 pixels in.
    EXPECT_EQ(game.GetView().GetWindowRect().left, game.GetWindowRect().left + 2 - 184);

    game.SendMessage(WM_CLOSE);
    EXPECT_FALSE(game.GetStage().IsWorkerRunning());
    EXPECT_FALSE(game.GetView().IsCreated());
}

TEST_F(MainWindowTest, CaptionHitCodes)
{
    ASSERT_TRUE(m_app.IsReady());
    SetWorkAreaOverride({ 0, 0, 1280, 1000 });
    CMainGameDlg game;
    ASSERT_TRUE(game.Create(nullptr));
    Rect window = game.GetWindowRect();
    auto hit = [&](int x, int y) {
        return static_cast<int>(game.SendMessage(WM_NCHITTEST, 0, PointToLParam({ window.left + x, window.top + y })));
    };
    EXPECT_EQ(hit(10, 10), HTMENU);
    EXPECT_EQ(hit(984 - 15, 10), HTCLIENT) << "close button";
    EXPECT_EQ(hit(984 - 30, 10), HTCLIENT) << "the greyed maximise button";
    EXPECT_EQ(hit(400, 10), HTCAPTION);
    EXPECT_EQ(hit(400, 300), HTCLIENT);
    game.DestroyWindow();
}

}
