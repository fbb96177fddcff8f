#include "app/Scene.h"
#include "game/CardTable.h"
#include "game/ReadingCard.h"
#include "graphics/DibSurface.h"
#include "platform/CodePage.h"
#include "support/GameRandom.h"

#include <benchmark/benchmark.h>

using namespace lumarra;

namespace {

const std::string& Verse()
{
    static const std::string verse = Sjis("いぬも あるけば ぼうにあたる");
    return verse;
}

void BM_ShuffleDeck(benchmark::State& state)
{
    Scene scene;
    CardTable table(scene);
    table.SetDeck(FindDeck(kDeckEdo)->cards, 48);
    GameRandom::Seed(1);
    for (auto _ : state) {
        table.Shuffle(table.GetCards(), 0, 0);
        benchmark::DoNotOptimize(table.GetCards());
    }
}
BENCHMARK(BM_ShuffleDeck)->Unit(benchmark::kMicrosecond);

void BM_LayoutVerse(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadingCard::Layout(Verse()));
}
BENCHMARK(BM_LayoutVerse)->Unit(benchmark::kMicrosecond);

// One character of the verse, as the card reader writes it between the
// 10 ms strips that reveal it.
void BM_WriteOneCharacter(benchmark::State& state)
{
    DibSurface face(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
    ReadingCard card = ReadingCard::Layout(Verse());
    size_t next = 0;
    for (auto _ : state) {
        ReadingCard::DrawCharacter(face, card.GetCharacters()[next]);
        next = (next + 1) % card.GetCharacters().size();
    }
}
BENCHMARK(BM_WriteOneCharacter)->Unit(benchmark::kMicrosecond);

void BM_WriteWholeCard(benchmark::State& state)
{
    DibSurface face(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
    for (auto _ : state)
        ReadingCard::Layout(Verse()).Draw(face);
}
BENCHMARK(BM_WriteWholeCard)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
