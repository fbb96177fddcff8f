#include "app/GameStage.h"
#include "app/Scene.h"
#include "audio/SoundDevice.h"
#include "platform/Clock.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "platform/window/ClientDC.h"
#include "support/GameRandom.h"
#include "tests/support/TestScopes.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kNoResult = -12345;

// A short 16-bit mono PCM WAVE file, enough for a clip to load and play.
void WriteWave(const std::string& nativePath)
{
    constexpr uint32_t kRate = 8000;
    constexpr uint32_t kSamples = 1600;
    auto put32 = [](std::FILE* f, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
    };
    auto put16 = [](std::FILE* f, uint16_t v) {
        std::fputc(v & 0xFF, f);
        std::fputc(v >> 8, f);
    };
    std::filesystem::create_directories(std::filesystem::path(nativePath).parent_path());
    std::FILE* f = std::fopen(nativePath.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("RIFF", f);
    put32(f, 36 + kSamples * 2);
    std::fputs("WAVEfmt ", f);
    put32(f, 16);
    put16(f, 1);
    put16(f, 1);
    put32(f, kRate);
    put32(f, kRate * 2);
    put16(f, 2);
    put16(f, 16);
    std::fputs("data", f);
    put32(f, kSamples * 2);
    for (uint32_t i = 0; i < kSamples; ++i)
        put16(f, static_cast<uint16_t>((i % 40) < 20 ? 4000 : -4000));
    std::fclose(f);
}

// A scene whose script is the test's; it reports what it returned, how
// often CheckWait ran and whether it was released.
class ScriptScene : public Scene {
public:
    ScriptScene(GameStage* stage, std::function<int(Scene&)> script)
        : Scene(stage)
        , m_script(std::move(script))
    {
    }

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
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.GetNative().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.GetNative().c_str())
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

    void Init() { m_stage.Init(&m_view, 980, 600, std::make_unique<Scene>(&m_stage)); }

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
    // The script reads `release`: it must be done before the test's frame goes.
    ASSERT_TRUE(PumpUntil([&] { return !m_stage.IsWorkerRunning(); }));
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
    DibSurface& back = m_stage.GetBackBuffer();
    const COLORREF colors[5] = { RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255) };
    for (int i = 0; i < 5; ++i) {
        back.FillSolidRect(i * 100, 0, 40, 40, colors[i]);
        m_stage.PushOverlay(i * 100, 0, 40, 40);
        back.FillSolidRect(i * 100, 0, 40, 40, RGB(0, 0, 0));
    }
    m_stage.PushOverlay(600, 0, 40, 40);
    EXPECT_EQ(m_stage.GetOverlayCount(), 5);

    for (int popped = 4; popped >= 0; --popped) {
        m_stage.PopOverlay();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(back.GetPixel(i * 100 + 20, 20), i >= popped ? colors[i] : RGB(0, 0, 0))
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
    EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(510, 310), RGB(0, 0, 255));
    ASSERT_TRUE(PumpUntil([&] { return m_view.GetPresentedPixel(510, 310) == RGB(0, 0, 255); }));
    m_stage.GetBackBuffer().FillSolidRect(0, 0, 980, 600, RGB(255, 0, 0));
    m_stage.Repaint();
    ASSERT_TRUE(PumpUntil([&] { return m_view.GetPresentedPixel(900, 550) == RGB(255, 0, 0); }));
}

TEST_F(StageTest, EveryPollOfAnInputWaitDrawsOnceFromTheProgramsGenerator)
{
    auto owned = std::make_unique<ScriptScene>(&m_stage, [](Scene& s) { return s.WaitEvent(0x100, 120); });
    ScriptScene& scene = *owned;
    m_stage.Init(&m_view, 980, 600, std::move(owned));
    // Init seeds from the clock; the script starts after a known seed.
    GameRandom::Seed(1);
    m_stage.StartThread();
    ASSERT_TRUE(PumpUntil([&] { return scene.result.load() != kNoResult; }));
    // 41, 18467 and 6334 went to the three polls.
    EXPECT_EQ(GameRandom::Next(), 26500);
}

TEST_F(StageTest, ClosingWhileAScriptPlaysSoundsUnloadsThemOnlyAfterTheWorkerEnded)
{
    WriteWave(m_programFolder.Native("Data/Sound18.wav"));
    ASSERT_EQ(OpenSoundDevice(), 1);
    std::atomic<int> plays { 0 };
    Start([&](Scene& s) {
        for (;;) {
            s.PlaySound(9, 1);
            s.StopSound(9);
            ++plays;
            s.Wait(1);
        }
        return 0;
    });
    ASSERT_TRUE(m_stage.GetSounds().Clip(9).GetSound().HasVoice()) << "the test sound did not load";
    ASSERT_TRUE(PumpUntil([&] { return plays.load() > 20; }));
    m_stage.Shutdown();
    EXPECT_FALSE(m_stage.IsWorkerRunning());
    EXPECT_FALSE(m_stage.GetSounds().Clip(9).GetSound().HasVoice()) << "the sounds stayed loaded";
    CloseSoundDevice();
}

