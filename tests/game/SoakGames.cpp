// Plays many whole games on the real stage with the scripted child, in random
// modes and strengths, some quit half-way, and prints one line of totals:
// games, rounds, takes, faults, then "N passed, M failed". A game passes when
// it returns the way its plan says, with the reader ended, and a finished
// game has 18 takes.
//
// soak_games [games] [seed]

#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "game/PlayScene.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "tests/game/ScriptedChild.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

using namespace lumarra;
using namespace lumarra::test;

namespace {

constexpr int kDefaultGames = 200;
constexpr uint32_t kGameTimeoutMs = 120000;
constexpr int kStrengths = 6;
constexpr int kQuitPercent = 10;

struct Totals {
    int games = 0;
    int rounds = 0;
    int takes = 0;
    int faults = 0;
    int passed = 0;
    int failed = 0;
};

ScriptedChild::Plan RandomPlan(std::mt19937& random)
{
    ScriptedChild::Plan plan;
    plan.strength = std::uniform_int_distribution<int>(1, kStrengths)(random);
    plan.hover = random() % 2 == 0;
    plan.wrongClickPercent = plan.hover ? 0 : static_cast<int>(random() % 30);
    plan.maxDelayMs = static_cast<int>(random() % 3000);
    if (static_cast<int>(random() % 100) < kQuitPercent) {
        plan.quit = true;
        const PlayScene::Phase phases[]
            = { PlayScene::Phase::Strength, PlayScene::Phase::Deal, PlayScene::Phase::Round, PlayScene::Phase::Result };
        plan.quitIn = phases[random() % 4];
        plan.quitInRound = static_cast<int>(random() % PlayScene::kRounds);
    }
    return plan;
}

bool PlayOne(Application& app, Window& view, std::mt19937& random, Totals& totals)
{
    GameStage stage;
    auto owned = std::make_unique<PlayScene>(&stage, static_cast<DeckId>(random() % kDeckCount + 1));
    PlayScene& scene = *owned;
    ScriptedChild::Plan plan = RandomPlan(random);
    ScriptedChild child(stage, scene, plan, static_cast<uint32_t>(random()));
    stage.Init(&view, 980, 600, std::move(owned));
    stage.StartThread();
    bool returned = app.PumpUntil([&] { return child.Step(); }, kGameTimeoutMs);
    int takes = scene.GetChildTakes() + scene.GetComputerTakes();
    totals.rounds += scene.GetRound();
    totals.takes += takes;
    totals.faults += scene.GetFaults(false) + scene.GetFaults(true);
    bool ok = returned && !scene.IsReaderRunning();
    // A quit planned for a late round may come after the last take.
    if (ok && scene.GetPhase() == PlayScene::Phase::Finished)
        ok = takes == PlayScene::kRounds;
    else if (ok)
        ok = plan.quit && scene.GetPhase() == PlayScene::Phase::Abandoned;
    stage.Shutdown();
    return ok;
}

}

// The games write their statistic and pictures into a folder of their own,
// never into the user's.
class PrivateFolders {
public:
    PrivateFolders()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumarra-soak-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            m_folder = pattern;
            setenv("LUMARRA_REGISTRY_DIR", m_folder.c_str(), 1);
            setenv("LUMARRA_HOME", m_folder.c_str(), 1);
        }
    }
    ~PrivateFolders()
    {
        std::error_code ignored;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ignored);
    }
    PrivateFolders(const PrivateFolders&) = delete;
    PrivateFolders& operator=(const PrivateFolders&) = delete;

private:
    std::string m_folder;
};

int main(int argc, char** argv)
{
    PrivateFolders folders;
    int games = argc > 1 ? std::atoi(argv[1]) : kDefaultGames;
    uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : std::random_device {}();
    Application app;
    Window view;
    if (!app.IsReady() || !OpenSoundDevice() || !view.Create(WS_POPUP, 0, { 0, 0, 980, 600 }, nullptr)) {
        std::printf("soak: no stage could be set up\n");
        return 2;
    }
    view.ShowWindow(SW_SHOW);
    std::mt19937 random(seed);
    Totals totals;
    for (int game = 0; game < games; ++game) {
        ++totals.games;
        if (PlayOne(app, view, random, totals))
            ++totals.passed;
        else
            ++totals.failed;
    }
    CloseSoundDevice();
    std::printf("seed %u: %d games, %d rounds, %d takes, %d faults, %d passed, %d failed\n", seed, totals.games,
        totals.rounds, totals.takes, totals.faults, totals.passed, totals.failed);
    return totals.failed == 0 ? 0 : 1;
}
