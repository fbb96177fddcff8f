#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "game/CardTable.h"
#include "game/DeckPictures.h"
#include "game/TableSlot.h"
#include "game/TitleScene.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "tests/game/RealStage.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

using namespace lumarra;
using namespace lumarra::test;

namespace {

// What a confirmed choice ran: its script waits until the test lets it go,
// and it counts the events that reach it through the title scene.
struct ChoiceRecord {
    std::atomic<int> created { 0 };
    std::atomic<int> choice { 0 };
    std::atomic<int> running { 0 };
    std::atomic<int> destroyed { 0 };
    std::atomic<int> clicks { 0 };
    std::atomic<int> musicCalls { 0 };
    std::atomic<int> letGo { 1 };
};

class RecordingScene : public Scene {
public:
    RecordingScene(GameStage* stage, ChoiceRecord& record)
        : Scene(stage)
        , m_record(record)
    {
    }
    ~RecordingScene() override { ++m_record.destroyed; }

    void Run() override
    {
        m_record.running = 1;
        while (!m_record.letGo)
            Wait(20);
        m_record.running = 0;
    }
    void OnLButtonUp(unsigned, int, int) override { ++m_record.clicks; }
    int IsHot(int, int) override { return 1; }
    int CheckWait(int, int) override { return 0; }
    void OnMusicChanged(int) override { ++m_record.musicCalls; }

private:
    ChoiceRecord& m_record;
};

class TitleSceneTest : public RealStage {
protected:
    TitleScene& Start(TitleScene::Date today = { 5, 14 })
    {
        auto title = std::make_unique<TitleScene>(
            &m_stage,
            [this](GameStage* stage, int choice) {
                m_record.choice = choice;
                ++m_record.created;
                return std::make_unique<RecordingScene>(stage, m_record);
            },
            [today] { return today; });
        TitleScene& ref = *title;
        titleNotReady = 1;
        m_stage.Init(&m_view, 980, 600, std::move(title));
        m_stage.StartThread();
        return ref;
    }

    bool InPhase(TitleScene& title, TitleScene::Phase phase)
    {
        return PumpUntil([&] { return title.GetPhase() == phase && m_stage.waitingInput.load() == 1; });
    }

    // Chooses, then waits for the yes and no buttons.
    bool Choose(TitleScene& title, int x, int y)
    {
        Click(x, y);
        return InPhase(title, TitleScene::Phase::Confirming) && PumpUntil([&] { return m_stage.GetIconSpot(1) != -1; });
    }

    void ExpectTheFiveChoices()
    {
        std::vector<HotSpot> choices = SpotsWithKey(TitleScene::kChoiceKey);
        ASSERT_EQ(choices.size(), 5u);
        const Rect expected[] = {
            Rect::FromSize(230, 200, 70, 100),
            Rect::FromSize(340, 200, 70, 100),
            Rect::FromSize(440, 200, 70, 100),
            Rect::FromSize(530, 200, 90, 100),
            Rect::FromSize(660, 200, 100, 100),
        };
        for (int i = 0; i < 5; ++i) {
            const HotSpot& spot = choices[static_cast<size_t>(i)];
            EXPECT_EQ(spot.value, i + 1);
            EXPECT_EQ(Rect({ spot.rect.left, spot.rect.top, spot.rect.right + 1, spot.rect.bottom + 1 }), expected[i]);
        }
        EXPECT_TRUE(SpotsWithKey(0x4800).empty()) << "no answer is asked for";
        EXPECT_EQ(m_stage.GetIconSpot(1), -1);
        int marker = m_stage.GetIconSpot(0);
        ASSERT_NE(marker, -1) << "the marker is over the first choice";
        EXPECT_EQ(m_stage.GetHotSpot(marker).rect.left, 250);
        EXPECT_EQ(m_stage.GetHotSpot(marker).rect.top, 272);
    }

