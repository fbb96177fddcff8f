#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "game/CardReader.h"
#include "game/DeckPictures.h"
#include "game/PlayScene.h"
#include "game/ReadingCard.h"
#include "platform/audio/AudioDevice.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "tests/game/ScriptedChild.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

using namespace lumarra;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCard = 7;
constexpr int kCardKey = 512;
constexpr Rect kCardRect = Rect::FromSize(137, 33, 128, 180);
constexpr int kHitClip = 6;
// The sound output's period: what SDL asks the mixer for at a time.
constexpr size_t kOutputFrames = 512;
constexpr int kOutputRate = 48000;
constexpr int kOutputChannels = 2;
// A card every reading of the benchmarks reads: "い", the Edo deck's first.
constexpr CardCode kReadCard = 2;
constexpr double kCpuWindowSeconds = 10.0;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double ProcessCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The game's sounds and pictures are beside the program in the build's bin
// folder; the benchmark runs from another, so it names that one.
void UseProgramFolder()
{
    setenv("LUMARRA_HOME", LUMARRA_PROGRAM_FOLDER, 0);
}

// A stage on a plain window standing in for the view, with its worker
// running `scene`.
class BenchStage {
public:
    template <typename SceneType>
    SceneType& Start(std::unique_ptr<SceneType> owned)
    {
        UseProgramFolder();
        OpenSoundDevice();
        m_view.Create(WS_POPUP | WS_VISIBLE, 0, { 0, 0, 980, 600 }, nullptr);
        SceneType& scene = *owned;
        stage.Init(&m_view, 980, 600, std::move(owned));
        stage.StartThread();
        return scene;
    }
    ~BenchStage()
    {
        if (stage.active)
            stage.Shutdown();
        CloseSoundDevice();
    }

    Application app;
    GameStage stage;
    Window& GetView() { return m_view; }

private:
    Window m_view;
};

// A round's take loop reduced to its wait: the read card is the hover target
// and the script blocks in the stage's wait for a table card.
class TakeWaitScene : public Scene {
public:
    using Scene::Scene;

    void Run() override
    {
        AddHotSpot(kCardRect.left, kCardRect.top, kCardRect.GetWidth(), kCardRect.GetHeight(), kCard, kCardKey);
        for (;;) {
            SetHoverTarget(kCard);
            WaitEvent(kCardKey, 0);
        }
    }
};

// Stands in for SDL's audio thread: asks the mixer for one period at a time,
// paced by the output rate, and notes when each period was mixed.
class OutputPump {
public:
    explicit OutputPump(AudioMixer& mixer)
        : m_mixer(mixer)
        , m_thread([this] { Body(); })
    {
    }
    ~OutputPump()
    {
        m_stop = true;
        m_thread.join();
    }

    // The end of the first period mixed wholly after `after`.
    Clock::time_point FirstMixAfter(Clock::time_point after)
    {
        for (;;) {
            Clock::rep start = m_lastStart.load();
            if (start > after.time_since_epoch().count() && m_lastEnd.load() >= start)
                return Clock::time_point(Clock::duration(m_lastEnd.load()));
            std::this_thread::yield();
        }
    }

private:
    void Body()
    {
        std::vector<int16_t> out(kOutputFrames * kOutputChannels);
        auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(kOutputFrames) / kOutputRate));
        auto next = Clock::now();
        while (!m_stop) {
            std::this_thread::sleep_until(next);
            next += period;
            m_lastStart = Clock::now().time_since_epoch().count();
            m_mixer.Mix(out.data(), kOutputFrames);
            m_lastEnd = Clock::now().time_since_epoch().count();
        }
    }

    AudioMixer& m_mixer;
    std::atomic<bool> m_stop { false };
    std::atomic<Clock::rep> m_lastStart { 0 };
    std::atomic<Clock::rep> m_lastEnd { 0 };
    std::thread m_thread;
};

