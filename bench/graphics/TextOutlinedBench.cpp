#include "graphics/DibSurface.h"
#include "graphics/OutlinedText.h"
#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace lumarra {
namespace {

constexpr int kStageWidth = 980;
constexpr int kStageHeight = 600;
constexpr int kCaptionHeight = 30;
// Twenty characters, as long as the longest menu caption.
constexpr std::string_view kCaption = "いぬもあるけばぼうにあたるかるたのじかん";

void BM_DrawOutlinedText(benchmark::State& state)
{
    DibSurface surface(24, kStageWidth, kStageHeight, kNoColor);
    std::string caption = Sjis(kCaption);
    std::string face = Sjis("ＭＳ ゴシック");
    // The first call renders and caches every glyph.
    surface.DrawOutlinedText(caption, 0, 200, kStageWidth, 60, face, kCaptionHeight, 600, RGB(255, 255, 255),
        RGB(0x80, 0x80, 0x80));
    for (auto _ : state) {
        int result = surface.DrawOutlinedText(caption, 0, 200, kStageWidth, 60, face, kCaptionHeight, 600,
            RGB(255, 255, 255), RGB(0x80, 0x80, 0x80));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_DrawOutlinedText)->Unit(benchmark::kMicrosecond);

void BM_DrawTextWrapped(benchmark::State& state)
{
    LogFont logFont;
    logFont.height = -16;
    logFont.faceName = Sjis("ＭＳ ゴシック");
    std::shared_ptr<const Font> font = Font::Create(logFont);
    std::string text = Sjis("むかしむかし、あるところに おじいさんと おばあさんが すんでいました。"
                            "おじいさんは やまへ しばかりに、おばあさんは かわへ せんたくに いきました。");
    for (auto _ : state) {
        Rect rect { 0, 0, 300, 400 };
        TextRun run;
        benchmark::DoNotOptimize(TextLayout::LayoutDrawText(font, text, rect, DT_WORDBREAK | DT_NOCLIP, run));
    }
}
BENCHMARK(BM_DrawTextWrapped)->Unit(benchmark::kMicrosecond);

}
}

BENCHMARK_MAIN();
