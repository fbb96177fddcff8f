#include "platform/window/KeyboardGrab.h"

#include "platform/window/Application.h"
#include "platform/window/KeyboardHook.h"

#include <SDL.h>
#include <algorithm>

namespace lumarra {

namespace {

// Keys whose LLKHF_EXTENDED bit Windows sets: the navigation block, the
// right-hand modifiers and the keypad's Enter and slash.
bool IsExtendedKey(SDL_Scancode scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_INSERT:
    case SDL_SCANCODE_DELETE:
    case SDL_SCANCODE_HOME:
    case SDL_SCANCODE_END:
    case SDL_SCANCODE_PAGEUP:
    case SDL_SCANCODE_PAGEDOWN:
    case SDL_SCANCODE_LEFT:
    case SDL_SCANCODE_RIGHT:
    case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN:
    case SDL_SCANCODE_RCTRL:
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_LGUI:
    case SDL_SCANCODE_RGUI:
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_KP_DIVIDE:
        return true;
    default:
        return false;
    }
}

}

KeyboardGrab::KeyboardGrab()
{
    WatchKeyboardHooks(&KeyboardGrab::OnHooksChanged, this);
    m_hooksInstalled = AreKeyboardHooksInstalled();
}

KeyboardGrab::~KeyboardGrab()
{
    WatchKeyboardHooks(nullptr, nullptr);
    ReleaseAll();
}

void KeyboardGrab::OnHooksChanged(bool installed, void* context)
{
    auto* self = static_cast<KeyboardGrab*>(context);
    self->m_hooksInstalled = installed;
    Application* app = Application::Get();
    if (app && app->IsInterfaceThread())
        self->Update();
}

bool KeyboardGrab::PassKey(const SDL_KeyboardEvent& key, unsigned virtualKey)
{
    bool down = key.type == SDL_KEYDOWN;
    if (virtualKey != 0)
        SetAsyncKeyState(virtualKey, down);
    SetAsyncKeyState(VK_SHIFT, (key.keysym.mod & KMOD_SHIFT) != 0);
    SetAsyncKeyState(VK_CONTROL, (key.keysym.mod & KMOD_CTRL) != 0);
    SetAsyncKeyState(VK_MENU, (key.keysym.mod & KMOD_ALT) != 0);

    bool alt = (key.keysym.mod & KMOD_ALT) != 0 || virtualKey == VK_MENU;
    KBDLLHOOKSTRUCT event {};
    event.vkCode = virtualKey;
    event.scanCode = static_cast<uint32_t>(key.keysym.scancode);
    event.flags
        = (alt ? LLKHF_ALTDOWN : 0) | (down ? 0 : LLKHF_UP) | (IsExtendedKey(key.keysym.scancode) ? LLKHF_EXTENDED : 0);
    event.time = key.timestamp;
    uint32_t message = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    bool passes = CallKeyboardHooks(message, event);
    if (down)
        m_keySwallowed = !passes;
    return passes;
}

void KeyboardGrab::FocusGained(SDL_Window* window)
{
    if (m_grabbing && window)
        Grab(window);
}

void KeyboardGrab::Update()
{
    bool wanted = m_hooksInstalled;
    if (wanted == m_grabbing)
        return;
    m_grabbing = wanted;
    if (wanted) {
        if (SDL_Window* focus = SDL_GetKeyboardFocus())
            Grab(focus);
    } else {
        ReleaseAll();
        m_keySwallowed = false;
    }
}

void KeyboardGrab::Grab(SDL_Window* window)
{
    // SDL grabs for the focused window only and takes the grab flags from
    // the window that had them, so each window that gains the focus is
    // flagged afresh.
    SDL_SetWindowKeyboardGrab(window, SDL_TRUE);
    SDL_SetWindowMouseGrab(window, SDL_TRUE);
    uint32_t id = SDL_GetWindowID(window);
    if (std::find(m_grabbed.begin(), m_grabbed.end(), id) == m_grabbed.end())
        m_grabbed.push_back(id);
}

void KeyboardGrab::ReleaseAll()
{
    for (uint32_t id : m_grabbed) {
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            SDL_SetWindowKeyboardGrab(window, SDL_FALSE);
            SDL_SetWindowMouseGrab(window, SDL_FALSE);
        }
    }
    m_grabbed.clear();
}

}
