#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lumarra {

// The two layers of a proverb's explanation on the study screen. The black
// layer holds the title line and the headings 説明 and せつめい; where the
// explanation's lines go it holds full-width spaces, one per character, so
// that both layers wrap alike and the grey texts drawn over it sit under
// their headings.
struct ProverbExplanation {
    std::string headings;  // drawn black, twice for weight
    std::string texts;     // drawn grey over it

    static constexpr size_t kTextCount = 7;
    // `block` is the card's seven texts (head kana, proverb, reading,
    // meaning, lesson, meaning and lesson in kana), all Shift-JIS, as is
    // `deckName`. The reading's spaces are left out.
    static ProverbExplanation Compose(std::string_view deckName, const std::array<std::string, kTextCount>& block);

    // One full-width space per character of a Shift-JIS text.
    static std::string BlanksFor(std::string_view text);
};

}
