#include "app/CMainGameDlg.h"
#include "app/GameStage.h"
#include "graphics/PictureCache.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

using namespace lumarra;

namespace {

// From nothing to the first screen drawn: the application, the main window
// with the whole sound table loaded and the stage's first scene on screen.
// The picture cache is built beforehand, as after the first run.
void BM_StartToFirstScene(benchmark::State& state)
{
    PrebuildPictureCache();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        Application app;
        titleNotReady = 1;
        CMainGameDlg game;
        game.Create(nullptr);
        bool drawn = app.PumpUntil([] { return titleNotReady.load() == 0; }, 10000);
        // The first scene's drawing reaches the screen with the next pump.
        app.PumpMessages(false);
        auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed.count());
        if (!drawn)
            state.SkipWithError("the first scene was never drawn");
        game.SendMessage(WM_CLOSE);
    }
}
BENCHMARK(BM_StartToFirstScene)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// One full repaint of the 980 x 600 back buffer, composed and presented.
void BM_FullRepaint(benchmark::State& state)
{
    Application app;
    Window view;
    view.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 980, 600 }, nullptr);
    GameStage stage;
    stage.Init(&view, 980, 600, std::make_unique<Scene>(&stage));
    stage.GetBackBuffer().FillSolidRect(0, 0, 980, 600, RGB(30, 120, 200));
    app.PumpMessages(false);
    for (auto _ : state) {
        stage.Repaint();
        app.PumpMessages(false);
    }
    stage.Shutdown();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
