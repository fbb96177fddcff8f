#include "tests/content_sound/SpokenKana.h"

#include <algorithm>
#include <array>

namespace lumarra {

namespace {

struct KanaSound {
    char32_t kana;
    const char* consonant;  // empty for a bare vowel
    const char* vowel;      // empty for ん and っ, which are their own phoneme
};

constexpr KanaSound kSounds[] = {
    { U'あ', "", "a" },
    { U'い', "", "i" },
    { U'う', "", "u" },
    { U'え', "", "e" },
    { U'お', "", "o" },
    { U'か', "k", "a" },
    { U'き', "k", "i" },
    { U'く', "k", "u" },
    { U'け', "k", "e" },
    { U'こ', "k", "o" },
    { U'が', "g", "a" },
    { U'ぎ', "g", "i" },
    { U'ぐ', "g", "u" },
    { U'げ', "g", "e" },
    { U'ご', "g", "o" },
    { U'さ', "s", "a" },
    { U'し', "sh", "i" },
    { U'す', "s", "u" },
    { U'せ', "s", "e" },
    { U'そ', "s", "o" },
    { U'ざ', "z", "a" },
    { U'じ', "j", "i" },
    { U'ず', "z", "u" },
    { U'ぜ', "z", "e" },
    { U'ぞ', "z", "o" },
    { U'た', "t", "a" },
    { U'ち', "ch", "i" },
    { U'つ', "ts", "u" },
    { U'て', "t", "e" },
    { U'と', "t", "o" },
    { U'だ', "d", "a" },
    { U'ぢ', "j", "i" },
    { U'づ', "z", "u" },
    { U'で', "d", "e" },
    { U'ど', "d", "o" },
    { U'な', "n", "a" },
    { U'に', "n", "i" },
    { U'ぬ', "n", "u" },
    { U'ね', "n", "e" },
    { U'の', "n", "o" },
    { U'は', "h", "a" },
    { U'ひ', "h", "i" },
    { U'ふ', "f", "u" },
    { U'へ', "h", "e" },
    { U'ほ', "h", "o" },
    { U'ば', "b", "a" },
    { U'び', "b", "i" },
    { U'ぶ', "b", "u" },
    { U'べ', "b", "e" },
    { U'ぼ', "b", "o" },
    { U'ぱ', "p", "a" },
    { U'ぴ', "p", "i" },
    { U'ぷ', "p", "u" },
    { U'ぺ', "p", "e" },
    { U'ぽ', "p", "o" },
    { U'ま', "m", "a" },
    { U'み', "m", "i" },
    { U'む', "m", "u" },
    { U'め', "m", "e" },
    { U'も', "m", "o" },
    { U'や', "y", "a" },
    { U'ゆ', "y", "u" },
    { U'よ', "y", "o" },
    { U'ら', "r", "a" },
    { U'り', "r", "i" },
    { U'る', "r", "u" },
    { U'れ', "r", "e" },
    { U'ろ', "r", "o" },
    { U'わ', "w", "a" },
    { U'を', "", "o" },
    { U'ん', "N", "" },
    { U'っ', "cl", "" },
};

// The consonant an i-row kana takes before a small ゃ, ゅ or ょ.
struct Palatal {
    char32_t kana;
    const char* consonant;
};

constexpr Palatal kPalatals[] = {
    { U'き', "ky" },
    { U'ぎ', "gy" },
    { U'し', "sh" },
    { U'じ', "j" },
    { U'ち', "ch" },
    { U'ぢ', "j" },
    { U'に', "ny" },
    { U'ひ', "hy" },
    { U'び', "by" },
    { U'ぴ', "py" },
    { U'み', "my" },
    { U'り', "ry" },
};

constexpr std::u32string_view kSmallKana = U"ゃゅょ";
constexpr std::array<const char*, 3> kSmallVowels = { "a", "u", "o" };
constexpr std::u32string_view kSilent = U"、。！？「」（） 　";

// Where う follows an o-sound but starts a word of its own (の|うえ, の|うち)
// or ends a verb (負うた, 追う): two vowels, not a long one.
constexpr std::u32string_view kSeparateU[] = { U"のうえ", U"のうち", U"おうた", U"をおう" };

const KanaSound* SoundOf(char32_t kana)
{
    for (const KanaSound& sound : kSounds)
        if (sound.kana == kana)
            return &sound;
    return nullptr;
}

const char* PalatalOf(char32_t kana)
{
    for (const Palatal& palatal : kPalatals)
        if (palatal.kana == kana)
            return palatal.consonant;
    return nullptr;
}

// The positions of the う that kSeparateU keeps as a vowel of its own.
std::vector<size_t> SeparateUs(std::u32string_view text)
{
    std::vector<size_t> positions;
    for (std::u32string_view word : kSeparateU)
        for (size_t at = text.find(word); at != std::u32string_view::npos; at = text.find(word, at + 1))
            positions.push_back(at + word.find(U'う'));
    return positions;
}

}

std::u32string ToHiragana(std::u32string_view text)
{
    constexpr char32_t kKatakanaFirst = U'ァ', kKatakanaLast = U'ヶ';
    constexpr char32_t kToHiragana = U'ァ' - U'ぁ';
    std::u32string out(text);
    for (char32_t& c : out)
        if (c >= kKatakanaFirst && c <= kKatakanaLast)
            c -= kToHiragana;
    return out;
}

std::vector<std::string> PhonemesOf(std::u32string_view kanaText)
{
    std::u32string text = ToHiragana(kanaText);
    std::vector<size_t> separate = SeparateUs(text);
    std::vector<std::string> phonemes;
    auto lastIsVowel = [&](std::string_view vowel) { return !phonemes.empty() && phonemes.back() == vowel; };
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (kSilent.find(c) != std::u32string_view::npos)
            continue;
        if (c == U'ー' && !phonemes.empty()) {
            phonemes.push_back(phonemes.back());
            continue;
        }
        if (c == U'う' && lastIsVowel("o") && std::ranges::find(separate, i) == separate.end()) {
            phonemes.push_back("o");
            continue;
        }
        size_t small = i + 1 < text.size() ? kSmallKana.find(text[i + 1]) : std::u32string_view::npos;
        if (const char* palatal = PalatalOf(c); palatal && small != std::u32string_view::npos) {
            phonemes.push_back(palatal);
            phonemes.push_back(kSmallVowels[small]);
            ++i;
            continue;
        }
        const KanaSound* sound = SoundOf(c);
        if (!sound) {
            phonemes.push_back("?");
            continue;
        }
        for (const char* part : { sound->consonant, sound->vowel })
            if (*part)
                phonemes.push_back(part);
    }
    return phonemes;
}

}
