#include "game/Decks.h"
#include "game/DeckPictures.h"
#include "game/TableSlot.h"
#include "graphics/DibSurface.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "tests/support/TestScopes.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr CardCode kEmptyCells[] = { 37, 39, 48 };
constexpr CardCode kN = 51;   // ん
constexpr CardCode kWi = 47;  // ゐ
constexpr CardCode kWe = 49;  // ゑ
constexpr CardCode kWo = 50;  // を

std::vector<CardCode> CardsOf(DeckId deck)
{
    const DeckInfo* info = FindDeck(deck);
    return { info->cards.begin(), info->cards.begin() + info->cardCount };
}

TEST(Decks, SizesListsAndMissingCards)
{
    const int sizes[] = { 48, 48, 47, 46 };
    for (DeckId deck = kDeckEdo; deck <= kDeckAiueo; ++deck) {
        const DeckInfo* info = FindDeck(deck);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->id, deck);
        EXPECT_EQ(info->cardCount, sizes[deck - 1]) << deck;
        std::vector<CardCode> cards = CardsOf(deck);
        EXPECT_TRUE(std::is_sorted(cards.begin(), cards.end())) << "lists are kept in grid order";
        EXPECT_EQ(std::set<CardCode>(cards.begin(), cards.end()).size(), cards.size());
        for (int i = info->cardCount; i < kCardListSize; ++i)
            EXPECT_EQ(info->cards[static_cast<size_t>(i)], 0) << "tail entry " << i << " of deck " << deck;
        for (CardCode empty : kEmptyCells)
            EXPECT_FALSE(IsCardOfDeck(deck, empty));
    }
    EXPECT_TRUE(IsCardOfDeck(kDeckEdo, kN));
    EXPECT_TRUE(IsCardOfDeck(kDeckKamigata, kN));
    EXPECT_FALSE(IsCardOfDeck(kDeckOwari, kN));
    EXPECT_TRUE(IsCardOfDeck(kDeckOwari, kWe));
    EXPECT_FALSE(IsCardOfDeck(kDeckAiueo, kWi));
    EXPECT_FALSE(IsCardOfDeck(kDeckAiueo, kWe));
    EXPECT_TRUE(IsCardOfDeck(kDeckAiueo, kWo));
    EXPECT_EQ(CardsOf(kDeckEdo), CardsOf(kDeckKamigata));

    EXPECT_EQ(FindDeck(0), nullptr);
    EXPECT_EQ(FindDeck(5), nullptr);
    EXPECT_FALSE(IsCardOfDeck(kDeckEdo, 0));
    EXPECT_FALSE(IsCardOfDeck(kDeckEdo, 52));
    EXPECT_FALSE(IsCardOfDeck(7, 1));
}

TEST(Decks, RowsNameTheirPicturesScoresAndStatistics)
{
    const DeckInfo* edo = FindDeck(kDeckEdo);
    EXPECT_EQ(std::string(edo->name), "江戸Korimba");
    EXPECT_EQ(edo->largeSheet, 301u);
    EXPECT_EQ(edo->highlightSheet, 0xF000012Cu);
    const DeckInfo* owari = FindDeck(kDeckOwari);
    EXPECT_EQ(owari->smallSheet, 305u);
    EXPECT_EQ(owari->highlightSheet, 0xF0000132u);
    EXPECT_EQ(owari->practiceBack, 313u);
    const DeckInfo* aiueo = FindDeck(kDeckAiueo);
    EXPECT_TRUE(aiueo->sheetsAreBitmaps);
    EXPECT_EQ(aiueo->tableSheet, 280u);
    EXPECT_EQ(aiueo->highlightSheet, 0xF0000118u);
    EXPECT_EQ(aiueo->scoreCode, 50);
    EXPECT_EQ(std::string(aiueo->statisticKey), "AiueoKorimba");
    EXPECT_EQ(FindDeck(kDeckKamigata)->scoreCode, 30);
}

TEST(Decks, VerseOrderTablesAreInversesOnEveryUsedCell)
{
    std::set<ReadIndex> seen;
    for (CardCode card : CardsOf(kDeckEdo)) {
        ReadIndex r = ReadIndexOf(kDeckEdo, card);
        EXPECT_EQ(CardOfVerse(r), card) << "card " << card;
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kVerseCount)) << "every verse place is used once";
    for (ReadIndex r = 0; r < kVerseCount; ++r)
        EXPECT_EQ(ReadIndexOf(kDeckKamigata, CardOfVerse(r)), r);
    for (CardCode empty : kEmptyCells)
        EXPECT_EQ(ReadIndexOf(kDeckEdo, empty), 0);
    EXPECT_EQ(CardOfVerse(-1), 0);
    EXPECT_EQ(CardOfVerse(48), 0);

    // い is 2 and first; ろ (45), は (26) follow; す (13) is 46.
    EXPECT_EQ(ReadIndexOf(kDeckEdo, 2), 0);
    EXPECT_EQ(ReadIndexOf(kDeckEdo, 45), 1);
    EXPECT_EQ(ReadIndexOf(kDeckOwari, 26), 2);
    EXPECT_EQ(ReadIndexOf(kDeckEdo, 13), 46);
}

