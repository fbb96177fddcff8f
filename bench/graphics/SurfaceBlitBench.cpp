// Copies the game makes every frame: whole back-buffer copies, masked card
// draws and the 5-6-5 to 24-bit conversion of a picture sheet.

#include "graphics/DibSurface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace lumarra;

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;

void PaintNoise(DibSurface& surface)
{
    size_t size = 0;
    uint8_t* bits = surface.GetBits(&size);
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245 + 12345;
        bits[i] = static_cast<uint8_t>(state >> 16);
    }
}

void BM_MemcpyStage(benchmark::State& state)
{
    size_t bytes = static_cast<size_t>(DibStride(24, kStageWidth)) * kStageHeight;
    std::vector<uint8_t> from(bytes, 1);
    std::vector<uint8_t> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpyStage);

void BM_SrcCopyStage(benchmark::State& state)
{
    DibSurface source(24, kStageWidth, kStageHeight, kNoColor);
    DibSurface target(24, kStageWidth, kStageHeight, kNoColor);
    PaintNoise(source);
    for (auto _ : state) {
        target.DrawSurface(source, 0, 0, 0, 0, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.GetImageSize()));
}
BENCHMARK(BM_SrcCopyStage);

void BM_MaskedCardDraw(benchmark::State& state)
{
    constexpr int kCardWidth = 128;
    constexpr int kCardHeight = 180;
    DibSurface back(24, kStageWidth, kStageHeight, kNoColor);
    DibSurface card(24, kCardWidth, kCardHeight, kNoColor);
    PaintNoise(card);
    card.FillSolidRect(0, 0, 12, kCardHeight, RGB(255, 0, 255));
    card.SetTransparentColor(RGB(255, 0, 255));
    for (auto _ : state) {
        back.DrawSurface(card, 200, 100, 0, 0, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MaskedCardDraw);

void BM_Convert565To24Sheet(benchmark::State& state)
{
    constexpr int kSheetWidth = 640;
    constexpr int kSheetHeight = 1980;
    DibSurface sheet(16, kSheetWidth, kSheetHeight, kNoColor);
    DibSurface target(24, kSheetWidth, kSheetHeight, kNoColor);
    PaintNoise(sheet);
    for (auto _ : state) {
        target.DrawSurface(sheet, 0, 0, 0, 0, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Convert565To24Sheet);

}

BENCHMARK_MAIN();
