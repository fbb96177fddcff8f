#include "game/ListScrollBar.h"
#include "game/ProverbExplanation.h"
#include "game/ProverbList.h"
#include "game/StrokeTable.h"
#include "game/WritingAnimation.h"
#include "graphics/DibSurface.h"
#include "platform/CodePage.h"

#include <benchmark/benchmark.h>

using namespace lumarra;

namespace {

// The study screen's own work between its pauses: the writing animation
// tests the stroke sheet's pixels line by line (10 ms apart on screen), a
// drag recomputes the first entry on every pointer move, and each proverb
// click composes the two layers of its explanation.

void BM_WritingAnimationOfA(benchmark::State& state)
{
    DibSurface sheet(24, 1000, 100, kNoColor);
    sheet.FillSolidRect(0, 0, 1000, 100, 0xFF00FF);
    // Every record sweeps 60 lines: its cell's top row and left column are
    // drawn from 20 to 79.
    for (int k = 0; k < 8; ++k) {
        sheet.FillSolidRect(100 * k + 20, 0, 60, 100, 0);
        sheet.FillSolidRect(100 * k, 20, 1, 60, 0);
    }
    int lines = 0;
    WritingAnimation animation(
        sheet, [&](const Rect&, Point) { ++lines; }, [](int) { return 1; });
    for (auto _ : state)
        benchmark::DoNotOptimize(animation.Play(1, { 620, 115 }));
    state.counters["lines"] = benchmark::Counter(lines, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WritingAnimationOfA)->Unit(benchmark::kMicrosecond);

void BM_DragAcrossTheBar(benchmark::State& state)
{
    ListScrollBar bar(15, 28);
    bar.Reset(48);
    bar.Scroll(0);
    for (auto _ : state) {
        for (int y = 40; y < 300; ++y) {
            int entry = bar.DragEntry(y, 5);
            if (entry != bar.GetFirst())
                bar.Scroll(entry - bar.GetFirst());
        }
        bar.Scroll(0);
    }
}
BENCHMARK(BM_DragAcrossTheBar)->Unit(benchmark::kMicrosecond);

void BM_ComposeExplanation(benchmark::State& state)
{
    std::array<std::string, ProverbExplanation::kTextCount> block = {
        Sjis("い"),
        Sjis("犬も歩けば棒にあたる"),
        Sjis("いぬも あるけば ぼうにあたる"),
        Sjis("出かけると、思いがけないことに出会うというたとえです。"),
        Sjis("いろいろやってみると、いいことに出会えるかもしれません。"),
        Sjis("でかけると、おもいがけない　ことに　であう　という　たとえです。"),
        Sjis("いろいろ　やってみると、いいことに　であえるかも　しれません。"),
    };
    std::string deck = Sjis("江戸Korimba");
    for (auto _ : state)
        benchmark::DoNotOptimize(ProverbExplanation::Compose(deck, block));
}
BENCHMARK(BM_ComposeExplanation)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
