#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "game/PlayScene.h"
#include "game/ScoreRecord.h"
#include "platform/window/Application.h"
#include "platform/window/ScreenScale.h"
#include "platform/window/Window.h"
#include "tests/game/RealStage.h"
#include "tests/game/ScriptedChild.h"
#include "tests/support/TestScopes.h"

#include <SDL.h>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr uint32_t kGameTimeoutMs = 60000;

// Whole games on the real stage, the play scene as the stage's scene, the
// scripted child at the controls.
class PlaySceneTest : public RealStage {
protected:
    PlayScene& Start(DeckId deck)
    {
        auto scene = std::make_unique<PlayScene>(&m_stage, deck);
        PlayScene& ref = *scene;
        m_stage.Init(&m_view, 980, 600, std::move(scene));
        m_stage.StartThread();
        return ref;
    }

    bool Play(ScriptedChild& child)
    {
        return m_app.PumpUntil([&] { return child.Step(); }, kGameTimeoutMs);
    }

    std::string GetRecordPath() const { return m_programFolder.Native("Score.dat"); }

    // The end screen filed the game, and only it, in its deck's table.
    void ExpectFiled(const PlayScene& scene, DeckId deck)
    {
        ScoreRecord record;
        ASSERT_EQ(record.Load(GetRecordPath()), ScoreRecord::FileState::Loaded);
        int index = ScoreRecord::TableIndex(FindDeck(deck)->scoreCode);
        for (int table = 0; table < ScoreRecord::kTables; ++table)
            EXPECT_EQ(record.Table(table).GetUsedCount(), table == index ? 1 : 0) << "table " << table;
        EXPECT_EQ(record.Table(index).At(0).child, scene.GetChildTakes());
        EXPECT_EQ(record.Table(index).At(0).computer, scene.GetComputerTakes());
    }

    bool AnySoundPlaying()
    {
        for (int clip = 1; clip <= 16; ++clip) {
            if (m_stage.GetSounds().Clip(clip).IsPlaying())
                return true;
        }
        return false;
    }
};

// A practice game in click mode, each card taken as soon as it is read.
ScriptedChild::Plan QuickPractice()
{
    ScriptedChild::Plan plan;
    plan.strength = 1;
    plan.maxDelayMs = 0;
    return plan;
}

struct GameCase {
    DeckId deck;
    int strength;
    bool hover;
};

class WholeGameTest : public PlaySceneTest, public ::testing::WithParamInterface<GameCase> { };

TEST_P(WholeGameTest, EighteenCardsAreTakenAndTheGameEnds)
{
    const GameCase& game = GetParam();
    PlayScene& scene = Start(game.deck);
    ScriptedChild::Plan plan;
    plan.strength = game.strength;
    plan.hover = game.hover;
    plan.wrongClickPercent = game.hover ? 0 : 20;
    ScriptedChild child(m_stage, scene, plan, 1234u + static_cast<uint32_t>(game.strength));
    ASSERT_TRUE(Play(child));

    EXPECT_EQ(scene.GetPhase(), PlayScene::Phase::Finished);
    EXPECT_EQ(scene.GetChildTakes() + scene.GetComputerTakes(), PlayScene::kRounds);
    EXPECT_FALSE(scene.IsReaderRunning());
    EXPECT_TRUE(child.SawScoreScreen());
    ExpectFiled(scene, game.deck);
    if (game.strength == 1) {
        EXPECT_EQ(scene.GetComputerTakes(), 0) << "practice has no opponent";
        EXPECT_EQ(scene.GetFaults(true), 0);
    }
    // A wrong click in the moment the computer takes the card is lost with
    // the round.
    EXPECT_LE(scene.GetFaults(false), child.GetWrongClicks());
    if (scene.GetFaults(false) > 0) {
        EXPECT_TRUE(child.Saw("不正解！！ おてつきです"));
    }
    if (scene.GetFaults(true) > 0) {
        EXPECT_TRUE(child.Saw("コンピュータのおてつきです"));
    }
}

INSTANTIATE_TEST_SUITE_P(StrengthsAndModes, WholeGameTest,
    ::testing::Values(GameCase { kDeckEdo, 1, true }, GameCase { kDeckKamigata, 2, false },
        GameCase { kDeckOwari, 3, true }, GameCase { kDeckAiueo, 4, false }, GameCase { kDeckEdo, 5, true },
        GameCase { kDeckAiueo, 6, false }));

