#include "game/StringIds.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "tests/content/TextLayout.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace lumarra;

namespace {

// The verse order gives a proverb card's ReadIndex; ん closes the Edo and
// Kamigata decks. The kana table (without ゐ and ゑ) orders the Aiueo deck.
constexpr std::u32string_view kVerseOrder
    = U"いろはにほへとちりぬるをわかよたれそつねならむうゐのおくやまけふこえてあさきゆめみしゑひもせすん";
constexpr std::u32string_view kKanaTable
    = U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";

// A reading card holds at most three columns (split at the first two spaces)
// and, at the smallest step its layout allows, 8 characters per column: a
// ninth runs past the bottom of the 210-pixel card.
constexpr size_t kReadingMaxSpaces = 2;
constexpr size_t kReadingColumnChars = 8;

struct ProverbDeck {
    const char* name;
    uint32_t textBase;
    uint32_t cards;
};

constexpr ProverbDeck kProverbDecks[] = {
    { "Edo", kEdoTextBase, 48 },
    { "Kamigata", kKamigataTextBase, 48 },
    { "Owari", kOwariTextBase, 47 },
};

constexpr uint32_t kAiueoCards = 46;

// The study screen writes a kana card's word under its picture, centred in a
// 150-pixel box in a 16-pixel font.
constexpr size_t kWordBoxWidth = 150;
constexpr size_t kWordFontHeight = 16;

std::u32string Text32(uint32_t id)
{
    return Cp932ToUtf32(LoadString(id));
}

bool IsKana(char32_t c)
{
    return (c >= U'ぁ' && c <= U'ゖ') || (c >= U'ァ' && c <= U'ヺ') || c == U'ー';
}

bool IsKanji(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || c == U'々';
}

// Karuta head kana are written plain: the げ of a reading sits on the け card.
char32_t WithoutVoicing(char32_t c)
{
    constexpr std::u32string_view voiced = U"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ";
    constexpr std::u32string_view plain = U"かきくけこさしすせそたちつてとはひふへほはひふへほ";
    size_t at = voiced.find(c);
    return at == std::u32string_view::npos ? c : plain[at];
}

// Checks a text that a reading card shows: kana and ASCII spaces only, at
// most two spaces, no empty phrase, every phrase within one column.
void ExpectFitsReadingCard(uint32_t id)
{
    SCOPED_TRACE("string " + std::to_string(id));
    std::string text = LoadString(id);
    EXPECT_TRUE(IsDoubleByteText(text, true));
    EXPECT_LE(std::count(text.begin(), text.end(), ' '), static_cast<long>(kReadingMaxSpaces));
    std::u32string reading = Cp932ToUtf32(text);
    size_t start = 0;
    for (;;) {
        size_t end = reading.find(U' ', start);
        std::u32string phrase = reading.substr(start, end == std::u32string::npos ? end : end - start);
        EXPECT_FALSE(phrase.empty()) << "empty phrase";
        EXPECT_LE(phrase.size(), kReadingColumnChars) << "phrase too long";
        EXPECT_TRUE(std::all_of(phrase.begin(), phrase.end(), IsKana)) << "not kana only";
        if (end == std::u32string::npos)
            break;
        start = end + 1;
    }
}

// The explanation screen writes the proverb and the reading on one line each,
// then meaning and lesson, then both again in kana, into a fixed area; a
// headline layer is laid over it line for line, so nothing may run over.
void ExpectExplanationFits(uint32_t block)
{
    std::string reading = LoadString(block + kProverbReading);
    std::erase(reading, ' ');
    std::string proverbLine = Sjis("　　「 ") + LoadString(block + kProverbText) + Sjis(" 」");
    std::string readingLine = Sjis("　　（") + reading + Sjis("）");
    EXPECT_EQ(WrappedLineCount(proverbLine, kExplanationBytesPerLine), 1u);
    EXPECT_EQ(WrappedLineCount(readingLine, kExplanationBytesPerLine), 1u);
    std::string page = "\n\n" + proverbLine + "\n" + readingLine + "\n\n\n" + LoadString(block + kProverbMeaning) + "\n"
        + LoadString(block + kProverbLesson) + "\n\n\n" + LoadString(block + kProverbMeaningKana) + "\n"
        + LoadString(block + kProverbLessonKana);
    EXPECT_LE(WrappedLineCount(page, kExplanationBytesPerLine), kExplanationLines);
}

}

TEST(ProverbDecks, EveryCardHasSevenTextsAndNothingFollowsTheLastCard)
{
    for (const ProverbDeck& deck : kProverbDecks) {
        SCOPED_TRACE(deck.name);
        for (uint32_t r = 0; r < deck.cards; ++r) {
            for (uint32_t offset = 0; offset < kProverbBlockSize; ++offset) {
                bool used = offset < kProverbTextCount;
                EXPECT_EQ(LoadString(ProverbStringId(deck.textBase, r, offset)).empty(), !used)
                    << "card " << r << " offset " << offset;
            }
        }
        // The study list and the reader stop at the first missing proverb.
        EXPECT_TRUE(LoadString(ProverbStringId(deck.textBase, deck.cards, kProverbHeadKana)).empty());
        EXPECT_TRUE(LoadString(ProverbStringId(deck.textBase, deck.cards, kProverbText)).empty());
    }
}

