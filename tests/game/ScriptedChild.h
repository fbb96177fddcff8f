#pragma once

#include "app/GameStage.h"
#include "game/PlayScene.h"
#include "game/ScoreScreen.h"
#include "platform/Clock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <string>

namespace lumarra::test {

// Plays a game on the real stage as a child would, one step per call from
// the interface thread's pump: it picks a strength and says yes, then for
// each reading waits a random moment and either rests the pointer on the
// read card (hover mode) or clicks it, in click mode now and then clicking a
// wrong card first. Result panels and the end screen are clicked away. It
// can quit at a chosen phase of the game.
class ScriptedChild {
public:
    struct Plan {
        int strength = 2;  // 1 practice, 2–6 the computer's strengths
        bool hover = false;
        int wrongClickPercent = 0;
        int maxDelayMs = 1500;  // before taking, on the game's clock
        bool neverTake = false;
        // Press the quit button once the scene is in this phase (in a
        // round: once the reading has started).
        bool quit = false;
        PlayScene::Phase quitIn = PlayScene::Phase::Strength;
        int quitInRound = 0;
    };

    ScriptedChild(GameStage& stage, PlayScene& scene, Plan plan, uint32_t seed)
        : m_stage(stage)
        , m_scene(scene)
        , m_plan(plan)
        , m_random(seed)
    {
        stage.clickMode = plan.hover ? 0 : 1;
    }

    // One look at the screen and at most one action. True once the game has
    // returned.
    bool Step()
    {
        PlayScene::Phase phase = m_scene.GetPhase();
        if (phase == PlayScene::Phase::Abandoned || phase == PlayScene::Phase::Finished)
            return true;
        if (m_plan.quit && !m_quitDone && WantsToQuit(phase)) {
            m_quitDone = true;
            m_stage.OnLButtonDown(0, kQuitAt.x, kQuitAt.y);
            return false;
        }
        std::string line = m_scene.GetResultLine(1);
        if (!line.empty())
            m_seenLines.insert(line);
        if (!m_stage.waitingInput)
            return false;
        if (phase == PlayScene::Phase::Strength)
            ChooseStrength();
        else if (phase == PlayScene::Phase::Result && !m_scene.GetResultLine(1).empty())
            Click(kPanelClickAt.x, kPanelClickAt.y);
        else if (phase == PlayScene::Phase::Round && m_scene.GetCurrentCard() > 0 && !m_plan.neverTake)
            Take(m_scene.GetCurrentCard());
        else if (phase == PlayScene::Phase::Ending && ScoreScreenWaits()) {
            m_sawScoreScreen = true;
            Click(kPanelClickAt.x, kPanelClickAt.y);
        }
        return false;
    }

    int GetWrongClicks() const { return m_wrongClicks; }
    bool SawScoreScreen() const { return m_sawScoreScreen; }
    // Whether a result panel with this first line was seen.
    bool Saw(const std::string& line) const { return m_seenLines.count(line) != 0; }

private:
    static constexpr Point kQuitAt = { 850, 570 };
    // Below the cards, so that a click after the panel has gone takes none.
    static constexpr Point kPanelClickAt = { 400, 596 };
    static constexpr int kPercent = 100;

    bool WantsToQuit(PlayScene::Phase phase) const
    {
        if (phase != m_plan.quitIn)
            return false;
        if (phase == PlayScene::Phase::Round)
            return m_scene.GetRound() >= m_plan.quitInRound && m_scene.GetCurrentCard() > 0;
        if (phase == PlayScene::Phase::Result)
            return m_scene.GetRound() >= m_plan.quitInRound && !m_scene.GetResultLine(1).empty();
        return true;
    }

    // The end screen waits for a click anywhere on the stage.
    bool ScoreScreenWaits() const
    {
        for (int i = 0; i < GameStage::kHotSpotCount; ++i) {
            HotSpot spot = m_stage.GetHotSpot(i);
            if (spot.key == ScoreScreen::kClickKey && spot.value == ScoreScreen::kClickValue)
                return true;
        }
        return false;
    }

    void Click(int x, int y)
    {
        m_stage.OnLButtonDown(0, x, y);
        m_stage.OnLButtonUp(0, x, y);
    }