TEST_F(StageTest, AScriptThatSwallowsTheQuitRunsNoFurtherStep)
{
    std::atomic<int> stepsAfterQuit { 0 };
    std::atomic<bool> quitSeen { false };
    Start([&](Scene& s) {
        for (;;) {
            try {
                s.Wait(20);
            } catch (...) {
                quitSeen = true;
            }
            if (quitSeen)
                ++stepsAfterQuit;
        }
        return 0;
    });
    PumpFor(100);
    m_stage.Shutdown();
    EXPECT_TRUE(quitSeen.load());
    EXPECT_FALSE(m_stage.IsWorkerRunning());
    // The scene is gone with it, released: not given up on as a stuck script.
    EXPECT_EQ(m_stage.GetScene(), nullptr) << "shutdown gave up on a script that only swallowed the quit";
    int steps = stepsAfterQuit.load();
    PumpFor(300);
    EXPECT_LE(stepsAfterQuit.load(), 1) << "the script went on after swallowing the quit";
    EXPECT_EQ(stepsAfterQuit.load(), steps);
}

TEST_F(StageTest, WaitOnAThreadOtherThanTheWorkerLeavesTheQuitToTheWorker)
{
    std::atomic<bool> readerDone { false };
    std::atomic<bool> ranOn { false };
    Start([&](Scene& s) {
        for (;;)
            s.Wait(20);
        ranOn = true;
        return 0;
    });
    m_stage.quitThread = 1;
    std::thread reader([&] {
        // A reader pacing itself with the stage's Wait only sleeps.
        m_stage.Wait(30);
        readerDone = true;
    });
    reader.join();
    EXPECT_TRUE(readerDone.load());
    ASSERT_TRUE(PumpUntil([&] { return !m_stage.IsWorkerRunning(); })) << "the worker never got its quit";
    EXPECT_FALSE(ranOn.load());
}

using StageDeathTest = StageTest;

TEST_F(StageDeathTest, AWorkerThatNeverStopsEndsTheProcessInsteadOfHangingIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<bool> looping { false };
            auto stage = std::make_unique<GameStage>();
            auto scene = std::make_unique<ScriptScene>(stage.get(), [&](Scene&) {
                looping = true;
                for (;;)
                    Sleep(10);
                return 0;
            });
            stage->Init(&m_view, 980, 600, std::move(scene));
            stage->StartThread();
            while (!looping)
                Sleep(10);
            stage->Shutdown();
            stage.reset();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(1), "did not stop");
}

TEST_F(StageTest, AHideDuringTheBlinkNeverLeavesTheIconOnTheView)
{
    Init();
    constexpr COLORREF kGround = RGB(0, 200, 0);
    m_stage.FillRect(0, 0, 980, 600, kGround);
    std::atomic<int> blinks { 0 };
    std::atomic<bool> done { false };
    std::atomic<int> ghosts { 0 };
    std::thread script([&] {
        for (int round = 0; round < 200; ++round) {
            m_stage.ShowIcon(300, 200, 0);
            Sleep(static_cast<uint32_t>(round % 3));
            m_stage.HideIcon(0);
            // Any blink step under way when the icon went has ended after two more.
            int seen = blinks.load();
            while (blinks.load() < seen + 2)
                std::this_thread::yield();
            ClientDC dc(m_view);
            if (dc.IsValid() && dc->GetPixel(316, 216) != kGround)
                ++ghosts;
        }
        done = true;
    });
    while (!done) {
        m_stage.OnTimer(GameStage::kBlinkTimer);
        ++blinks;
    }
    script.join();
    EXPECT_EQ(ghosts.load(), 0) << "a hidden marker icon was drawn again";
}

TEST_F(StageTest, SavedScreensKeepEveryColorAndClearingObjectsLeavesOtherSpots)
{
    Init();
    // A color an 8-bit surface could not hold exactly.
    constexpr COLORREF kShade = RGB(37, 91, 203);
    m_stage.GetSpare().FillSolidRect(0, 0, 980, 600, kShade);
    EXPECT_EQ(m_stage.GetSpare().GetPixel(500, 300), kShade);

    m_stage.AddHotSpot(10, 10, 50, 50, 7, 0x200);
    m_stage.ShowIcon(100, 100, Scene::kYesButton);
    m_stage.PushOverlay(0, 0, 40, 40);
    m_stage.SetHoverTarget(7);
    m_stage.ClearObjects();
    EXPECT_EQ(m_stage.GetOverlayCount(), 0);
    EXPECT_EQ(m_stage.GetHoverTarget(), 0);
    EXPECT_EQ(m_stage.GetIconSpot(0), -1);
    EXPECT_TRUE(m_stage.GetHotSpot(0).IsUsed()) << "a scene's own spot went with the objects";
    EXPECT_FALSE(m_stage.GetHotSpot(1).IsUsed()) << "the yes button's spot stayed";
}

}
