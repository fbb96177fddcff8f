#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// What a kana text sounds like, as Open JTalk's phoneme names: the yardstick
// the reading voice is held to.

// Hiragana for katakana, everything else as it is.
std::u32string ToHiragana(std::u32string_view text);

// The phonemes a kana text is read as, in standard Tokyo Japanese: ん is the
// moraic nasal "N" whatever follows, っ the closure "cl", a small ゃゅょ makes
// a palatal consonant ("ry o"), おう within a word and ー lengthen the vowel
// before them. Punctuation and spaces say nothing. A kana outside the table
// comes out as "?" so that it cannot pass unnoticed.
std::vector<std::string> PhonemesOf(std::u32string_view kana);

}
