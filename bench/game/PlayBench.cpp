#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

using namespace lumarra;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCard = 7;
constexpr int kCardKey = 512;
constexpr Rect kCardRect = Rect::FromSize(137, 33, 128, 180);

// A round's take loop reduced to its wait: the read card is the hover target
// and the script blocks in the stage's wait for a table card.
class TakeWaitScene : public Scene {
public:
    using Scene::Scene;

    void Run() override
    {
        AddHotSpot(kCardRect.left, kCardRect.top, kCardRect.Width(), kCardRect.Height(), kCard, kCardKey);
        for (;;) {
            SetHoverTarget(kCard);
            int value = WaitEvent(kCardKey, 0);
            if (value == kCard) {
                returnedAt = Clock::now().time_since_epoch().count();
                ++takes;
            }
        }
    }

    std::atomic<Clock::rep> returnedAt { 0 };
    std::atomic<int> takes { 0 };
};

// From the pointer entering the read card (20 px inside) to the script's
// wait returning the card. The hit sound starts earlier, in the stage's hit
// test on the pointer's own thread; the script learns of the hit at its
// wait's next poll. The pointer moves just after a wait begins, so this is
// the poll's worst case.
void BM_HoverToHit(benchmark::State& state)
{
    Application app;
    OpenSoundDevice();
    Window view;
    view.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 980, 600 }, nullptr);
    GameStage stage;
    stage.clickMode = 0;
    auto owned = std::make_unique<TakeWaitScene>(&stage);
    TakeWaitScene& scene = *owned;
    stage.Init(&view, 980, 600, std::move(owned));
    stage.StartThread();
    app.PumpUntil([&] { return stage.waitingInput.load() == 1; }, 5000);
    for (auto _ : state) {
        int before = scene.takes;
        stage.OnMouseMove(0, 5, 5);
        auto start = Clock::now();
        stage.OnMouseMove(0, kCardRect.left + 21, kCardRect.top + 21);
        while (scene.takes == before)
            std::this_thread::yield();
        auto end = Clock::time_point(Clock::duration(scene.returnedAt.load()));
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        // The next round's wait has begun before the pointer moves again.
        while (!stage.waitingInput)
            std::this_thread::yield();
    }
    stage.Shutdown();
    CloseSoundDevice();
}
BENCHMARK(BM_HoverToHit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(3)
    ->ReportAggregatesOnly(false);

}

BENCHMARK_MAIN();