// From the pointer entering the read card (20 px inside) to the end of the
// first output period that mixes the hit sound: the stage's hover test and
// the sound's start run on the pointer's own thread, and the output takes
// the sound at its next period. The script learning of the hit at its
// wait's next poll is not on this path.
void BM_HoverToHit(benchmark::State& state)
{
    BenchStage bench;
    bench.stage.clickMode = 0;
    bench.Start(std::make_unique<TakeWaitScene>(&bench.stage));
    std::shared_ptr<AudioDevice> device = GetSoundDevice();
    SoundClip& hit = bench.stage.GetSounds().Clip(kHitClip);
    if (!device || !hit.GetSound().HasVoice()) {
        state.SkipWithError("no hit sound: the benchmark needs the built assets");
        return;
    }
    OutputPump output(device->GetMixer());
    bench.app.PumpUntil([&] { return bench.stage.waitingInput.load() == 1; }, 5000);
    for (auto _ : state) {
        bench.stage.OnMouseMove(0, 5, 5);
        hit.Stop();
        auto start = Clock::now();
        bench.stage.OnMouseMove(0, kCardRect.left + 21, kCardRect.top + 21);
        if (!hit.IsPlaying()) {
            state.SkipWithError("the hover did not start the hit sound");
            return;
        }
        auto mixed = output.FirstMixAfter(Clock::now());
        state.SetIterationTime(std::chrono::duration<double>(mixed - start).count());
        // The script takes the hit and waits again before the next move.
        bench.app.PumpUntil([&] { return bench.stage.waitingInput.load() == 1; }, 1000);
    }
}
BENCHMARK(BM_HoverToHit)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

// Reads the Edo deck's first card over and over, as the play screen's
// rounds do, the back shown before each reading.
class ReadingScene : public Scene {
public:
    explicit ReadingScene(GameStage* stage)
        : Scene(stage)
        , m_reader(*this)
    {
    }
    ~ReadingScene() override { m_reader.EndReader(); }

