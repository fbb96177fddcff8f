// Lays out arbitrary bytes as a reading-card verse (CP932, any mix of
// single- and double-byte characters, stray and repeated spaces, lead bytes
// cut off at the end). The layout must never divide by an empty line or
// record a cell outside the card, and drawing short texts onto a face must
// stay inside it.

#include "game/ReadingCard.h"
#include "graphics/DibSurface.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace lumarra;

namespace {

// Drawing renders glyphs; only texts of verse length are drawn, so the
// fuzzer spends its time on the layout.
constexpr size_t kDrawnTextBytes = 64;

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadingCard card = ReadingCard::Layout(text);
    const Rect face = Rect::FromSize(0, 0, ReadingCard::kWidth, ReadingCard::kHeight);
    if (card.GetColumns() < 0 || card.GetColumns() > 3)
        std::abort();
    for (const ReadingCard::Character& c : card.GetCharacters()) {
        if (c.size <= 0 || c.cell.IsEmpty() || c.cell.Intersect(face) != c.cell || c.text.empty())
            std::abort();
    }
    if (size <= kDrawnTextBytes) {
        static DibSurface surface(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
        card.Draw(surface);
    }
    return 0;
}