TEST_F(PlaySceneTest, AWrongClickShowsTheFaultPanelAndLeavesTheCounts)
{
    PlayScene& scene = Start(kDeckEdo);
    ScriptedChild::Plan plan;
    plan.strength = 1;
    plan.wrongClickPercent = 100;
    plan.maxDelayMs = 0;
    ScriptedChild child(m_stage, scene, plan, 7u);
    bool sawFault = false;
    ASSERT_TRUE(m_app.PumpUntil(
        [&] {
            if (scene.GetResultLine(1) == "不正解！！ おてつきです") {
                sawFault = true;
                EXPECT_EQ(scene.GetChildTakes() + scene.GetComputerTakes(), scene.GetRound());
            }
            return child.Step();
        },
        kGameTimeoutMs));
    EXPECT_TRUE(sawFault);
    EXPECT_EQ(scene.GetChildTakes(), PlayScene::kRounds) << "faults cost nothing but time";
    // The last card lies alone: there is nothing wrong to click.
    EXPECT_EQ(scene.GetFaults(false), PlayScene::kRounds - 1);
    EXPECT_EQ(child.GetWrongClicks(), PlayScene::kRounds - 1);
    ExpectFiled(scene, kDeckEdo);
}

// The card just taken is shown highlighted under the result panel, except
// in the last four rounds, when too few cards are left for it to matter.
TEST_F(PlaySceneTest, ATakenCardIsHighlightedUntilFourOrFewerAreLeft)
{
    PlayScene& scene = Start(kDeckAiueo);
    ScriptedChild child(m_stage, scene, QuickPractice(), 5u);
    constexpr Rect kPanel = Rect::FromSize(225, 150, 350, 300);
    // Per round: a point of the read card outside the panel, its color
    // before the take and under the take's panel.
    struct Look {
        std::optional<Point> at;
        COLORREF before = kNoColor;
        COLORREF taken = kNoColor;
    };
    std::array<Look, PlayScene::kRounds> looks {};
    ASSERT_TRUE(m_app.PumpUntil(
        [&] {
            int round = scene.GetRound();
            Look& look = looks[static_cast<size_t>(std::min(round, PlayScene::kRounds - 1))];
            CardCode card = scene.GetCurrentCard();
            if (scene.GetPhase() == PlayScene::Phase::Round && card > 0 && look.before == kNoColor) {
                for (const HotSpot& spot : SpotsWithKey(CardTable::kCardKey)) {
                    if (spot.value != card)
                        continue;
                    for (Point corner : { Point { spot.rect.left + 3, spot.rect.top + 3 },
                             Point { spot.rect.right - 3, spot.rect.bottom - 3 } }) {
                        if (!kPanel.Contains(corner.x, corner.y))
                            look.at = corner;
                    }
                    if (look.at)
                        look.before = m_stage.GetBackBuffer().GetPixel(look.at->x, look.at->y);
                }
            }
            if (look.at && look.taken == kNoColor && scene.GetResultLine(1) == "正解！！ カードをとりました")
                look.taken = m_stage.GetBackBuffer().GetPixel(look.at->x, look.at->y);
            return child.Step();
        },
        kGameTimeoutMs));
    ASSERT_EQ(scene.GetChildTakes(), PlayScene::kRounds);

    int highlighted = 0;
    int plain = 0;
    for (int round = 0; round < PlayScene::kRounds; ++round) {
        const Look& look = looks[static_cast<size_t>(round)];
        if (!look.at || look.taken == kNoColor)
            continue;
        ASSERT_EQ(look.before, RGB(200, 200, 200)) << "round " << round;
        if (PlayScene::kRounds - round > 4) {
            // Green and blue lowered by 10, through the cache's 16-bit form.
            EXPECT_NEAR(GetRValue(look.taken), 200, 8) << "round " << round;
            EXPECT_NEAR(GetGValue(look.taken), 190, 4) << "round " << round;
            EXPECT_NEAR(GetBValue(look.taken), 190, 4) << "round " << round;
            ++highlighted;
        } else {
            EXPECT_EQ(look.taken, look.before) << "round " << round;
            ++plain;
        }
    }
    // Two slots lie wholly under the panel; every other round is seen.
    EXPECT_GE(highlighted, 12);
    EXPECT_GE(plain, 2);
}

// After a take the next back slides into the reading area on its black
// tray, and the take counts are redrawn on the side panel's own picture.
TEST_F(PlaySceneTest, TheNextBackSlidesInAndTheCountsKeepTheSidePanel)
{
    PlayScene& scene = Start(kDeckAiueo);
    ScriptedChild child(m_stage, scene, QuickPractice(), 11u);
    const COLORREF panel = RGB(0x24, 0x3B, 0x6E);
    std::optional<COLORREF> tray;
    std::optional<COLORREF> countBox;
    ASSERT_TRUE(m_app.PumpUntil(
        [&] {
            if (!tray && scene.GetRound() == 1 && scene.GetPhase() == PlayScene::Phase::Round) {
                // Beside the card back, inside the slide-in's panel.
                tray = m_stage.GetBackBuffer().GetPixel(811, 202);
                // Inside the computer's count box, left of its digit.
                countBox = m_stage.GetBackBuffer().GetPixel(813, 124);
            }
            return child.Step();
        },
        kGameTimeoutMs));
    ASSERT_TRUE(tray && countBox);
    EXPECT_EQ(*tray, RGB(0, 0, 0));
    EXPECT_EQ(*countBox, panel);
    EXPECT_EQ(m_stage.GetBackBuffer().GetPixel(975, 300), panel) << "the side panel was drawn";
}

