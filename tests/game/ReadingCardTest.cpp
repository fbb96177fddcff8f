#include "game/Decks.h"
#include "game/ReadingCard.h"
#include "graphics/DibSurface.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

using namespace lumarra;

namespace {

ReadingCard Layout(const char* utf8)
{
    return ReadingCard::Layout(Sjis(utf8));
}

struct Placed {
    int x;
    int y;
};

// Where a column's characters go: one x, tops `step` apart.
std::vector<Placed> Column(int x, int top, int step, int count)
{
    std::vector<Placed> column;
    for (int k = 0; k < count; ++k)
        column.push_back({ x, top + step * k });
    return column;
}

void ExpectPlaces(const ReadingCard& card, const std::vector<std::vector<Placed>>& columns)
{
    std::vector<Placed> all;
    for (const auto& column : columns)
        all.insert(all.end(), column.begin(), column.end());
    ASSERT_EQ(card.GetCharacters().size(), all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(card.GetCharacters()[i].x, all[i].x) << "character " << i;
        EXPECT_EQ(card.GetCharacters()[i].y, all[i].y) << "character " << i;
    }
}

TEST(ReadingCardLayout, ThreePhrasesMakeThreeColumnsRightToLeft)
{
    // 3, 4 and 6 characters: step min(56, 42, 28) = 28, size 20.
    ReadingCard card = Layout("いぬも あるけば ぼうにあたる");
    EXPECT_EQ(card.GetColumns(), 3);
    EXPECT_EQ(card.GetStep(), 28);
    EXPECT_EQ(card.GetSize(), 20);
    // The first hangs from the top, the middle is centred, the last sits low
    // with min(30, 50 div 4) = 12 pixels left under it.
    ExpectPlaces(card, { Column(105, 30, 28, 3), Column(65, 53, 28, 4), Column(25, 38, 28, 6) });
    EXPECT_EQ(Cp932ToUtf8(card.GetCharacters()[0].text), "い");
    EXPECT_EQ(Cp932ToUtf8(card.GetCharacters()[12].text), "る");
    const ReadingCard::Character& first = card.GetCharacters()[0];
    EXPECT_EQ(first.cell, (Rect { 101, 26, 133, 58 }));
}

TEST(ReadingCardLayout, OneSpaceMakesTwoColumns)
{
    // 4 and 3 characters: step 42 is capped at 30 with 20-pixel cells.
    ReadingCard card = Layout("はなより だんご");
    EXPECT_EQ(card.GetColumns(), 2);
    EXPECT_EQ(card.GetStep(), 30);
    EXPECT_EQ(card.GetSize(), 20);
    ExpectPlaces(card, { Column(90, 30, 30, 4), Column(40, 100, 30, 3) });
}

TEST(ReadingCardLayout, LongColumnsAreFittedAgainIntoTheTallerRoom)
{
    // 170 div 9 = 18 is too tight: 190 div 9 = 21 keeps the 20-pixel cell.
    ReadingCard nine = Layout("あいうえおかきくけ こさしすせそたちつ");
    EXPECT_EQ(nine.GetStep(), 21);
    EXPECT_EQ(nine.GetSize(), 20);
    // 190 div 10 = 19 shrinks the cell to 17.
    ReadingCard ten = Layout("あいうえおかきくけこ さ");
    EXPECT_EQ(ten.GetStep(), 19);
    EXPECT_EQ(ten.GetSize(), 17);
    ExpectPlaces(ten, { Column(91, 30, 19, 10), Column(41, 163, 19, 1) });
    // Three columns retry over all three lines.
    ReadingCard three = Layout("あいうえおかきくけ こ さ");
    EXPECT_EQ(three.GetColumns(), 3);
    EXPECT_EQ(three.GetStep(), 21);
    EXPECT_EQ(three.GetSize(), 20);
    // Step 21 is not retried.
    ReadingCard eight = Layout("あいうえおかきく こ");
    EXPECT_EQ(eight.GetStep(), 21);
    EXPECT_EQ(eight.GetSize(), 20);
}

TEST(ReadingCardLayout, OneColumnWordsByLength)
{
    for (const char* word : { "いぬ", "あひる", "うさぎさ" }) {
        ReadingCard card = Layout(word);
        EXPECT_EQ(card.GetColumns(), 1) << word;
        EXPECT_EQ(card.GetStep(), 40) << word;
        EXPECT_EQ(card.GetSize(), 30) << word;
    }
    ReadingCard five = Layout("かたつむり");
    EXPECT_EQ(five.GetStep(), 34);
    EXPECT_EQ(five.GetSize(), 30);
    ReadingCard six = Layout("おたまじゃく");
    EXPECT_EQ(six.GetStep(), 28);
    EXPECT_EQ(six.GetSize(), 26);
    // Centred on x = 75, and vertically: ((1 - 6) · 28 - 26 + 210) div 2.
    ExpectPlaces(six, { Column(62, 22, 28, 6) });
    ExpectPlaces(Layout("あ"), { Column(60, 90, 40, 1) });
}

TEST(ReadingCardLayout, TheLongVowelMarkIsTurnedAndSpacesBeyondTheSecondStay)
{
    ReadingCard cake = Layout("けーき");
    ASSERT_EQ(cake.GetCharacters().size(), 3u);
    EXPECT_EQ(Cp932ToUtf8(cake.GetCharacters()[1].text), "｜");

    ReadingCard four = Layout("あ い う え");
    EXPECT_EQ(four.GetColumns(), 3);
    ASSERT_EQ(four.GetCharacters().size(), 5u);
    EXPECT_EQ(four.GetCharacters()[3].text, " ") << "a third space stays inside the last column";
}

TEST(ReadingCardLayout, EmptyAndStrayTextsNeverDivideByAnEmptyLine)
{
    EXPECT_TRUE(Layout("").GetCharacters().empty());
    EXPECT_EQ(Layout("").GetColumns(), 0);
    EXPECT_TRUE(Layout("  ").GetCharacters().empty());
    // An empty first or middle phrase leaves no empty column.
    ReadingCard leading = Layout(" あいう");
    EXPECT_EQ(leading.GetColumns(), 1);
    EXPECT_EQ(leading.GetCharacters().size(), 3u);
    EXPECT_EQ(Layout("あい  うえ").GetColumns(), 2);
    // Single-byte characters take a cell each.
    EXPECT_EQ(Layout("abc").GetCharacters().size(), 3u);
}

TEST(ReadingCardLayout, TooManyCharactersNeverLeaveTheCard)
{
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "あ";
    EXPECT_TRUE(Layout(many.c_str()).GetCharacters().empty()) << "cells without size are left out";
    ReadingCard tall = Layout("あいうえおかきくけこさしすせそたちつてと");
    const Rect card = Rect::FromSize(0, 0, ReadingCard::kWidth, ReadingCard::kHeight);
    EXPECT_FALSE(tall.GetCharacters().empty());
    for (const ReadingCard::Character& c : tall.GetCharacters())
        EXPECT_EQ(c.cell.Intersect(card), c.cell);
}

// Every verse and word of the four decks fits its card whole: at most three
// columns and no character clipped or left out.
TEST(ReadingCardLayout, EveryCardOfEveryDeckFits)
{
    for (DeckId deck = kDeckEdo; deck <= kDeckAiueo; ++deck) {
        const DeckInfo* info = FindDeck(deck);
        for (int i = 0; i < info->cardCount; ++i) {
            CardCode code = info->cards[static_cast<size_t>(i)];
            std::string text = LoadString(ReadingTextId(deck, code));
            ASSERT_FALSE(text.empty()) << "deck " << deck << " card " << code;
            ReadingCard card = ReadingCard::Layout(text);
            EXPECT_LE(card.GetColumns(), 3);
            size_t characters = Cp932ToUtf32(text).size() - (static_cast<size_t>(card.GetColumns()) - 1);
            EXPECT_EQ(card.GetCharacters().size(), characters) << Cp932ToUtf8(text);
            for (const ReadingCard::Character& c : card.GetCharacters()) {
                Rect unclipped { c.x - 4, c.y - 4, c.x + c.size + 8, c.y + c.size + 8 };
                EXPECT_EQ(c.cell, unclipped) << Cp932ToUtf8(text);
                EXPECT_GE(c.size, 16) << Cp932ToUtf8(text);
            }
        }
    }
}

TEST(ReadingCardDrawing, InkStaysInTheCellsAndAnEmptyTextDrawsNothing)
{
    constexpr COLORREF kPaper = 0xF0F8FF;
    DibSurface face(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
    ASSERT_TRUE(face.IsValid());
    face.FillSolidRect(0, 0, ReadingCard::kWidth, ReadingCard::kHeight, kPaper);

    ReadingCard::Layout("").Draw(face);
    for (int y = 0; y < ReadingCard::kHeight; y += 3) {
        for (int x = 0; x < ReadingCard::kWidth; x += 3)
            ASSERT_EQ(face.GetPixel(x, y), kPaper);
    }

    ReadingCard card = Layout("いぬも あるけば ぼうにあたる");
    card.Draw(face);
    int inked = 0;
    int textColored = 0;
    for (int y = 0; y < ReadingCard::kHeight; ++y) {
        for (int x = 0; x < ReadingCard::kWidth; ++x) {
            COLORREF pixel = face.GetPixel(x, y);
            if (pixel == kPaper)
                continue;
            ++inked;
            textColored += pixel == ReadingCard::kTextColor;
            bool inCell = false;
            for (const ReadingCard::Character& c : card.GetCharacters())
                inCell = inCell || c.cell.Contains(x, y);
            ASSERT_TRUE(inCell) << "ink at " << x << "," << y;
        }
    }
    EXPECT_GT(inked, 13 * 40) << "every character leaves ink";
    EXPECT_GT(textColored, 13 * 10) << "full strokes are the text colour";
}

}
