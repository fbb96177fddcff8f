// A proverb card's kana texts (meaning and lesson, +5 and +6) must say what
// its kanji texts (+3 and +4) say, word for word: read through Open JTalk's
// dictionary, each kanji text comes out as its kana text.

#include "platform/CodePage.h"
#include "tests/content_sound/OpenJTalk.h"
#include "tests/content_sound/SpokenKana.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>

namespace lumarra {
namespace {

constexpr int kMeaning = 3;
constexpr int kLesson = 4;
constexpr int kKanaOffset = 2;  // +5 is the kana form of +3, +6 of +4
constexpr int kBlockSize = 10;

// Words that the dictionary reads otherwise than they are read in these
// texts, with enough context to be found only where they are meant.
struct KnownReading {
    std::string_view written;
    std::string_view read;
};

constexpr KnownReading kKnownReadings[] = {
    { "何にも", "なんにも" },
    { "何でも", "なんでも" },
    { "通って", "とおって" },
    { "十八さい", "じゅうはっさい" },
    { "十かぞえ", "とおかぞえ" },
    { "一ぴき", "いっぴき" },
    { "一本", "いっぽん" },
    { "一回", "いっかい" },
    { "今いっしょ", "いまいっしょ" },
    { "今れんしゅう", "いまれんしゅう" },
    { "こわい人", "こわいひと" },
    { "少し水", "すこしみず" },
};

std::map<int, std::string> LoadTable(const std::string& deck)
{
    const char* root = std::getenv("LUMARRA_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/resources/strings/" + deck + ".txt");
    std::map<int, std::string> table;
    static const std::regex line_pattern("^([0-9]+)\t(.*)$");
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_match(line, match, line_pattern))
            table[std::stoi(match[1])] = match[2];
    }
    return table;
}

std::string WithKnownReadings(std::string text)
{
    for (const KnownReading& known : kKnownReadings)
        for (size_t at = text.find(known.written); at != std::string::npos; at = text.find(known.written, at))
            text.replace(at, known.written.size(), known.read);
    return text;
}

// The sounds of a text in hiragana, without punctuation and spaces.
std::u32string Sounds(const std::string& utf8)
{
    constexpr std::u32string_view kMarks = U"、。「」（）！？・～ 　";
    std::u32string text = ToHiragana(Cp932ToUtf32(Utf8ToCp932(utf8)));
    std::erase_if(text, [&](char32_t c) { return kMarks.find(c) != std::u32string_view::npos; });
    return text;
}

std::string Utf8(const std::u32string& text)
{
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TEST(KanaTexts, SayWhatTheKanjiTextsSay)
{
    std::unique_ptr<OpenJTalk> jtalk = OpenJTalk::FromEnvironment();
    if (!jtalk)
        GTEST_SKIP() << "Open JTalk is not installed";
    for (const char* deck : { "edo", "kamigata", "owari" }) {
        std::map<int, std::string> table = LoadTable(deck);
        ASSERT_FALSE(table.empty()) << deck;
        std::vector<int> ids;
        std::vector<std::string> texts;
        for (const auto& [id, text] : table) {
            if (id % kBlockSize == kMeaning || id % kBlockSize == kLesson) {
                ids.push_back(id);
                texts.push_back(WithKnownReadings(text));
            }
        }
        std::optional<std::vector<std::vector<OpenJTalk::Word>>> analysed = jtalk->AnalyseEach(texts);
        ASSERT_TRUE(analysed) << deck;
        for (size_t i = 0; i < ids.size(); ++i) {
            SCOPED_TRACE(std::string(deck) + " " + std::to_string(ids[i]) + ": " + table[ids[i]]);
            auto kana = table.find(ids[i] + kKanaOffset);
            ASSERT_NE(kana, table.end());
            std::string reading;
            for (const OpenJTalk::Word& word : (*analysed)[i])
                reading += word.reading;
            EXPECT_EQ(Utf8(Sounds(reading)), Utf8(Sounds(kana->second)));
        }
    }
}

}
}
