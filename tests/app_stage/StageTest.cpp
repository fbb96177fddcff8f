#include "app/GameStage.h"
#include "app/Scene.h"
#include "platform/Clock.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "tests/support/TestScopes.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kNoResult = -12345;

// A scene whose script is the test's; it reports what it returned, how
// often CheckWait ran and whether it was released.
class ScriptScene : public Scene {
public:
    ScriptScene(GameStage* stage, std::function<int(Scene&)> script) : Scene(stage), m_script(std::move(script)) { }

    void Run() override { result = m_script(*this); }
    void Release() override { released = true; }
    int CheckWait(int, int) override
    {
        ++checks;
        return checkResult.load();
    }

    std::atomic<int> result { kNoResult };
    std::atomic<int> checks { 0 };
    std::atomic<int> checkResult { 0 };
    std::atomic<bool> released { false };

private:
    std::function<int(Scene&)> m_script;
};

// The real stage on a plain window standing in for the view, with private
// registry and program folders.
class StageTest : public ::testing::Test {
protected:
    StageTest()
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.Native().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.Native().c_str())
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_app.IsReady());
        ASSERT_TRUE(m_view.Create(WS_POPUP, 0, { 0, 0, 980, 600 }, nullptr));
        m_view.ShowWindow(SW_SHOW);
    }

    void TearDown() override
    {
        if (m_stage.active)
            m_stage.Shutdown();
    }

    ScriptScene& Start(std::function<int(Scene&)> script)
    {
        auto scene = std::make_unique<ScriptScene>(&m_stage, std::move(script));
        ScriptScene& ref = *scene;
        m_stage.Init(&m_view, 980, 600, std::move(scene));
        m_stage.StartThread();
        return ref;
    }

    void Init()
    {
        m_stage.Init(&m_view, 980, 600, std::make_unique<Scene>(&m_stage));
    }

    bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 5000)
    {
        return m_app.PumpUntil(done, timeoutMs);
    }

    bool WaitingForInput()
    {
        return PumpUntil([&] { return m_stage.waitingInput.load() == 1; });
    }

    void PumpFor(uint32_t ms)
    {
        m_app.PumpUntil([] { return false; }, ms);
    }

    TestFolder m_registryFolder;
    TestFolder m_programFolder;
    EnvironmentScope m_registry;
    EnvironmentScope m_home;
    Application m_app;
    Window m_view;
    GameStage m_stage;
};

TEST_F(StageTest, WaitEventReturnsTheFirstSpotClickedWhoseKeyMatchesTheMask)
{
    ScriptScene& scene = Start([](Scene& s) {
        s.AddHotSpot(10, 10, 50, 50, 1, 0x8800);
        s.AddHotSpot(100, 10, 50, 50, 2, 0x4800);
        s.AddHotSpot(200, 10, 50, 50, 3, 0x0200);
        return s.WaitEvent(0xF000, 0);
    });
    ASSERT_TRUE(WaitingForInput());
    m_stage.OnLButtonUp(0, 220, 20);
    PumpFor(200);
    EXPECT_EQ(scene.result.load(), kNoResult) << "a spot outside the mask ended the wait";
    m_stage.OnLButtonUp(0, 120, 20);
    ASSERT_TRUE(PumpUntil([&] { return scene.result.load() != kNoResult; }));
    EXPECT_EQ(scene.result.load(), 2);
    EXPECT_EQ(m_stage.waitingInput.load(), 0);
}

// The value a click at (x, y) records, or kNoResult when it hits nothing.
// The stage keeps its last hit until the next one, so a click on a spot
// of its own in the corner clears it first.
int ClickValue(GameStage& stage, int x, int y, bool right = false)
{
    stage.OnLButtonUp(0, 975, 595);
    if (right)
        stage.OnRButtonUp(0, x, y);
    else
        stage.OnLButtonUp(0, x, y);
    int value = stage.GetLastHitValue();
    return value == -1 ? kNoResult : value;
}

int HoverValue(GameStage& stage, int x, int y)
{
    stage.OnLButtonUp(0, 975, 595);
    stage.OnMouseMove(0, x, y);
    int value = stage.GetLastHitValue();
    return value == -1 ? kNoResult : value;
}

