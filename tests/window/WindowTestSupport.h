#pragma once

#include "platform/window/Application.h"
#include "platform/window/Window.h"

#include <SDL.h>
#include <functional>
#include <gtest/gtest.h>
#include <string_view>

namespace lumarra::test {

// Every window test runs inside an application on the test's thread.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_app.IsReady()) << SDL_GetError(); }

    // Pumps until `done` or two seconds pass.
    bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 2000)
    {
        return m_app.PumpUntil(done, timeoutMs);
    }
    void PumpFor(uint32_t ms)
    {
        m_app.PumpUntil([] { return false; }, ms);
    }

    Application m_app;
};

// Injected input, as SDL would report it. Points are in `window`'s client
// coordinates.
void MoveMouse(const Window& window, Point client);
void PressMouse(const Window& window, Point client, int button = SDL_BUTTON_LEFT);
void ReleaseMouse(const Window& window, Point client, int button = SDL_BUTTON_LEFT);
void ClickMouse(const Window& window, Point client, int button = SDL_BUTTON_LEFT);
// The centre of a child control, in its own client coordinates.
Point Centre(const Window& window);
void PressKey(SDL_Keycode key, uint16_t modifiers = KMOD_NONE);
void TypeText(std::string_view utf8);

// Runs `step` on the interface thread every few milliseconds while a modal
// loop runs elsewhere, until it returns true.
class Driver final : public Window {
public:
    explicit Driver(std::function<bool()> step);

protected:
    void OnTimer(uintptr_t id) override;

private:
    std::function<bool()> m_step;
};

}
