#include "app/GameStage.h"
#include "game/ScoreScreen.h"
#include "platform/Clock.h"
#include "tests/game/RealStage.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int32_t kDate = 1'700'000'000;
constexpr uint32_t kScreenTimeoutMs = 60000;

ScoreRecord::Filing Filed(ScoreTable table, int child, int computer)
{
    ScoreRecord::Filing filing;
    filing.position = table.File(child, computer, kDate + 100000);
    filing.table = table;
    return filing;
}

// A table of `count` games, each a little worse than the one before.
ScoreTable Descending(int count)
{
    ScoreTable table;
    for (int i = 0; i < count; ++i)
        table.File(18 - i % 10, i % 10, kDate - i);
    return table;
}

class LocalTimeZone {
public:
    explicit LocalTimeZone(const char* zone)
        : m_zone("TZ", zone)
    {
        ::tzset();
    }
    ~LocalTimeZone() { ::tzset(); }

private:
    EnvironmentScope m_zone;
};

}

TEST(ScoreScreenContent, TheHeadlineFollowsThePositionAndWhoWon)
{
    ScoreScreen::Content first = ScoreScreen::Compose(Filed({}, 12, 6), true, 12, 6);
    EXPECT_EQ(first.headlineBitmap, 179u);
    ASSERT_EQ(first.lines.size(), 1u);
    EXPECT_EQ(first.highlightedLine, 0);

    EXPECT_EQ(ScoreScreen::Compose(Filed(Descending(20), 16, 2), true, 16, 2).headlineBitmap, 178u);

    // Tenth place and below: the place in words. 8 : 10 falls behind the
    // 20 games of Descending, whose results repeat every ten games.
    ScoreScreen::Content lower = ScoreScreen::Compose(Filed(Descending(20), 10, 8), true, 10, 8);
    EXPECT_EQ(lower.headlineBitmap, 0u);
    EXPECT_EQ(lower.headlineText, "★  9 ばん  ★");

    ScoreScreen::Content lost = ScoreScreen::Compose(Filed({}, 4, 14), false, 4, 14);
    EXPECT_EQ(lost.headlineBitmap, 0u);
    EXPECT_EQ(lost.headlineText, "★ コンピュータ 1 ばん  ★");
    EXPECT_EQ(lost.picture, 137u);
    EXPECT_EQ(lost.sound, 4);
}

TEST(ScoreScreenContent, ADrawIsAWinForThePictureWithABlankResultWord)
{
    ScoreScreen::Content draw = ScoreScreen::Compose(Filed({}, 9, 9), true, 9, 9);
    EXPECT_EQ(draw.picture, 136u);
    EXPECT_EQ(draw.sound, 3);
    EXPECT_EQ(draw.headlineBitmap, 179u);
    ASSERT_EQ(draw.lines.size(), 1u);
    EXPECT_NE(draw.lines[0].find("ばん 　　    9まい"), std::string::npos) << draw.lines[0];
}

TEST(ScoreScreenContent, TenLinesAroundTheNewGameFewerNearTheTop)
{
    ScoreTable table = Descending(30);
    ScoreScreen::Content middle = ScoreScreen::Compose(Filed(table, 11, 7), true, 11, 7);
    ASSERT_EQ(middle.lines.size(), 10u);
    EXPECT_EQ(middle.highlightedLine, 5);

    ScoreScreen::Content high = ScoreScreen::Compose(Filed(table, 18, 0), true, 18, 0);
    EXPECT_EQ(high.lines.size(), 5u);
    EXPECT_EQ(high.highlightedLine, 0);

    // A game the table could not take: its first ten lines, none marked, and
    // the place after the last.
    ScoreTable full;
    for (int i = 0; i < ScoreTable::kRecords; ++i)
        full.File(18, 0, kDate + i);
    ScoreScreen::Content left = ScoreScreen::Compose(Filed(full, 9, 9), true, 9, 9);
    EXPECT_EQ(left.lines.size(), 10u);
    EXPECT_EQ(left.highlightedLine, -1);
    EXPECT_EQ(left.headlineText, "★  2 ばん  ★");
}