TEST(Decks, KanaDeckCountsOnlyRealCells)
{
    std::vector<CardCode> cards = CardsOf(kDeckAiueo);
    for (size_t i = 0; i < cards.size(); ++i)
        EXPECT_EQ(ReadIndexOf(kDeckAiueo, cards[i]), static_cast<ReadIndex>(i)) << "card " << cards[i];
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 36), 35);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 38), 36);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 40), 37);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 46), 43);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, kWo), 44);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, kN), 45);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, kWi), -1);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 0), -1);
    EXPECT_EQ(ReadIndexOf(kDeckAiueo, 99), -1);
}

TEST(Decks, TextsAndVoicesOfACard)
{
    // Edo ん: the last verse place, block 2470–2476.
    EXPECT_EQ(ReadIndexOf(kDeckEdo, kN), 47);
    EXPECT_EQ(ReadingTextId(kDeckEdo, kN), 2472u);
    EXPECT_EQ(VoicePath(kDeckEdo, kN), "Wave\\001\\0470.mp3");
    EXPECT_EQ(Cp932ToUtf8(LoadString(2470)), "ん");

    // Kana を: texts 1088/1089.
    EXPECT_EQ(ReadingTextId(kDeckAiueo, kWo), 1089u);
    EXPECT_EQ(VoicePath(kDeckAiueo, kWo), "Wave\\000\\0440.mp3");
    EXPECT_EQ(Cp932ToUtf8(LoadString(1088)), "を");

    EXPECT_EQ(VoicePath(kDeckEdo, 2), "Wave\\001\\0000.mp3");
    EXPECT_EQ(VoicePath(kDeckAiueo, 1), "Wave\\000\\0000.mp3");
    EXPECT_EQ(VoicePath(kDeckKamigata, 45), "Wave\\002\\0010.mp3");
    EXPECT_EQ(ReadingTextId(kDeckOwari, 2), 4002u);
    EXPECT_EQ(Cp932ToUtf8(LoadString(ReadingTextId(kDeckEdo, 2))), "いぬも あるけば ぼうにあたる");

    // A card the deck does not hold has neither.
    EXPECT_EQ(VoicePath(kDeckOwari, kN), "");
    EXPECT_EQ(ReadingTextId(kDeckOwari, kN), 0u);
    EXPECT_EQ(VoicePath(kDeckAiueo, kWi), "");
    EXPECT_EQ(VoicePath(0, 1), "");
}

TEST(DeckPictures, SheetNumbersAndTheirSynonyms)
{
    DibSurface& table = SheetFor(kTableSheet);
    DibSurface& small = SheetFor(kSmallSheet);
    DibSurface& large = SheetFor(kLargeSheet);
    DibSurface& highlight = SheetFor(kHighlightSheet);
    std::set<DibSurface*> distinct = { &table, &small, &large, &highlight };
    EXPECT_EQ(distinct.size(), 4u);
    for (int n : { 285, 288, 291 })
        EXPECT_EQ(&SheetFor(n), &table) << n;
    for (int n : { 283, 286, 289 })
        EXPECT_EQ(&SheetFor(n), &small) << n;
    for (int n : { 284, 287, 290 })
        EXPECT_EQ(&SheetFor(n), &large) << n;
    DibSurface& unknown = SheetFor(0);
    EXPECT_EQ(&SheetFor(799), &unknown);
    EXPECT_EQ(&SheetFor(-280), &unknown);
    EXPECT_EQ(distinct.count(&unknown), 0u);
    EXPECT_FALSE(unknown.IsValid());
}

TEST(DeckPictures, CardCellsFollowTheFiveColumnGrid)
{
    EXPECT_EQ(CardCellOnSheet(1, kTableCard), Rect::FromSize(0, 0, 128, 180));
    EXPECT_EQ(CardCellOnSheet(5, kTableCard), Rect::FromSize(512, 0, 128, 180));
    EXPECT_EQ(CardCellOnSheet(6, kLargeCard), Rect::FromSize(0, 210, 150, 210));
    EXPECT_EQ(CardCellOnSheet(kN, kSmallCard), Rect::FromSize(0, 700, 50, 70));
    EXPECT_EQ(CardCellOnSheet(kN, kLargeCard).bottom, 2310) << "ん fills the last row of the sheet";
    EXPECT_TRUE(CardCellOnSheet(0, kTableCard).IsEmpty());
    EXPECT_TRUE(CardCellOnSheet(52, kTableCard).IsEmpty());
}

