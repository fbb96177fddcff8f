#include "game/KanaButtons.h"
#include "game/ListScrollBar.h"
#include "game/ProverbExplanation.h"
#include "game/ProverbList.h"
#include "game/StringIds.h"
#include "game/StrokeTable.h"
#include "game/WritingAnimation.h"
#include "graphics/DibSurface.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace lumarra;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    if (!text.empty() && text.back() == '\n')
        lines.emplace_back();
    return lines;
}

}

TEST(ProverbListTest, LongEntriesAreCutToWholeCharactersWithAMark)
{
    const std::string mark = Sjis("…");
    // Fifteen double-byte characters fit exactly; sixteen are cut to 13.
    std::string fits = Sjis("あいうえおかきくけこさしすせそ");
    EXPECT_EQ(ProverbList::CutEntry(fits), fits);
    std::string cut = ProverbList::CutEntry(Sjis("あいうえおかきくけこさしすせそた"));
    EXPECT_EQ(cut, Sjis("あいうえおかきくけこさしす") + mark);

    // A single-byte character first moves every boundary by one: byte 26
    // would fall inside a character, so the cut keeps 25 bytes.
    std::string odd = Sjis("Aあいうえおかきくけこさしすせそ");
    std::string oddCut = ProverbList::CutEntry(odd);
    EXPECT_EQ(oddCut, Sjis("Aあいうえおかきくけこさし") + mark);

    // A truncated last character (a lead byte at the very end) stays whole.
    std::string broken = Sjis("あいうえおかきくけこさしすせそ") + "\x82";
    EXPECT_LE(ProverbList::CutEntry(broken).size(), ProverbList::kCutEntryBytes + mark.size());
}

TEST(ProverbListTest, DecksFillInVerseOrderAndOwariHasNoN)
{
    ProverbList list;
    list.Fill(kEdoTextBase);
    EXPECT_EQ(list.GetCount(), 48);
    EXPECT_EQ(list.EntryAt(0), LoadString(2001));
    list.Fill(kKamigataTextBase);
    EXPECT_EQ(list.GetCount(), 48);
    list.Fill(kOwariTextBase);
    EXPECT_EQ(list.GetCount(), 47);
    EXPECT_EQ(list.EntryAt(47), "");
    EXPECT_EQ(list.EntryAt(-1), "");

    // Every Owari proverb fits a row whole.
    for (int i = 0; i < list.GetCount(); ++i)
        EXPECT_EQ(list.EntryAt(i), LoadString(ProverbStringId(kOwariTextBase, static_cast<uint32_t>(i), kProverbText)));
    // A base without strings gives an empty list.
    list.Fill(9000);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(KanaButtonsTest, ATableWrittenRightToLeftWithEmptyCells)
{
    KanaButtons buttons;
    EXPECT_EQ(buttons.ButtonOf(1).rect, Rect::FromSize(713, 335, 48, 48));
    EXPECT_EQ(Cp932ToUtf8(buttons.ButtonOf(1).label), "あ");
    EXPECT_EQ(buttons.ButtonOf(5).rect, Rect::FromSize(713, 527, 48, 48));
    EXPECT_EQ(Cp932ToUtf8(buttons.ButtonOf(6).label), "か");
    EXPECT_EQ(buttons.ButtonOf(6).rect.left, 664);
    EXPECT_EQ(Cp932ToUtf8(buttons.ButtonOf(50).label), "を");
    EXPECT_EQ(Cp932ToUtf8(buttons.ButtonOf(51).label), "ん");
    EXPECT_EQ(buttons.ButtonOf(51).rect.left, 713 - 49 * 10);
    std::set<int> empty;
    for (const StudyButton& button : buttons.GetAll()) {
        if (button.IsEmpty())
            empty.insert(button.value);
    }
    EXPECT_EQ(empty, (std::set<int> { 37, 39, 47, 48, 49, 52, 53, 54, 55 }));
}

TEST(StrokeTableTest, RecordsAsWrittenAndEndedByZero)
{
    std::span<const StrokeRecord> table = StrokeTable();
    ASSERT_FALSE(table.empty());
    const StrokeRecord& last = table.back();
    EXPECT_EQ(last.card, 0);
    EXPECT_EQ(last.stepX | last.stepY | last.delayMs, 0);

    // あ: R +D +D U R D L.
    std::span<const StrokeRecord> a = StrokesOf(1);
    ASSERT_EQ(a.size(), 7u);
    const int delays[] = { 0, 500, 500, 0, 0, 0, 0 };
    const char directions[] = "RDDURDL";
    for (size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].delayMs, delays[k]) << k;
        char d = a[k].stepX == 1 ? 'R' : a[k].stepX == -1 ? 'L' : a[k].stepY == 1 ? 'D' : 'U';
        EXPECT_EQ(d, directions[k]) << k;
    }
    EXPECT_EQ(a[6].startX, 100);
    EXPECT_EQ(a[3].startY, 100);
    EXPECT_EQ(StrokesOf(33).size(), 9u);
    EXPECT_EQ(StrokesOf(51).size(), 4u);
    EXPECT_TRUE(StrokesOf(37).empty());
    EXPECT_TRUE(StrokesOf(47).empty());
    EXPECT_TRUE(StrokesOf(0).empty());

    // Grouped in ascending order.
    for (size_t i = 1; i + 1 < table.size(); ++i)
        EXPECT_LE(table[i - 1].card, table[i].card);
}

