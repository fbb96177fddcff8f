// Decoding the largest card sheet (750 x 2310, 128 colors): our decoder
// against giflib's DGifSlurp on the same stream.

#include "graphics/ImgDecoder.h"
#include "graphics/ImgEncoder.h"
#include "tests/img/ImgTestPictures.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kSheetWidth = 750;
constexpr int kSheetHeight = 2310;
constexpr int kSheetColors = 128;

// The same picture as an IMG stream and, with the GIF signature, for giflib.
struct SheetStreams {
    std::vector<uint8_t> img;
    std::vector<uint8_t> gif;
};

const SheetStreams& Streams()
{
    static const SheetStreams streams = [] {
        IndexedPicture sheet = MakeSheetPicture(kSheetWidth, kSheetHeight, kSheetColors, 1);
        SheetStreams s;
        ImgEncoder::Encode(sheet.width, sheet.height, sheet.indices, sheet.colors, {}, s.img);
        s.gif = s.img;
        SetSignature(s.gif, "GIF89a");
        return s;
    }();
    return streams;
}

void DecodeOurs(benchmark::State& state)
{
    ImgDecoder decoder;
    if (!decoder.Parse(Streams().img))
        state.SkipWithError("IMG stream did not decode");
    benchmark::DoNotOptimize(decoder.GetIndices().data());
}

void DecodeGiflib(benchmark::State& state)
{
    int width = 0, height = 0;
    std::vector<uint8_t> indices;
    if (!GiflibDecode(Streams().gif, width, height, indices))
        state.SkipWithError("GIF stream did not decode");
    benchmark::DoNotOptimize(indices.data());
}

void BM_ImgDecoderParse(benchmark::State& state)
{
    for (auto _ : state)
        DecodeOurs(state);
    state.SetBytesProcessed(state.iterations() * kSheetWidth * kSheetHeight);
}
BENCHMARK(BM_ImgDecoderParse)->Unit(benchmark::kMillisecond);

void BM_GiflibDGifSlurp(benchmark::State& state)
{
    for (auto _ : state)
        DecodeGiflib(state);
    state.SetBytesProcessed(state.iterations() * kSheetWidth * kSheetHeight);
}
BENCHMARK(BM_GiflibDGifSlurp)->Unit(benchmark::kMillisecond);

// Both decoders in turn within each iteration; the counter is giflib's time
// over ours (above 1 means ours is faster).
void BM_DecodeSpeedRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration ours {}, giflib {};
    for (auto _ : state) {
        auto start = Clock::now();
        DecodeOurs(state);
        auto middle = Clock::now();
        DecodeGiflib(state);
        giflib += Clock::now() - middle;
        ours += middle - start;
    }
    state.counters["giflib_over_ours"]
        = std::chrono::duration<double>(giflib).count() / std::chrono::duration<double>(ours).count();
}
BENCHMARK(BM_DecodeSpeedRatio)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