TEST(DeckPictures, DeckZeroIsTheKanaDeckAndItsHighlightIsMadeWhenMissing)
{
    TestFolder programFolder;
    EnvironmentScope home("LUMARRA_HOME", programFolder.GetNative().c_str());
    // This program carries stand-ins for the kana deck's three sheets only.
    EXPECT_EQ(LoadDeckPictures(0), 1);
    for (int sheet : { kTableSheet, kSmallSheet, kLargeSheet, kHighlightSheet })
        EXPECT_EQ(SheetFor(sheet).GetWidth(), 40) << sheet;
    EXPECT_TRUE(std::filesystem::exists(programFolder.Native("Data/F0000118.dat")))
        << "the tinted table sheet is kept in the picture cache";
    COLORREF plain = SheetFor(kTableSheet).GetPixel(5, 5);
    COLORREF tinted = SheetFor(kHighlightSheet).GetPixel(5, 5);
    EXPECT_LT(GetGValue(tinted), GetGValue(plain));
    EXPECT_LT(GetBValue(tinted), GetBValue(plain));
    EXPECT_NEAR(GetRValue(tinted), GetRValue(plain), 8);

    // The Kamigata deck's pictures cannot be had: its sheets stay empty
    // rather than keeping the kana deck's.
    EXPECT_EQ(LoadDeckPictures(kDeckKamigata), 0);
    for (int sheet : { kTableSheet, kSmallSheet, kLargeSheet, kHighlightSheet })
        EXPECT_FALSE(SheetFor(sheet).IsValid()) << sheet;
    EXPECT_EQ(LoadDeckPictures(9), 0);
}

TEST(DeckPictures, AProverbDeckHighlightIsTintedWhenTheCacheLacksIt)
{
    TestFolder programFolder;
    EnvironmentScope home("LUMARRA_HOME", programFolder.GetNative().c_str());
    // Only the Edo deck's table sheet is carried here.
    LoadDeckPictures(kDeckEdo);
    DibSurface& plain = SheetFor(kTableSheet);
    DibSurface& tinted = SheetFor(kHighlightSheet);
    ASSERT_TRUE(plain.IsValid());
    ASSERT_TRUE(tinted.IsValid());
    EXPECT_TRUE(std::filesystem::exists(programFolder.Native("Data/F000012C.dat")));
    int lowered = 0;
    for (int y = 0; y < plain.GetHeight(); ++y) {
        for (int x = 0; x < plain.GetWidth(); ++x) {
            COLORREF before = plain.GetPixel(x, y);
            COLORREF after = tinted.GetPixel(x, y);
            if (GetGValue(before) >= 16 && GetBValue(before) >= 16 && GetGValue(after) < GetGValue(before)
                && GetBValue(after) < GetBValue(before))
                ++lowered;
        }
    }
    EXPECT_GT(lowered, 0) << "the highlight sheet is the plain one under the tinted name";
}

TEST(TableSlot, LayoutPositionsAndTheOffTableValue)
{
    for (int row = 0; row < TableSlot::kRows; ++row) {
        for (int column = 0; column < TableSlot::kColumns; ++column)
            EXPECT_EQ(TableSlot::LayoutEntry(column, row), row * 6 + column + 1);
    }
    EXPECT_EQ(TableSlot::LayoutEntry(-1, 0), TableSlot::kNoSlot);
    EXPECT_EQ(TableSlot::LayoutEntry(6, 0), 100);
    EXPECT_EQ(TableSlot::LayoutEntry(0, 3), 100);
    EXPECT_EQ(TableSlot::LayoutEntry(5, -1), 100);

    EXPECT_EQ(TableSlot::CardPosition(0), (Point { 5, 33 }));
    EXPECT_EQ(TableSlot::CardPosition(7), (Point { 137, 217 }));
    EXPECT_EQ(TableSlot::CardPosition(17), (Point { 665, 401 }));
    // The last card ends inside the 800-pixel table with a 4-pixel gap
    // between neighbours.
    EXPECT_EQ(TableSlot::CardPosition(5).x + 128, 793);
    EXPECT_EQ(TableSlot::CardPosition(1).x - (TableSlot::CardPosition(0).x + 128), 4);
}

TEST(TableSlot, DealOrderGoesRoundTheTableTwoCardsAStep)
{
    const std::array<int, 18> expected = {
        0, 17, 1, 16, 2, 15, 3, 14, 4, 13, 5, 12,  // row 0 rightwards with row 2 leftwards
        6, 11, 7, 10, 8, 9,                        // row 1 from both ends inwards
    };
    EXPECT_EQ(TableSlot::DealOrder(), expected);
}

}