    ChoiceRecord m_record;
};

TEST_F(TitleSceneTest, AnsweringNoReturnsToTheFiveChoices)
{
    TitleScene& title = Start();
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    EXPECT_EQ(titleNotReady.load(), 0);
    ExpectTheFiveChoices();
    EXPECT_TRUE(MenuMusicPlaying());

    ASSERT_TRUE(Choose(title, 360, 250));
    // The marker moves over the chosen picture; yes and no wait below.
    std::vector<HotSpot> yes = SpotsWithKey(0x8800);
    std::vector<HotSpot> no = SpotsWithKey(0x4800);
    EXPECT_EQ(yes.size(), 2u) << "the yes button and the word はい";
    EXPECT_EQ(no.size(), 2u) << "the no button and the word いいえ";
    EXPECT_TRUE(SpotsWithKey(TitleScene::kChoiceKey).empty()) << "the choices are not open while asking";

    Click(540, 430);
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    ExpectTheFiveChoices();
    EXPECT_EQ(m_record.created.load(), 0) << "nothing was started";
    EXPECT_TRUE(MenuMusicPlaying());
}

TEST_F(TitleSceneTest, YesRunsTheChoicesSceneAndTheMenuComesBack)
{
    TitleScene& title = Start();
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    m_record.letGo = 0;
    ASSERT_TRUE(Choose(title, 570, 250));
    Click(380, 430);
    ASSERT_TRUE(PumpUntil([&] { return m_record.running.load() == 1; }));
    EXPECT_EQ(m_record.choice.load(), 4);
    EXPECT_EQ(title.GetPhase(), TitleScene::Phase::SubScene);
    EXPECT_FALSE(MenuMusicPlaying()) << "the menu music stops for the game";

    // The stage's events reach the running screen through the title.
    m_stage.OnLButtonUp(0, 5, 5);
    EXPECT_EQ(m_record.clicks.load(), 1);
    EXPECT_EQ(title.IsHot(1, 1), 1);
    m_stage.SetMusic(0);
    EXPECT_EQ(m_record.musicCalls.load(), 1);
    m_stage.SetMusic(1);
    EXPECT_FALSE(MenuMusicPlaying()) << "the music switch belongs to the running screen";

    m_record.letGo = 1;
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    EXPECT_EQ(m_record.destroyed.load(), 1);
    ExpectTheFiveChoices();
    EXPECT_TRUE(MenuMusicPlaying());
    m_stage.OnLButtonUp(0, 5, 5);
    EXPECT_EQ(m_record.clicks.load(), 1) << "a finished screen gets no more events";
    EXPECT_EQ(title.IsHot(1, 1), 0);

    // Study, the fifth choice, the same way.
    ASSERT_TRUE(Choose(title, 700, 250));
    Click(380, 430);
    ASSERT_TRUE(PumpUntil([&] { return m_record.created.load() == 2; }));
    EXPECT_EQ(m_record.choice.load(), 5);
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
}

TEST_F(TitleSceneTest, WithMusicOffNoMenuMusicStartsOnReturn)
{
    TitleScene& title = Start();
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    ASSERT_TRUE(MenuMusicPlaying());
    // The caption's music button works on the menu itself.
    m_stage.SetMusic(0);
    EXPECT_FALSE(MenuMusicPlaying());

    ASSERT_TRUE(Choose(title, 260, 250));
    Click(380, 430);
    ASSERT_TRUE(PumpUntil([&] { return m_record.destroyed.load() == 1; }));
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    EXPECT_FALSE(MenuMusicPlaying());

    m_stage.SetMusic(1);
    EXPECT_TRUE(MenuMusicPlaying());
}

TEST_F(TitleSceneTest, TheNewYearGreetingShowsOnceInTheFirstWeekOfJanuary)
{
    TitleScene& title = Start({ 1, 3 });
    EXPECT_TRUE(PumpUntil([&] { return m_stage.GetOverlayCount() == 1; })) << "the greeting covers the menu";
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    EXPECT_EQ(m_stage.GetOverlayCount(), 0);
    EXPECT_EQ(title.IsGreetingPending(), 0);

    ASSERT_TRUE(Choose(title, 260, 250));
    Click(540, 430);
    ASSERT_TRUE(PumpUntil([&] { return title.GetPhase() == TitleScene::Phase::Menu; }));
    bool greetedAgain = false;
    PumpUntil(
        [&] {
            greetedAgain = greetedAgain || m_stage.GetOverlayCount() != 0;
            return false;
        },
        300);
    EXPECT_FALSE(greetedAgain);
}

TEST_F(TitleSceneTest, NoGreetingOutsideTheFirstWeek)
{
    EXPECT_TRUE(TitleScene::IsGreetingDay({ 1, 1 }));
    EXPECT_TRUE(TitleScene::IsGreetingDay({ 1, 7 }));
    EXPECT_FALSE(TitleScene::IsGreetingDay({ 1, 8 }));
    EXPECT_FALSE(TitleScene::IsGreetingDay({ 12, 31 }));
    EXPECT_FALSE(TitleScene::IsGreetingDay({ 2, 3 }));
    TitleScene& title = Start({ 1, 8 });
    ASSERT_TRUE(InPhase(title, TitleScene::Phase::Menu));
    EXPECT_EQ(title.IsGreetingPending(), 0);
    EXPECT_EQ(m_stage.GetOverlayCount(), 0);
}

// A scene whose script deals one table; its quit flag is the test's.
class DealScene : public Scene {
public:
    explicit DealScene(GameStage* stage)
        : Scene(stage)
        , table(*this)
    {
    }
    void Run() override
    {
        table.SetDeck(FindDeck(kDeckEdo)->cards, 48);
        result = table.Deal(quit);
        done = 1;
    }