// Quitting anywhere returns without the score screen, with the reader ended
// and nothing left playing.
class QuitTest : public PlaySceneTest, public ::testing::WithParamInterface<PlayScene::Phase> { };

TEST_P(QuitTest, ReturnsWithTheReaderEndedAndSilence)
{
    PlayScene& scene = Start(kDeckKamigata);
    ScriptedChild::Plan plan;
    plan.strength = 3;
    plan.quit = true;
    plan.quitIn = GetParam();
    plan.quitInRound = 1;
    ScriptedChild child(m_stage, scene, plan, 99u);
    ASSERT_TRUE(Play(child));
    EXPECT_EQ(scene.GetPhase(), PlayScene::Phase::Abandoned);
    EXPECT_TRUE(scene.IsQuitting());
    EXPECT_FALSE(scene.IsReaderRunning());
    EXPECT_FALSE(AnySoundPlaying());
    EXPECT_LT(scene.GetChildTakes() + scene.GetComputerTakes(), PlayScene::kRounds);
    EXPECT_FALSE(std::filesystem::exists(GetRecordPath())) << "an abandoned game is not filed";
}

INSTANTIATE_TEST_SUITE_P(Phases, QuitTest,
    ::testing::Values(PlayScene::Phase::Strength, PlayScene::Phase::Deal, PlayScene::Phase::Round,
        PlayScene::Phase::Result));

TEST(TakeTimeLine, ShowsSecondsAndHundredths)
{
    // A take 1234 ms after the voice started counts 1235 ms.
    EXPECT_EQ(PlayScene::TakeTimeLine(1235), "とるまでにかかったじかん 1.23秒");
    EXPECT_EQ(PlayScene::TakeTimeLine(1), "とるまでにかかったじかん 0.00秒");
    EXPECT_EQ(PlayScene::TakeTimeLine(61009), "とるまでにかかったじかん 61.00秒");
}

}

namespace {

// The view's mouse input reaches the stage as the real view passes it on.
class InputView : public Window {
public:
    explicit InputView(GameStage& stage)
        : m_stage(stage)
    {
    }

protected:
    void OnLButtonDown(unsigned flags, Point point) override { m_stage.OnLButtonDown(flags, point.x, point.y); }
    void OnLButtonUp(unsigned flags, Point point) override { m_stage.OnLButtonUp(flags, point.x, point.y); }

private:
    GameStage& m_stage;
};

void PushClick(uint32_t windowId, Point screen)
{
    for (bool down : { true, false }) {
        SDL_Event event {};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = windowId;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = screen.x;
        event.button.y = screen.y;
        SDL_PushEvent(&event);
    }
}

}

// On a screen shown at twice the size, a click on the screen pixels of the
// read card takes it: the stage sees stage coordinates.
TEST_F(PlaySceneTest, AtTwiceTheSizeAClickOnTheCardsScreenPixelsTakesIt)
{
    ScreenScale::SetFactor(2);
    InputView view(m_stage);
    ASSERT_TRUE(view.Create(WS_POPUP, 0, { 0, 0, 980, 600 }, nullptr));
    view.ShowWindow(SW_SHOW);
    auto owned = std::make_unique<PlayScene>(&m_stage, kDeckOwari);
    PlayScene& scene = *owned;
    m_stage.Init(&view, 980, 600, std::move(owned));
    m_stage.StartThread();
    ScriptedChild::Plan plan;
    plan.strength = 1;
    plan.neverTake = true;
    ScriptedChild child(m_stage, scene, plan, 5u);
    Point clickedAt { -1, -1 };
    bool taken = m_app.PumpUntil(
        [&] {
            child.Step();
            if (scene.GetChildTakes() > 0)
                return true;
            if (clickedAt.x >= 0 || scene.GetPhase() != PlayScene::Phase::Round || !m_stage.waitingInput)
                return false;
            for (const HotSpot& spot : SpotsWithKey(512)) {
                if (spot.value == scene.GetCurrentCard() && spot.enabled) {
                    // The second of the two screen pixels of the card's centre.
                    clickedAt = { (spot.rect.left + spot.rect.right) / 2, (spot.rect.top + spot.rect.bottom) / 2 };
                    PushClick(view.GetSdlWindowId(), { clickedAt.x * 2 + 1, clickedAt.y * 2 + 1 });
                }
            }
            return false;
        },
        kGameTimeoutMs);
    ScreenScale::SetFactor(1);
    int takes = scene.GetChildTakes();
    int faults = scene.GetFaults(false);
    // The stage frees its scene as it shuts down, before the view goes.
    m_stage.Shutdown();
    ASSERT_TRUE(taken) << "clicked at " << clickedAt.x << ", " << clickedAt.y;
    EXPECT_EQ(takes, 1);
    EXPECT_EQ(faults, 0);
}