TEST(ProverbDecks, HeadKanaFollowTheVerseOrderAndReadingsStartWithThem)
{
    for (const ProverbDeck& deck : kProverbDecks) {
        SCOPED_TRACE(deck.name);
        for (uint32_t r = 0; r < deck.cards; ++r) {
            SCOPED_TRACE("card " + std::to_string(r));
            std::u32string head = Text32(ProverbStringId(deck.textBase, r, kProverbHeadKana));
            ASSERT_EQ(head.size(), 1u);
            EXPECT_EQ(head[0], kVerseOrder[r]);
            std::u32string reading = Text32(ProverbStringId(deck.textBase, r, kProverbReading));
            ASSERT_FALSE(reading.empty());
            // No proverb begins with ん: the closing card reads its verse as it stands.
            if (head[0] != U'ん') {
                EXPECT_EQ(WithoutVoicing(reading[0]), head[0]);
            }
        }
    }
    EXPECT_EQ(Text32(ProverbStringId(kEdoTextBase, 47, kProverbHeadKana)), U"ん");
    EXPECT_EQ(Text32(ProverbStringId(kKamigataTextBase, 47, kProverbHeadKana)), U"ん");
}

TEST(ProverbDecks, ReadingsFitTheReadingCard)
{
    for (const ProverbDeck& deck : kProverbDecks)
        for (uint32_t r = 0; r < deck.cards; ++r)
            ExpectFitsReadingCard(ProverbStringId(deck.textBase, r, kProverbReading));
}

TEST(ProverbDecks, TextsAreDoubleByteAndKanaFormsHaveNoKanji)
{
    for (const ProverbDeck& deck : kProverbDecks) {
        for (uint32_t r = 0; r < deck.cards; ++r) {
            SCOPED_TRACE(std::string(deck.name) + " card " + std::to_string(r));
            for (uint32_t offset : { kProverbHeadKana, kProverbText, kProverbMeaning, kProverbLesson,
                     kProverbMeaningKana, kProverbLessonKana })
                EXPECT_TRUE(IsDoubleByteText(LoadString(ProverbStringId(deck.textBase, r, offset)), false))
                    << "offset " << offset;
            for (uint32_t offset : { kProverbMeaningKana, kProverbLessonKana }) {
                std::u32string kana = Text32(ProverbStringId(deck.textBase, r, offset));
                EXPECT_TRUE(std::none_of(kana.begin(), kana.end(), IsKanji)) << "offset " << offset;
            }
        }
    }
}

TEST(ProverbDecks, ExplanationsFitTheStudyScreen)
{
    for (const ProverbDeck& deck : kProverbDecks) {
        for (uint32_t r = 0; r < deck.cards; ++r) {
            SCOPED_TRACE(std::string(deck.name) + " card " + std::to_string(r));
            ExpectExplanationFits(ProverbStringId(deck.textBase, r, 0));
        }
    }
}

TEST(AiueoDeck, KanaFollowTheKanaTableAndWordsBeginWithThem)
{
    for (uint32_t r = 0; r < kAiueoCards; ++r) {
        SCOPED_TRACE("card " + std::to_string(r));
        std::u32string kana = Text32(AiueoStringId(r, kAiueoKana));
        ASSERT_EQ(kana.size(), 1u);
        EXPECT_EQ(kana[0], kKanaTable[r]);
        std::u32string word = Text32(AiueoStringId(r, kAiueoWord));
        ASSERT_FALSE(word.empty());
        // No word begins with を or ん: を is shown as the particle after a
        // noun, ん at the end of its word.
        if (kana[0] == U'を') {
            EXPECT_NE(word.find(U"を "), std::u32string::npos);
        } else if (kana[0] == U'ん') {
            EXPECT_EQ(word.back(), U'ん');
        } else {
            EXPECT_EQ(word[0], kana[0]);
        }
        ExpectFitsReadingCard(AiueoStringId(r, kAiueoWord));
        EXPECT_LE(TextWidth(LoadString(AiueoStringId(r, kAiueoWord)), kWordFontHeight), kWordBoxWidth);
    }
    EXPECT_TRUE(LoadString(AiueoStringId(kAiueoCards, kAiueoKana)).empty());
}

// Two cards read alike could not be told apart by ear.
TEST(AllDecks, ReadingsAreDistinctWithinADeck)
{
    auto expectDistinct = [](std::vector<std::string> readings) {
        std::sort(readings.begin(), readings.end());
        auto twin = std::adjacent_find(readings.begin(), readings.end());
        EXPECT_EQ(twin, readings.end()) << Cp932ToUtf8(*twin);
    };
    for (const ProverbDeck& deck : kProverbDecks) {
        SCOPED_TRACE(deck.name);
        std::vector<std::string> readings;
        for (uint32_t r = 0; r < deck.cards; ++r)
            readings.push_back(LoadString(ProverbStringId(deck.textBase, r, kProverbReading)));
        expectDistinct(readings);
    }
    std::vector<std::string> words;
    for (uint32_t r = 0; r < kAiueoCards; ++r)
        words.push_back(LoadString(AiueoStringId(r, kAiueoWord)));
    expectDistinct(words);
}