TEST_F(StageTest, ClickHitTestTakesTheLowestIndexAndLeavesOutTheRightAndBottomEdges)
{
    Init();
    EXPECT_EQ(m_stage.AddHotSpot(100, 100, 32, 32, 7, 0x400), 0);
    EXPECT_EQ(m_stage.AddHotSpot(110, 110, 32, 32, 8, 0x400), 1);
    m_stage.AddHotSpot(970, 590, 10, 10, -1, 0x1);

    EXPECT_EQ(ClickValue(m_stage, 120, 120), 7) << "the lower index must win where spots overlap";
    EXPECT_EQ(ClickValue(m_stage, 100 + 30, 100 + 30), 7);

    m_stage.RemoveHotSpotsByValue(8);
    EXPECT_EQ(ClickValue(m_stage, 100 + 31, 100 + 31, true), kNoResult) << "(x + 31, y + 31) lies outside";
    EXPECT_EQ(ClickValue(m_stage, 100, 100, true), 7) << "the right button hits too";

    m_stage.EnableHotSpots(0x400, 0);
    EXPECT_EQ(ClickValue(m_stage, 110, 110), kNoResult) << "a disabled spot was hit";
    m_stage.EnableHotSpots(GameStage::kAllKeys, 1);
    EXPECT_EQ(ClickValue(m_stage, 110, 110), 7);
}

TEST_F(StageTest, HoverTakesOnlyTheTargetAndOnlyTwentyPixelsInside)
{
    Init();
    m_stage.clickMode = 0;
    m_stage.AddHotSpot(970, 590, 10, 10, -1, 0x1);
    m_stage.AddHotSpot(300, 100, 100, 140, 21, 512);
    m_stage.AddHotSpot(100, 100, 100, 140, 22, 512);
    m_stage.SetHoverTarget(22);

    for (Point outside : { Point { 119, 150 }, Point { 150, 119 }, Point { 180, 150 }, Point { 150, 220 } })
        EXPECT_EQ(HoverValue(m_stage, outside.x, outside.y), kNoResult) << outside.x << "," << outside.y;
    EXPECT_EQ(HoverValue(m_stage, 350, 170), kNoResult) << "a card other than the target was taken by hovering";
    EXPECT_EQ(HoverValue(m_stage, 120, 120), 22);
    EXPECT_EQ(HoverValue(m_stage, 178, 218), 22);
    EXPECT_EQ(HoverValue(m_stage, 179, 218), kNoResult);

    m_stage.clickMode = 1;
    EXPECT_EQ(HoverValue(m_stage, 150, 170), kNoResult) << "hovering takes nothing in click mode";
}

TEST_F(StageTest, WaitEventTimesOutAfterThreeRounds)
{
    ScriptScene& scene = Start([](Scene& s) { return s.WaitEvent(0x100, 120); });
    ASSERT_TRUE(PumpUntil([&] { return scene.result.load() != kNoResult; }));
    EXPECT_EQ(scene.result.load(), 0);
    EXPECT_EQ(scene.checks.load(), 3);
}

TEST_F(StageTest, CheckWaitEndsTheWaitWithItsValue)
{
    ScriptScene& scene = Start([](Scene& s) { return s.WaitEvent(0x100, 0); });
    ASSERT_TRUE(WaitingForInput());
    scene.checkResult = -17;
    ASSERT_TRUE(PumpUntil([&] { return scene.result.load() != kNoResult; }));
    EXPECT_EQ(scene.result.load(), -17);
}

TEST_F(StageTest, ShutdownInsideWaitEventEndsTheWorkerSoon)
{
    std::atomic<bool> ranOn { false };
    Start([&](Scene& s) {
        s.WaitEvent(0x100, 0);
        ranOn = true;
        return 1;
    });
    ASSERT_TRUE(WaitingForInput());
    uint32_t start = GetTickCount();
    m_stage.Shutdown();
    uint32_t took = GetTickCount() - start;
    EXPECT_FALSE(m_stage.IsWorkerRunning());
    EXPECT_LE(took, 1400u) << "scaled milliseconds";
    EXPECT_FALSE(ranOn.load()) << "the script ran on after the quit request";
    EXPECT_EQ(m_stage.GetScene(), nullptr);
}

TEST_F(StageTest, ShutdownKeepsTheSceneWhileAWorkerThatIgnoresTheRequestRuns)
{
    std::atomic<bool> release { false };
    std::atomic<bool> looping { false };
    ScriptScene& scene = Start([&](Scene&) {
        looping = true;
        while (!release)
            Sleep(10);
        return 5;
    });
    ASSERT_TRUE(PumpUntil([&] { return looping.load(); }));
    m_stage.Shutdown();
    EXPECT_TRUE(m_stage.IsWorkerRunning());
    ASSERT_NE(m_stage.GetScene(), nullptr) << "the scene was freed under a running script";
    EXPECT_FALSE(scene.released.load());
    release = true;
}

TEST_F(StageTest, WaitOnTheInterfaceThreadNeverEndsIt)
{
    Init();
    m_stage.quitThread = 1;
    EXPECT_NE(m_stage.Wait(30), 0);
    EXPECT_EQ(m_stage.quitThread.load(), 1);
    m_stage.quitThread = 0;
}

