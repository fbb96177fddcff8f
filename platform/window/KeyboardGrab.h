#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

struct SDL_KeyboardEvent;
struct SDL_Window;

namespace lumarra {

// The application's side of the keyboard hook slot. Every key event runs
// through the installed hooks before a window sees it, and the text a
// swallowed key would type is dropped with it. While a hook is installed the
// window that has the focus holds the keyboard and the pointer grabbed (on
// X11 active grabs, so the window manager's shortcuts never fire and no
// panel or hot corner sees the pointer; on Wayland the compositor is asked
// to inhibit its shortcuts and confine the pointer). The display server
// drops a dead client's grabs, so a crash never leaves the keyboard taken.
class KeyboardGrab {
public:
    KeyboardGrab();
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    // Records the key's state and runs the hooks; false when one swallowed
    // the event. `virtualKey` is 0 for a key without a virtual-key code.
    bool PassKey(const SDL_KeyboardEvent& key, unsigned virtualKey);
    // Typed text follows its key event: it passes only when the key did.
    bool PassText() const { return !m_keySwallowed; }
    // One of the program's windows took the focus: the grab follows it.
    void FocusGained(SDL_Window* window);
    // Takes or releases the grab when hooks came or went on another thread.
    // Interface thread.
    void Update();

    bool IsGrabbing() const { return m_grabbing; }

private:
    static void OnHooksChanged(bool installed, void* context);
    void Grab(SDL_Window* window);
    void ReleaseAll();

    std::atomic<bool> m_hooksInstalled { false };
    bool m_grabbing = false;
    bool m_keySwallowed = false;
    // The windows given a grab, by SDL id: a window gone since is skipped.
    std::vector<uint32_t> m_grabbed;
};

}