    void Run() override
    {
        LoadSharedPictures();
        LoadDeckPictures(kDeckEdo);
        DibSurface back(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
        back.DrawSurface(ReadingCardBack(), 0, 0, ReadingCard::kWidth, ReadingCard::kHeight, 0, 0, SRCCOPY);
        m_reader.SetBack(back);
        m_reader.StartReader();
        for (;;) {
            ShowCardBack(back);
            m_reader.RequestReading(kDeckEdo, kReadCard, false);
            while (m_reader.ReadingDone())
                Wait(10);
            while (!m_reader.ReadingDone())
                Wait(20);
            ++readings;
        }
    }
    void Stop() override { m_reader.EndReader(); }

    std::atomic<int> readings { 0 };

private:
    CardReader m_reader;
};

// A cheap picture of the reading area: every row, every third column.
constexpr Rect kArea = GameStage::kReadingArea;
constexpr int kColumnStep = 3;

template <typename PixelAt>
uint64_t AreaSignature(PixelAt pixelAt)
{
    uint64_t hash = 1469598103934665603ull;
    for (int y = kArea.top; y < kArea.bottom; ++y) {
        for (int x = kArea.left; x < kArea.right; x += kColumnStep)
            hash = (hash ^ pixelAt(x, y)) * 1099511628211ull;
    }
    return hash;
}

// Over one reading: each change of the reading area in the back buffer (a
// turn-over frame or a strip of the verse) is noted when a sampler sees it,
// and counts as on screen when the presented window shows that state or a
// later one. Lateness = presented − drawn, median and worst.
void BM_ReaderLateness(benchmark::State& state)
{
    BenchStage bench;
    ReadingScene& scene = bench.Start(std::make_unique<ReadingScene>(&bench.stage));
    DibSurface& backBuffer = bench.stage.GetBackBuffer();
    Window& view = bench.GetView();
    struct Drawn {
        uint64_t signature;
        Clock::time_point at;
    };
    std::mutex lock;
    std::deque<Drawn> pending;
    std::vector<double> lateness;
    std::atomic<bool> sampling { true };
    std::thread sampler([&] {
        uint64_t last = 0;
        while (sampling) {
            uint64_t now = AreaSignature([&](int x, int y) { return backBuffer.GetPixel(x, y); });
            if (now != last) {
                std::lock_guard guard(lock);
                pending.push_back({ now, Clock::now() });
                last = now;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    auto settle = [&] {
        uint64_t shown = AreaSignature([&](int x, int y) { return view.GetPresentedPixel(x, y); });
        auto now = Clock::now();
        std::lock_guard guard(lock);
        auto match
            = std::find_if(pending.rbegin(), pending.rend(), [&](const Drawn& d) { return d.signature == shown; });
        if (match == pending.rend())
            return;
        size_t settled = static_cast<size_t>(pending.rend() - match);
        for (size_t i = 0; i < settled; ++i)
            lateness.push_back(Milliseconds(now - pending[i].at));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(settled));
    };
    for (auto _ : state) {
        int before = scene.readings;
        {
            std::lock_guard guard(lock);
            pending.clear();
            lateness.clear();
        }
        bench.app.PumpUntil(
            [&] {
                settle();
                return scene.readings > before;
            },
            30000);
        std::lock_guard guard(lock);
        std::sort(lateness.begin(), lateness.end());
        if (lateness.empty()) {
            state.SkipWithError("nothing of the reading reached the window");
            break;
        }
        state.counters["draws"] = static_cast<double>(lateness.size());
        state.counters["median_ms"] = lateness[lateness.size() / 2];
        state.counters["worst_ms"] = lateness.back();
        state.counters["over_16ms"]
            = static_cast<double>(std::count_if(lateness.begin(), lateness.end(), [](double ms) { return ms > 16.0; }));
    }
    sampling = false;
    sampler.join();
}
BENCHMARK(BM_ReaderLateness)->Iterations(1)->Unit(benchmark::kSecond);

// The process's CPU share of one core over 10 s of the interface thread's
// pump, starting once `ready` holds.
template <typename Ready>
void MeasureCpu(benchmark::State& state, Application& app, Ready ready)
{
    if (!app.PumpUntil(ready, 60000)) {
        state.SkipWithError("the scene never reached the state measured");
        return;
    }
    for (auto _ : state) {
        double cpuBefore = ProcessCpuSeconds();
        auto wallBefore = Clock::now();
        app.PumpUntil([] { return false; }, static_cast<uint32_t>(kCpuWindowSeconds * 1000));
        double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
    }
}

// Readings one after another, the verse written while the voice plays.
void BM_CpuWhileReading(benchmark::State& state)
{
    BenchStage bench;
    ReadingScene& scene = bench.Start(std::make_unique<ReadingScene>(&bench.stage));
    MeasureCpu(state, bench.app, [&] { return scene.readings >= 1; });
}
BENCHMARK(BM_CpuWhileReading)->Iterations(1)->Unit(benchmark::kSecond);

// The play screen in practice once the card has been turned over and its
// voice has started: nobody takes the card, and the script waits in the
// stage's wait.
void BM_CpuWhileWaitingForATake(benchmark::State& state)
{
    BenchStage bench;
    PlayScene& scene = bench.Start(std::make_unique<PlayScene>(&bench.stage, kDeckEdo));
    test::ScriptedChild::Plan plan;
    plan.strength = 1;
    plan.neverTake = true;
    test::ScriptedChild child(bench.stage, scene, plan, 1u);
    MeasureCpu(state, bench.app, [&] {
        child.Step();
        return scene.GetPhase() == PlayScene::Phase::Round && scene.GetCurrentCard() > 0
            && bench.stage.waitingInput.load() == 1;
    });
}
BENCHMARK(BM_CpuWhileWaitingForATake)->Iterations(1)->Unit(benchmark::kSecond);

}

BENCHMARK_MAIN();
