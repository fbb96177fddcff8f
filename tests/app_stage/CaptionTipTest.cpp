#include "app/CCaptionTipDlg.h"
#include "platform/window/Application.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

class CaptionTipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.IsReady());
        ASSERT_TRUE(m_owner.Create(WS_POPUP | WS_VISIBLE, 0, { 100, 100, 1084, 728 }, nullptr));
        ASSERT_TRUE(m_tip.Create(&m_owner));
        m_tip.AddTool("close", { 963, 6, 979, 20 }, 100);
        m_tip.AddTool("music", { 873, 6, 889, 20 }, 105);
    }

    // A message at (x, y) of the owner window.
    void Relay(uint32_t message, int x, int y)
    {
        m_tip.RelayEvent({ m_owner.GetHandle(), message, 0, 0, { 100 + x, 100 + y } });
    }

    Application m_app;
    Window m_owner;
    CCaptionTipDlg m_tip;
};

TEST_F(CaptionTipTest, ShowsAfterTheDelayAndHidesAfterItsTime)
{
    Relay(WM_MOUSEMOVE, 880, 12);
    EXPECT_EQ(m_tip.GetCurrentTool(), 105);
    EXPECT_TRUE(m_tip.IsShowPending());
    EXPECT_FALSE(m_tip.IsWindowVisible());
    Relay(WM_MOUSEMOVE, 881, 12);
    EXPECT_TRUE(m_tip.IsShowPending()) << "a move while pending restarted nothing";

    ASSERT_TRUE(m_app.PumpUntil([&] { return m_tip.IsWindowVisible(); }, 2000));
    EXPECT_FALSE(m_tip.IsShowPending());
    Rect placed = m_tip.GetWindowRect();
    EXPECT_EQ(placed.top, 100 + 12 + 20) << "the tip sits 20 pixels below the pointer";
    ASSERT_TRUE(m_app.PumpUntil([&] { return !m_tip.IsWindowVisible(); }, 2000));
}

TEST_F(CaptionTipTest, MovingToAnotherToolShowsItAtOnceAndLeavingHidesIt)
{
    Relay(WM_MOUSEMOVE, 880, 12);
    ASSERT_TRUE(m_app.PumpUntil([&] { return m_tip.IsWindowVisible(); }, 2000));
    Relay(WM_MOUSEMOVE, 970, 12);
    EXPECT_EQ(m_tip.GetCurrentTool(), 100);
    EXPECT_TRUE(m_tip.IsWindowVisible());

    Relay(WM_MOUSEMOVE, 970, 25);
    EXPECT_EQ(m_tip.GetCurrentTool(), -1) << "y 25 is below the caption";
    EXPECT_FALSE(m_tip.IsWindowVisible());

    Relay(WM_MOUSEMOVE, 970, 12);
    m_tip.DelTool(100);
    EXPECT_EQ(m_tip.GetCurrentTool(), -1);
    Relay(WM_LBUTTONDBLCLK, 880, 12);
    EXPECT_EQ(m_tip.GetCurrentTool(), -1) << "double clicks are not relayed";
}

}