TEST(ScoreScreenContent, ARankingLineHasPlaceResultCountsAndLocalDate)
{
    LocalTimeZone zone("JST-9");
    // 2023-11-14 22:13:20 UTC is already the 15th in Japan.
    EXPECT_EQ(ScoreScreen::RankingLine(3, { kDate, 12, 6 }), "   3ばん かち   12まい    6まい   ひにち 2023/11/15");
    EXPECT_EQ(ScoreScreen::RankingLine(1000, { kDate, 2, 16 }), "1000ばん まけ    2まい   16まい   ひにち 2023/11/15");
}

namespace {

// A scene whose script is the end screen alone.
class EndScene : public Scene {
public:
    EndScene(GameStage* stage, std::string path, int child, int computer)
        : Scene(stage)
        , m_path(std::move(path))
        , m_child(child)
        , m_computer(computer)
    {
    }

    void Run() override
    {
        ScoreScreen screen(*this, m_path);
        screen.ShowScoreRecord(m_child >= m_computer, m_child, m_computer, 20);
        saved = screen.GetFiling().saved;
        highlightedLine = screen.GetContent().highlightedLine;
        done = true;
    }

    // What the scene's tick answers while the screen waits, as the play
    // scene's quit button makes it answer.
    int CheckWait(int, int) override { return tickAnswer; }

    std::atomic<int> tickAnswer { 0 };
    std::atomic<bool> done { false };
    std::atomic<bool> saved { false };
    std::atomic<int> highlightedLine { -2 };

private:
    std::string m_path;
    int m_child;
    int m_computer;
};

class EndScreenTest : public RealStage {
protected:
    EndScene& Start(int child, int computer)
    {
        auto scene = std::make_unique<EndScene>(&m_stage, m_programFolder.Native("Score.dat"), child, computer);
        EndScene& ref = *scene;
        m_stage.Init(&m_view, 980, 600, std::move(scene));
        m_stage.StartThread();
        return ref;
    }

    // Until the screen waits for its click: its drawing takes a while under
    // the thread sanitizer.
    bool PumpUntilWaiting()
    {
        return PumpUntil([&] { return m_stage.waitingInput && ClickSpotShown(); }, kScreenTimeoutMs);
    }

    bool ClickSpotShown()
    {
        for (const HotSpot& spot : SpotsWithKey(ScoreScreen::kClickKey)) {
            if (spot.value == ScoreScreen::kClickValue && spot.rect.left == 0 && spot.rect.top == 0)
                return true;
        }
        return false;
    }
};

}

TEST_F(EndScreenTest, TheNewGamesLineIsMarkedAndAClickEndsTheScreen)
{
    // Two older games above the new one.
    ScoreRecord::FileGame(m_programFolder.Native("Score.dat"), 20, 18, 0, kDate);
    ScoreRecord::FileGame(m_programFolder.Native("Score.dat"), 20, 16, 2, kDate);
    EndScene& scene = Start(11, 7);
    ASSERT_TRUE(PumpUntilWaiting());
    // The bar lies under the line's leading blanks, so nothing is written
    // over this point of it.
    const int barY = 235 + 16 * 2 + 8;
    EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(295, barY), GameStage::kHighlightColor);
    EXPECT_NE(m_stage.GetBackBuffer().GetPixel(295, barY - 16), GameStage::kHighlightColor);
    Click(400, 300);
    ASSERT_TRUE(PumpUntil([&] { return scene.done.load(); }, kScreenTimeoutMs));
    EXPECT_TRUE(scene.saved);
    EXPECT_EQ(scene.highlightedLine, 2);
    EXPECT_FALSE(ClickSpotShown());
}

TEST_F(EndScreenTest, WithoutAClickTheScreenEndsAfterThirtySeconds)
{
    EndScene& scene = Start(3, 15);
    ASSERT_TRUE(PumpUntilWaiting());
    uint32_t waitFrom = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return scene.done.load(); }, kScreenTimeoutMs));
    uint32_t waited = GetTickCount() - waitFrom;
    EXPECT_GE(waited, 29500u);
    EXPECT_LT(waited, 33000u);
    EXPECT_FALSE(ClickSpotShown());
}

TEST_F(EndScreenTest, AnAnswerOfTheScenesTickEndsTheWaitAtOnce)
{
    EndScene& scene = Start(12, 6);
    ASSERT_TRUE(PumpUntilWaiting());
    uint32_t waitFrom = GetTickCount();
    scene.tickAnswer = 1000;
    ASSERT_TRUE(PumpUntil([&] { return scene.done.load(); }, kScreenTimeoutMs));
    EXPECT_LT(GetTickCount() - waitFrom, 5000u);
}
