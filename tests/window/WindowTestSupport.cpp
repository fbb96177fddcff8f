#include "tests/window/WindowTestSupport.h"

#include "platform/CodePage.h"
#include "platform/window/ScreenScale.h"

#include <cstring>

namespace lumarra::test {

namespace {

constexpr uintptr_t kDriverTimer = 1;
constexpr uint32_t kDriverPeriodMs = 5;

// In the top-level window's screen pixels, as SDL reports them.
Point InTopLevel(const Window& window, Point client)
{
    Point screen = window.ClientToScreen(client);
    Rect frame = const_cast<Window&>(window).GetTopLevel()->GetWindowRect();
    return ScreenScale::ToScreen(Point { screen.x - frame.left, screen.y - frame.top });
}

uint32_t SdlId(const Window& window)
{
    return const_cast<Window&>(window).GetTopLevel()->GetSdlWindowId();
}

void PushButton(const Window& window, Point client, int button, bool down)
{
    Point at = InTopLevel(window, client);
    SDL_Event event {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = SdlId(window);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = at.x;
    event.button.y = at.y;
    SDL_PushEvent(&event);
}

}

void MoveMouse(const Window& window, Point client)
{
    Point at = InTopLevel(window, client);
    SDL_Event event {};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SdlId(window);
    event.motion.x = at.x;
    event.motion.y = at.y;
    SDL_PushEvent(&event);
}

void PressMouse(const Window& window, Point client, int button)
{
    PushButton(window, client, button, true);
}

void ReleaseMouse(const Window& window, Point client, int button)
{
    PushButton(window, client, button, false);
}

void ClickMouse(const Window& window, Point client, int button)
{
    MoveMouse(window, client);
    PressMouse(window, client, button);
    ReleaseMouse(window, client, button);
}

Point Centre(const Window& window)
{
    Rect client = window.GetClientRect();
    return { client.GetWidth() / 2, client.GetHeight() / 2 };
}

void PressKey(SDL_Keycode key, uint16_t modifiers)
{
    for (Uint32 type : { SDL_KEYDOWN, SDL_KEYUP }) {
        SDL_Event event {};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.mod = modifiers;
        SDL_PushEvent(&event);
    }
}

void TypeText(std::string_view utf8)
{
    SDL_Event event {};
    event.type = SDL_TEXTINPUT;
    std::memcpy(event.text.text, utf8.data(), std::min(utf8.size(), sizeof event.text.text - 1));
    SDL_PushEvent(&event);
}

Driver::Driver(std::function<bool()> step)
    : m_step(std::move(step))
{
    Create(WS_POPUP, WS_EX_NOACTIVATE, { 0, 0, 1, 1 }, nullptr);
    SetTimer(kDriverTimer, kDriverPeriodMs);
}

void Driver::OnTimer(uintptr_t)
{
    if (m_step && m_step())
        KillTimer(kDriverTimer);
}

}