namespace {

// A sheet of あ's row: record k reveals the five lines from 10 + 10·k on,
// the finished cell holds a square, magenta everywhere else.
void PaintStrokeSheet(DibSurface& sheet)
{
    constexpr COLORREF kMagenta = 0xFF00FF;
    sheet.FillSolidRect(0, 0, 1000, 100, kMagenta);
    std::span<const StrokeRecord> a = StrokesOf(1);
    for (size_t k = 0; k < a.size(); ++k) {
        int x = 100 * static_cast<int>(k);
        int band = 10 + 10 * static_cast<int>(k);
        if (a[k].stepX != 0)
            sheet.FillSolidRect(x + band, 0, 5, 100, 0);
        else
            sheet.FillSolidRect(x, band, 100, 5, 0);
    }
    sheet.FillSolidRect(700 + 10, 10, 80, 80, 0);
}

struct Draw {
    Rect source;
    Point to;
};

}

TEST(WritingAnimationTest, RevealsEachRecordInOrderThenTheFinishedKana)
{
    DibSurface sheet(24, 1000, 100, kNoColor);
    PaintStrokeSheet(sheet);
    std::vector<Draw> draws;
    std::vector<int> pauses;
    WritingAnimation animation(
        sheet,
        [&](const Rect& source, Point to) {
            draws.push_back({ source, to });
        },
        [&](int ms) {
            pauses.push_back(ms);
            return 1;
        });
    const Point at = { 620, 115 };
    ASSERT_EQ(animation.Play(1, at), 1);

    ASSERT_EQ(draws.size(), 1u + 7 * 5 + 1);
    EXPECT_EQ(draws.front().source, Rect::FromSize(900, 0, 100, 100)) << "the empty box first";
    EXPECT_EQ(pauses.front(), 1000);
    // Record k copies lines of cell k only, in its sweep's direction.
    const bool columns[] = { true, false, false, false, true, false, true };
    const bool backwards[] = { false, false, false, true, false, false, true };
    for (int k = 0; k < 7; ++k) {
        for (int i = 0; i < 5; ++i) {
            const Draw& d = draws[static_cast<size_t>(1 + 5 * k + i)];
            int line = 10 + 10 * k + (backwards[k] ? 4 - i : i);
            if (columns[k]) {
                EXPECT_EQ(d.source, Rect::FromSize(100 * k + line, 0, 1, 100)) << k << " " << i;
                EXPECT_EQ(d.to, (Point { at.x + line, at.y }));
            } else {
                EXPECT_EQ(d.source, Rect::FromSize(100 * k, line, 100, 1)) << k << " " << i;
                EXPECT_EQ(d.to, (Point { at.x, at.y + line }));
            }
        }
    }
    EXPECT_EQ(draws.back().source, Rect::FromSize(700, 0, 100, 100)) << "the finished kana last";
    EXPECT_EQ(draws.back().to, at);
    // 1000 ms box, the two 500 ms pauses, 10 ms after each line.
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 500), 2);
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 10), 35);
}

TEST(WritingAnimationTest, EndsWhenAPauseSaysSoAndSkipsWhatItCannotDraw)
{
    DibSurface sheet(24, 1000, 100, kNoColor);
    PaintStrokeSheet(sheet);
    int draws = 0;
    int pauses = 0;
    WritingAnimation stopping(
        sheet, [&](const Rect&, Point) { ++draws; }, [&](int) { return ++pauses < 4 ? 1 : 0; });
    EXPECT_EQ(stopping.Play(1, { 0, 0 }), 0);
    EXPECT_EQ(pauses, 4);
    EXPECT_EQ(draws, 4) << "the box and three lines, then no more";

    // Only row 0 exists: a kana further down, or one without records, draws
    // nothing at all.
    draws = 0;
    WritingAnimation other(
        sheet, [&](const Rect&, Point) { ++draws; }, [](int) { return 1; });
    EXPECT_EQ(other.Play(2, { 0, 0 }), 1);
    EXPECT_EQ(other.Play(37, { 0, 0 }), 1);
    DibSurface none;
    WritingAnimation missing(
        none, [&](const Rect&, Point) { ++draws; }, [](int) { return 1; });
    EXPECT_EQ(missing.Play(1, { 0, 0 }), 1);
    EXPECT_EQ(draws, 0);
}

