#include "tools/pictures/ColorQuantizer.h"
#include "tools/pictures/DeckSheets.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/KanaSheet.h"
#include "tools/pictures/PictureFiles.h"

#include <benchmark/benchmark.h>

using namespace lumarra;

namespace {

const std::string kSource = LUMARRA_SOURCE_DIR;

DeckSheets& EdoSheets()
{
    static std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    static Recipe recipe = *Recipe::Load(kSource + "/resources/pictures/edo.txt");
    static DeckSheets sheets(*emoji, recipe, LoadStringTable(kSource + "/resources/strings/edo.txt"));
    return sheets;
}

void PaintSheet(benchmark::State& state, const SheetSize& size)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EdoSheets().PaintSheet(size));
}

void BM_PaintLargeSheet(benchmark::State& state)
{
    PaintSheet(state, kLargeSheet);
}
BENCHMARK(BM_PaintLargeSheet)->Unit(benchmark::kMillisecond);

void BM_PaintSmallSheet(benchmark::State& state)
{
    PaintSheet(state, kSmallSheet);
}
BENCHMARK(BM_PaintSmallSheet)->Unit(benchmark::kMillisecond);

// The largest IMG sheet reduced to 128 colors with error diffusion.
void BM_QuantizeLargeSheet(benchmark::State& state)
{
    Canvas sheet = EdoSheets().PaintSheet(kLargeSheet);
    std::vector<uint32_t> rgb = Flatten(sheet, false);
    const uint32_t keep[] = { 0 };
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorQuantizer::Quantize(sheet.GetWidth(), sheet.GetHeight(), rgb, 128, 0.75f, keep));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(rgb.size()));
}
BENCHMARK(BM_QuantizeLargeSheet)->Unit(benchmark::kMillisecond);

void BM_KanaSheet(benchmark::State& state)
{
    KanaSheet sheet(*Recipe::Load(kSource + "/resources/kana/strokes.txt"));
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.Paint());
}
BENCHMARK(BM_KanaSheet)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
