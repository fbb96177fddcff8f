#include "graphics/OutlinedText.h"
#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/FontLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace lumarra {
namespace {

constexpr char32_t kFirstKana = U'ぁ';
constexpr char32_t kLastKana = U'ん';
constexpr int kThreads = 4;

std::shared_ptr<Font> Gothic(int height)
{
    LogFont logFont;
    logFont.height = height;
    logFont.faceName = Sjis("ＭＳ ゴシック");
    return Font::Create(logFont);
}

TEST(TextGlyphCacheThreadTest, ThreadsRenderingTogetherShareOneGlyphPerCharacter)
{
    // A size no other test uses, so every glyph starts cold.
    constexpr int kHeight = -37;
    std::vector<std::vector<const Glyph*>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&seen, t] {
            auto font = Gothic(kHeight);
            if (!font)
                return;
            // Each thread walks the kana from a different end.
            for (char32_t i = 0; i <= kLastKana - kFirstKana; ++i) {
                char32_t code = t % 2 ? kLastKana - i : kFirstKana + i;
                seen[t].push_back(&font->GetGlyph(code));
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    auto font = Gothic(kHeight);
    ASSERT_TRUE(font);
    size_t count = kLastKana - kFirstKana + 1;
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), count);
        for (size_t i = 0; i < count; ++i) {
            char32_t code = t % 2 ? kLastKana - static_cast<char32_t>(i) : kFirstKana + static_cast<char32_t>(i);
            const Glyph& glyph = font->GetGlyph(code);
            EXPECT_EQ(seen[t][i], &glyph);
            EXPECT_GT(glyph.width, 0);
        }
    }
}

TEST(TextGlyphCacheThreadTest, FontsSurviveTheirFacesLeavingTheCache)
{
    // More sizes than the library keeps open: faces drop out of the cache
    // while other threads still draw with fonts that use them.
    constexpr int kSizes = static_cast<int>(FontLibrary::kMaxOpenFaces) + 8;
    std::vector<std::thread> threads;
    std::vector<int> inked(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&inked, t] {
            for (int size = 0; size < kSizes; ++size) {
                auto font = Gothic(-(10 + (size + t * 3) % kSizes));
                if (!font)
                    continue;
                const Glyph& glyph = font->GetGlyph(U'字');
                for (uint8_t value : glyph.coverage)
                    inked[t] += value != 0;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_GT(inked[t], kSizes * 10);
}

TEST(TextGlyphCacheThreadTest, CaptionsDrawnTogetherComeOutAlike)
{
    constexpr int kWidth = 320;
    constexpr int kHeight = 48;
    std::vector<std::vector<COLORREF>> pixels(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pixels, t] {
            BitmapInfo info;
            std::memset(&info, 0, sizeof(info));
            info.bmiHeader.biSize = sizeof(BitmapInfoHeader);
            info.bmiHeader.biWidth = kWidth;
            info.bmiHeader.biHeight = kHeight;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 24;
            auto bitmap = Bitmap::CreateDibSection(info, sizeof(info));
            if (!bitmap)
                return;
            DrawContext dc(bitmap.get());
            // A height no other test uses, so the glyphs start cold.
            RenderOutlinedText(dc, OutlinedTextStyle::Bottom, Sjis("すうじとかんじ一二三"), 0, 0, kWidth, kHeight,
                Sjis("ＭＳ 明朝"), 33, 0, RGB(20, 40, 60), RGB(200, 200, 200));
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    pixels[t].push_back(bitmap->GetPixel(x, y));
        });
    }
    for (auto& thread : threads)
        thread.join();
    ASSERT_EQ(pixels[0].size(), static_cast<size_t>(kWidth * kHeight));
    EXPECT_NE(std::count(pixels[0].begin(), pixels[0].end(), RGB(20, 40, 60)), 0);
    for (int t = 1; t < kThreads; ++t)
        EXPECT_EQ(pixels[t], pixels[0]) << t;
}

}
}