    void ClickSpot(int key)
    {
        for (int i = 0; i < GameStage::kHotSpotCount; ++i) {
            HotSpot spot = m_stage.GetHotSpot(i);
            if (spot.key == key && spot.enabled) {
                Click(spot.rect.left + 5, spot.rect.top + 5);
                return;
            }
        }
    }

    void ChooseStrength()
    {
        // The strength pictures are table-key spots with values 1–6; then
        // yes, and yes again on the start notice.
        for (int i = 0; i < GameStage::kHotSpotCount; ++i) {
            HotSpot spot = m_stage.GetHotSpot(i);
            if (spot.key == CardTable::kCardKey && spot.value == m_plan.strength) {
                Click(spot.rect.left + 10, spot.rect.top + 10);
                return;
            }
        }
        ClickSpot(0x8800);
    }

    void Take(CardCode card)
    {
        if (m_takeCard != card) {
            m_takeCard = card;
            m_faultsBeforeWrongClick.reset();
            m_takeAt
                = GetTickCount() + std::uniform_int_distribution<uint32_t>(0, uint32_t(m_plan.maxDelayMs))(m_random);
            m_wrongFirst = !m_plan.hover && Chance(m_plan.wrongClickPercent);
        }
        if (static_cast<int32_t>(GetTickCount() - m_takeAt) < 0 || WrongClickUnanswered())
            return;
        if (m_wrongFirst) {
            m_wrongFirst = false;
            if (ClickWrongCard(card))
                return;
        }
        std::optional<HotSpot> spot = CardSpot([card](int value) { return value == card; });
        if (!spot)
            return;
        int x = (spot->rect.left + spot->rect.right) / 2;
        int y = (spot->rect.top + spot->rect.bottom) / 2;
        if (m_plan.hover)
            m_stage.OnMouseMove(0, x, y);
        else
            Click(x, y);
    }

    bool ClickWrongCard(CardCode card)
    {
        std::optional<HotSpot> spot = CardSpot([card](int value) { return value != card; });
        if (!spot)
            return false;
        Click(spot->rect.left + 30, spot->rect.top + 30);
        ++m_wrongClicks;
        m_faultsBeforeWrongClick = m_scene.GetFaults(false);
        m_wrongClickAt = std::chrono::steady_clock::now();
        return true;
    }

    // The stage keeps only the last click until its worker looks, so a
    // second click straight after the wrong one would hide it. The child
    // waits until the fault has been counted (or, should the click have gone
    // unseen, a while).
    bool WrongClickUnanswered()
    {
        constexpr auto kGiveUpAfter = std::chrono::seconds(2);
        if (!m_faultsBeforeWrongClick)
            return false;
        if (m_scene.GetFaults(false) > *m_faultsBeforeWrongClick
            || std::chrono::steady_clock::now() - m_wrongClickAt > kGiveUpAfter)
            m_faultsBeforeWrongClick.reset();
        return m_faultsBeforeWrongClick.has_value();
    }

    // The table card's hot spot, found through the stage's locked table
    // rather than the scene's own card list, which the script changes.
    template <typename Match>
    std::optional<HotSpot> CardSpot(Match match) const
    {
        for (int i = 0; i < GameStage::kHotSpotCount; ++i) {
            HotSpot spot = m_stage.GetHotSpot(i);
            if (spot.key == CardTable::kCardKey && spot.enabled && spot.value > 0 && match(spot.value))
                return spot;
        }
        return std::nullopt;
    }

    bool Chance(int percent) { return std::uniform_int_distribution<int>(0, kPercent - 1)(m_random) < percent; }

    GameStage& m_stage;
    PlayScene& m_scene;
    Plan m_plan;
    std::mt19937 m_random;
    bool m_quitDone = false;
    bool m_sawScoreScreen = false;
    CardCode m_takeCard = 0;
    uint32_t m_takeAt = 0;
    bool m_wrongFirst = false;
    int m_wrongClicks = 0;
    std::optional<int> m_faultsBeforeWrongClick;
    std::chrono::steady_clock::time_point m_wrongClickAt;
    std::set<std::string> m_seenLines;
};

}