TEST(ListScrollBarTest, LimitsPagingAndTheThumb)
{
    ListScrollBar bar(15, 28);
    bar.Reset(48);
    ListScrollBar::Move move;
    ASSERT_TRUE(bar.Scroll(0, &move));
    EXPECT_EQ(move.oldThumb, Rect {});
    EXPECT_EQ(bar.GetThumb(), (Rect { 334, 48, 347, 76 }));
    EXPECT_FALSE(bar.Scroll(-1)) << "already at the top";
    EXPECT_TRUE(bar.Scroll(9));
    EXPECT_EQ(bar.GetFirst(), 9);
    EXPECT_EQ(bar.GetThumb().top, 9 * 196 / 36 + 48);
    EXPECT_TRUE(bar.Scroll(100, &move));
    EXPECT_EQ(bar.GetFirst(), 36);
    EXPECT_EQ(move.oldThumb.top, 9 * 196 / 36 + 48);
    EXPECT_EQ(bar.GetThumb().bottom, 288 - 16);
    EXPECT_FALSE(bar.Scroll(1)) << "already at the bottom";
    EXPECT_TRUE(bar.Scroll(0));
    EXPECT_EQ(bar.GetFirst(), 0);

    // A list that fits shows from the top and never divides by zero.
    bar.Reset(5);
    EXPECT_TRUE(bar.Scroll(0));
    EXPECT_FALSE(bar.Scroll(3));
    EXPECT_EQ(bar.GetThumb().top, 48);
    EXPECT_EQ(bar.DragEntry(200, 0), 0);
    bar.Reset(0);
    EXPECT_TRUE(bar.Scroll(1));
    EXPECT_EQ(bar.GetFirst(), 0);
}

TEST(ListScrollBarTest, PartsOfTheBar)
{
    using Part = ListScrollBar::Part;
    ListScrollBar bar(15, 28);
    bar.Reset(48);
    bar.Scroll(0);
    bar.Scroll(18);  // thumb 148–176
    EXPECT_EQ(bar.PressedPart({ 340, 32 }), Part::ArrowUp);
    EXPECT_EQ(bar.PressedPart({ 340, 47 }), Part::ArrowUp);
    EXPECT_EQ(bar.PressedPart({ 340, 48 }), Part::None);
    EXPECT_EQ(bar.ReleasedPart({ 340, 48 }), Part::TrackAbove);
    EXPECT_EQ(bar.PressedPart({ 340, 49 }), Part::TrackAbove);
    EXPECT_EQ(bar.PressedPart({ 340, 150 }), Part::Thumb);
    EXPECT_EQ(bar.PressedPart({ 340, 200 }), Part::TrackBelow);
    EXPECT_EQ(bar.PressedPart({ 340, 272 }), Part::ArrowDown);
    EXPECT_EQ(bar.PressedPart({ 340, 287 }), Part::ArrowDown);
    EXPECT_EQ(bar.PressedPart({ 340, 288 }), Part::None);
    EXPECT_EQ(bar.PressedPart({ 333, 100 }), Part::None);
    EXPECT_EQ(bar.PressedPart({ 347, 100 }), Part::None);
}

TEST(ListScrollBarTest, ADragAcrossTheWholeBarVisitsEveryFirstEntry)
{
    ListScrollBar bar(15, 28);
    bar.Reset(48);
    bar.Scroll(0);
    int offset = 10;  // grabbed 10 pixels below the thumb's top
    std::set<int> visited;
    for (int y = 0; y <= 320; ++y) {
        int entry = bar.DragEntry(y, offset);
        EXPECT_GE(entry, 0);
        EXPECT_LE(entry, 47);
        if (entry != bar.GetFirst())
            bar.Scroll(entry - bar.GetFirst());
        visited.insert(bar.GetFirst());
    }
    EXPECT_EQ(visited.size(), 37u);
    EXPECT_EQ(*visited.rbegin(), 36);
    // And back up again.
    for (int y = 320; y >= 0; --y) {
        int entry = bar.DragEntry(y, offset);
        bar.Scroll(entry - bar.GetFirst());
    }
    EXPECT_EQ(bar.GetFirst(), 0);
}

TEST(ProverbExplanationTest, GreyTextsSitUnderTheirHeadings)
{
    std::array<std::string, ProverbExplanation::kTextCount> block;
    for (uint32_t i = 0; i < block.size(); ++i)
        block[i] = LoadString(2000 + i);
    ProverbExplanation layers = ProverbExplanation::Compose(Sjis("江戸Korimba"), block);

    std::vector<std::string> headings = Lines(layers.headings);
    std::vector<std::string> texts = Lines(layers.texts);
    ASSERT_EQ(headings.size(), 12u);
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(Cp932ToUtf8(headings[0]), "江戸Korimbaの「い」");
    EXPECT_EQ(Cp932ToUtf8(headings[5]), "説明");
    EXPECT_EQ(Cp932ToUtf8(headings[9]), "せつめい");
    EXPECT_EQ(Cp932ToUtf8(texts[2]), "　　「 犬も歩けば棒にあたる 」");
    EXPECT_EQ(Cp932ToUtf8(texts[3]), "　　（いぬもあるけばぼうにあたる）");
    // Each explanation line has a line of blanks as long in the black layer.
    for (size_t line : { 6u, 7u, 10u, 11u }) {
        EXPECT_FALSE(texts[line].empty());
        EXPECT_EQ(headings[line], ProverbExplanation::BlanksFor(texts[line])) << line;
    }
    EXPECT_EQ(texts[6], block[kProverbMeaning]);
    EXPECT_EQ(texts[11], block[kProverbLessonKana]);
}