    CardTable table;
    std::atomic<int> quit { 0 };
    std::atomic<int> result { -1 };
    std::atomic<int> done { 0 };
};

class DealTest : public RealStage {
protected:
    // A table sheet whose cell c is painted in color c, so each drawn card
    // shows where it came from.
    static void PaintTableSheet()
    {
        DibSurface& sheet = SheetFor(kTableSheet);
        sheet.CreateBlank(24, 640, 1980, kNoColor);
        for (CardCode card = 1; card <= kLastCardCode; ++card) {
            Rect cell = CardCellOnSheet(card, kTableCard);
            sheet.FillSolidRect(cell, static_cast<COLORREF>(card * 4));
        }
    }

    DealScene& Start()
    {
        PaintTableSheet();
        auto scene = std::make_unique<DealScene>(&m_stage);
        DealScene& ref = *scene;
        m_stage.Init(&m_view, 980, 600, std::move(scene));
        m_stage.GetBackBuffer().FillSolidRect(0, 0, 980, 600, 0xFFFFFF);
        return ref;
    }
};

TEST_F(DealTest, CardsGoDownInTheDealsOrderEachWithItsHotSpot)
{
    DealScene& scene = Start();
    m_stage.StartThread();
    ASSERT_TRUE(PumpUntil([&] { return scene.done.load() == 1; }));
    EXPECT_EQ(scene.result.load(), 1);
    std::vector<HotSpot> cards = SpotsWithKey(CardTable::kCardKey);
    ASSERT_EQ(cards.size(), 18u);
    for (size_t i = 0; i < 18; ++i) {
        int slot = TableSlot::DealOrder()[i];
        CardCode card = scene.table.CardAt(slot);
        Point at = TableSlot::CardPosition(slot);
        EXPECT_EQ(cards[i].value, card) << "hot spot " << i;
        EXPECT_EQ(cards[i].rect.left, at.x);
        EXPECT_EQ(cards[i].rect.bottom, at.y + 179);
        EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(at.x + 64, at.y + 90), static_cast<COLORREF>(card * 4));
        EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(at.x + 128, at.y + 90), 0xFFFFFFu) << "the gap stays";
    }
}

TEST_F(DealTest, TheQuitFlagStopsTheDealLeavingTheRestEmpty)
{
    DealScene& scene = Start();
    m_stage.StartThread();
    ASSERT_TRUE(PumpUntil([&] { return SpotsWithKey(CardTable::kCardKey).size() >= 4; }));
    scene.quit = 1;
    ASSERT_TRUE(PumpUntil([&] { return scene.done.load() == 1; }));
    EXPECT_EQ(scene.result.load(), 0);
    std::vector<HotSpot> cards = SpotsWithKey(CardTable::kCardKey);
    EXPECT_LT(cards.size(), 18u);
    EXPECT_EQ(cards.size() % 2, 0u) << "a step puts both its cards down";
    for (size_t i = cards.size(); i < 18; ++i) {
        Point at = TableSlot::CardPosition(TableSlot::DealOrder()[i]);
        EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(at.x + 64, at.y + 90), 0xFFFFFFu) << "slot dealt after the quit";
    }
}

}
