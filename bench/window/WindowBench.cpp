// How long the interface thread takes to put drawing on screen: a worker's
// small update and a whole 980 × 600 view inside a window, at 1× and at the
// 2× of a large screen, and how long a
// message posted from another thread takes to reach its handler. Run with
// SDL_VIDEODRIVER=dummy for the layer's own cost.
#include "platform/gdi/DrawContext.h"
#include "platform/window/Application.h"
#include "platform/window/ClientDC.h"
#include "platform/window/ScreenScale.h"
#include "platform/window/Window.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>

using namespace lumarra;

namespace {

constexpr Rect kView { 2, 26, 982, 626 };

class Counter : public Window {
public:
    std::atomic<int> received { 0 };

protected:
    LRESULT WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER) {
            ++received;
            return 0;
        }
        return Window::WindowProc(message, wParam, lParam);
    }
};

struct Scene {
    Application app;
    Window main;
    Window view;

    explicit Scene(int factor = 1)
    {
        // After the application has chosen its own.
        ScreenScale::SetFactor(factor);
        main.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 984, 628 }, nullptr);
        view.Create(WS_CHILD | WS_VISIBLE, 0, kView, &main);
        app.PumpMessages(false);
    }
};

void Present(benchmark::State& state, Rect area, int factor = 1)
{
    Scene scene(factor);
    int frame = 0;
    for (auto _ : state) {
        {
            ClientDC dc(scene.view);
            dc->FillSolidRect(area, (++frame & 1) ? RGB(200, 40, 40) : RGB(40, 40, 200));
            dc.MarkDirty(area);
        }
        scene.app.PumpMessages(false);
    }
    benchmark::DoNotOptimize(scene.main.GetPresentedPixel(area.left + kView.left, area.top + kView.top));
}

void BM_PresentCardUpdate(benchmark::State& state)
{
    Present(state, { 100, 100, 200, 240 });
}
BENCHMARK(BM_PresentCardUpdate)->Unit(benchmark::kMicrosecond);

void BM_PresentWholeView(benchmark::State& state)
{
    Present(state, { 0, 0, 980, 600 });
}
BENCHMARK(BM_PresentWholeView)->Unit(benchmark::kMicrosecond);

void BM_PresentCardUpdateAtTwice(benchmark::State& state)
{
    Present(state, { 100, 100, 200, 240 }, 2);
}
BENCHMARK(BM_PresentCardUpdateAtTwice)->Unit(benchmark::kMicrosecond);

void BM_PresentWholeViewAtTwice(benchmark::State& state)
{
    Present(state, { 0, 0, 980, 600 }, 2);
}
BENCHMARK(BM_PresentWholeViewAtTwice)->Unit(benchmark::kMicrosecond);

void BM_ScrollView(benchmark::State& state)
{
    Scene scene;
    int offset = 0;
    for (auto _ : state) {
        offset = (offset + 1) % 5;
        scene.view.SetWindowPos(ZOrder::Top, kView.left - offset, kView.top - offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        scene.app.PumpMessages(false);
    }
}
BENCHMARK(BM_ScrollView)->Unit(benchmark::kMicrosecond);

void BM_PostFromWorkerToHandler(benchmark::State& state)
{
    Application app;
    Counter counter;
    counter.Create(WS_POPUP, 0, { 0, 0, 10, 10 }, nullptr);
    for (auto _ : state) {
        int before = counter.received;
        std::thread([&] { counter.PostMessage(WM_USER); }).join();
        while (counter.received == before)
            app.PumpMessages(true, 1);
    }
}
BENCHMARK(BM_PostFromWorkerToHandler)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
