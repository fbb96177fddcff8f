#include "platform/CodePage.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/FontLibrary.h"

#include <gtest/gtest.h>

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

}
}
