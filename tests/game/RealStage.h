#pragma once

#include "app/GameStage.h"
#include "audio/SoundDevice.h"
#include "platform/window/Application.h"
#include "platform/window/Window.h"
#include "tests/support/TestScopes.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace lumarra::test {

// The plain window standing in for the stage's view; with `forwardTimers`
// set its timers reach the stage as the real view's do.
class TestView : public Window {
public:
    explicit TestView(GameStage& stage)
        : m_stage(stage)
    {
    }
    bool forwardTimers = false;

protected:
    void OnTimer(uintptr_t id) override
    {
        if (forwardTimers)
            m_stage.OnTimer(id);
    }

private:
    GameStage& m_stage;
};

// The real stage on a plain window standing in for the view, with private
// registry and program folders; the program folder holds a menu tune.
class RealStage : public ::testing::Test {
protected:
    RealStage()
        : m_registry("LUMARRA_REGISTRY_DIR", m_registryFolder.GetNative().c_str())
        , m_home("LUMARRA_HOME", m_programFolder.GetNative().c_str())
    {
        std::filesystem::create_directories(m_programFolder.Native("Data"));
        const char* source = std::getenv("LUMARRA_SOURCE_DIR");
        if (source) {
            std::filesystem::copy_file(std::string(source) + "/fuzz/audio/corpus/fuzz_mp3_decoder/stereo22k.mp3",
                m_programFolder.Native("Data/Sound01.mp3"));
        }
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_app.IsReady());
        ASSERT_TRUE(OpenSoundDevice());
        ASSERT_TRUE(m_view.Create(WS_POPUP, 0, { 0, 0, 980, 600 }, nullptr));
        m_view.ShowWindow(SW_SHOW);
    }

    void TearDown() override
    {
        if (m_stage.active)
            m_stage.Shutdown();
        CloseSoundDevice();
    }

    bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 8000)
    {
        return m_app.PumpUntil(done, timeoutMs);
    }

    void Click(int x, int y) { m_stage.OnLButtonUp(0, x, y); }

    // The hot spots whose key is `key`, in table order.
    std::vector<HotSpot> SpotsWithKey(int key)
    {
        std::vector<HotSpot> spots;
        for (int i = 0; i < GameStage::kHotSpotCount; ++i) {
            HotSpot spot = m_stage.GetHotSpot(i);
            if (spot.key == key)
                spots.push_back(spot);
        }
        return spots;
    }

    bool MenuMusicPlaying() { return m_stage.GetSounds().Clip(1).IsPlaying() != 0; }

    TestFolder m_registryFolder;
    TestFolder m_programFolder;
    EnvironmentScope m_registry;
    EnvironmentScope m_home;
    Application m_app;
    // Declared before the stage, which it outlives as the real view does.
    TestView m_view { m_stage };
    GameStage m_stage;
};

}