TEST_F(StageTest, AScriptThatThrowsEndsTheWorkerQuietly)
{
    Start([](Scene&) -> int { throw std::runtime_error("script failure"); });
    ASSERT_TRUE(PumpUntil([&] { return !m_stage.IsWorkerRunning(); }));
}

TEST_F(StageTest, HotSpotTableRefusesTheHundredAndEleventh)
{
    Init();
    for (int i = 0; i < GameStage::kHotSpotCount; ++i)
        ASSERT_EQ(m_stage.AddHotSpot(i, 0, 1, 1, i + 1, 0x100), i);
    EXPECT_EQ(m_stage.AddHotSpot(0, 0, 1, 1, 999, 0x100), -1);
    m_stage.RemoveHotSpotsByValue(50);
    EXPECT_EQ(m_stage.AddHotSpot(0, 0, 1, 1, 999, 0x200), 49) << "the lowest free slot is taken";
    m_stage.RemoveHotSpotsDefault(0);
    m_stage.RemoveHotSpotsByKey(0x200);
    EXPECT_FALSE(m_stage.GetHotSpot(49).IsUsed());
    m_stage.RemoveHotSpotsByKey(GameStage::kAllKeys);
    EXPECT_FALSE(m_stage.GetHotSpot(0).IsUsed());
}

TEST_F(StageTest, OverlaysComeBackInReverseOrderAndASixthIsNotKept)
{
    Init();
    DibSurface& back = m_stage.BackBuffer();
    const COLORREF colours[5] = { RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255) };
    for (int i = 0; i < 5; ++i) {
        back.FillSolidRect(i * 100, 0, 40, 40, colours[i]);
        m_stage.PushOverlay(i * 100, 0, 40, 40);
        back.FillSolidRect(i * 100, 0, 40, 40, RGB(0, 0, 0));
    }
    m_stage.PushOverlay(600, 0, 40, 40);
    EXPECT_EQ(m_stage.GetOverlayCount(), 5);

    for (int popped = 4; popped >= 0; --popped) {
        m_stage.PopOverlay();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(back.GetPixel(i * 100 + 20, 20), i >= popped ? colours[i] : RGB(0, 0, 0))
                << "after popping down to " << popped << ", rectangle " << i;
    }
    m_stage.PopOverlay();
    EXPECT_EQ(m_stage.GetOverlayCount(), 0);
}

TEST_F(StageTest, HideIconZeroHidesOnlyTheFirstMarker)
{
    Init();
    for (int kind = 0; kind < 4; ++kind)
        m_stage.ShowIcon(100 + 50 * kind, 100, kind);
    for (int marker = 0; marker < 4; ++marker)
        EXPECT_NE(m_stage.GetIconSpot(marker), -1);

    m_stage.HideIcon(0);
    EXPECT_EQ(m_stage.GetIconSpot(0), -1);
    for (int marker = 1; marker < 4; ++marker)
        EXPECT_NE(m_stage.GetIconSpot(marker), -1) << marker;
    m_stage.OnLButtonUp(0, 110, 110);
    EXPECT_EQ(m_stage.GetLastHitKey(), 0) << "the hidden marker's spot is still there";

    m_stage.HideIcon(0xF000);
    for (int marker = 0; marker < 4; ++marker)
        EXPECT_EQ(m_stage.GetIconSpot(marker), -1) << marker;
}

TEST_F(StageTest, ClickingAShownMarkerEndsItsWait)
{
    ScriptScene& scene = Start([](Scene& s) {
        s.ShowIcon(250, 272, 0x8000);
        return s.WaitEvent(0x8000, 0);
    });
    ASSERT_TRUE(WaitingForInput());
    ASSERT_TRUE(PumpUntil([&] { return m_stage.GetIconSpot(0) != -1; }));
    m_stage.OnLButtonUp(0, 260, 280);
    ASSERT_TRUE(PumpUntil([&] { return scene.result.load() != kNoResult; }));
    EXPECT_EQ(scene.result.load(), 0x8000);
}

TEST_F(StageTest, DrawingReachesTheView)
{
    Init();
    // The stand-in view erases itself when first shown.
    ASSERT_TRUE(PumpUntil([&] { return m_view.GetPresentedPixel(510, 310) == RGB(255, 255, 255); }));
    m_stage.FillRect(500, 300, 20, 20, RGB(0, 0, 255));
    EXPECT_EQ(m_stage.BackBuffer().GetPixel(510, 310), RGB(0, 0, 255));
    ASSERT_TRUE(PumpUntil([&] { return m_view.GetPresentedPixel(510, 310) == RGB(0, 0, 255); }));
    m_stage.BackBuffer().FillSolidRect(0, 0, 980, 600, RGB(255, 0, 0));
    m_stage.Repaint();
    ASSERT_TRUE(PumpUntil([&] { return m_view.GetPresentedPixel(900, 550) == RGB(255, 0, 0); }));
}

}
