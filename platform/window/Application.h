#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/window/KeyboardGrab.h"
#include "platform/window/TimerQueue.h"
#include "platform/window/WindowTypes.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

union SDL_Event;

namespace lumarra {

class Cursor;
class Window;

// The application object. Its constructor starts SDL's video subsystem on
// the calling thread, which becomes the interface thread: every window,
// timer and handler lives there. `Run` calls InitInstance, in which a program
// runs whole (its windows' modal loops pump the messages), and returns its
// exit code. One application exists at a time.
class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    static Application* Get();
    // Counts applications started in this process; SDL objects made under an
    // earlier one are gone.
    static uint64_t Generation();
    // False when SDL's video subsystem could not start, or found no display
    // and fell back to a driver that shows nothing; no window can open.
    bool IsReady() const { return m_ready; }

    virtual bool InitInstance() { return false; }
    int Run();

    Window* GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(Window* window) { m_mainWindow = window; }

    bool IsInterfaceThread() const { return std::this_thread::get_id() == m_interfaceThread; }

    // Handles what is queued, fires due timers, paints and presents; with
    // `wait` first blocks until something arrives or a timer falls due (at
    // most `maxWaitMs`). Interface thread only.
    void PumpMessages(bool wait, uint32_t maxWaitMs = 100);
    // Pumps until `done` returns true or `timeoutMs` of real time passes;
    // true when `done` was met. For tests and short waits on the interface
    // thread.
    template <typename Done>
    bool PumpUntil(Done&& done, uint32_t timeoutMs);

    // Ends every modal loop, and every one started later at once, so that
    // the program returns through its normal close path. A quit signal
    // (CatchQuitSignals) leads here.
    void Quit();
    bool IsQuitting() const { return m_quitting; }
    // Whether the keyboard and pointer are held for an installed keyboard
    // hook.
    bool IsGrabbingKeyboard() const { return m_keyboardGrab.IsGrabbing(); }

    // The last known pointer position on the screen.
    Point GetCursorPos() const;
    // Whether Shift, Ctrl or Alt (VK_SHIFT, VK_CONTROL, VK_MENU) was held at
    // the last key event.
    bool IsModifierDown(unsigned virtualKey) const;
    // Moves the pointer (when it is over one of our windows) and asks again
    // which cursor to show. Safe from any thread.
    void SetCursorPos(int x, int y);
    // Shows `cursor` (null: the arrow). Interface thread only.
    void SetCursor(const Cursor* cursor);
    const Cursor* GetCurrentCursor() const { return m_cursor; }

    // The windows, by handle. A window joins when it is created and is
    // forgotten when destroyed: its timers, the capture, focus and hover it
    // held, its place in the modal and activation order and as the main
    // window go with it. Interface thread only.
    WindowHandle AddWindow(Window& window);
    void ForgetWindow(Window& window);
    Window* FindWindow(WindowHandle handle) const;
    // The top-level windows, bottom to top.
    const std::vector<Window*>& GetTopLevels() const { return m_topLevels; }
    // Puts a top-level window at the bottom, or on top (raised above the
    // rest with what it owns, when it is visible).
    void Restack(Window& topLevel, bool bottom);

    // Queues `message` for `window` on the interface thread. Safe from any
    // thread; false when it cannot be queued.
    bool PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam);
    // Wakes the pump so that it paints and presents. Safe from any thread.
    void WakeUp();

    // WM_TIMER for `window` every `periodMs` of the platform clock; setting
    // an existing id restarts it. Safe from any thread.
    void SetTimer(WindowHandle window, uintptr_t id, uint32_t periodMs);
    bool KillTimer(WindowHandle window, uintptr_t id);

    // Pumps while `window` lives, its modal loop runs and nothing quits;
    // only it and what it owns take input meanwhile. Returns the result
    // given to EndModalLoop, -1 without one.
    int RunModalLoop(Window& window);
    void EndModalLoop(WindowHandle window, int result);

    // Where the mouse and keys go, and which top-level window is active.
    void SetCapture(WindowHandle window);
    void ReleaseCapture();
    Window* GetCapture() const;
    // Moves the focus, with WM_KILLFOCUS to the old window and WM_SETFOCUS
    // to the new one.
    void SetFocus(Window& window);
    // Forgets the focus, without a message, when `window` holds it.
    void DropFocus(WindowHandle window);
    Window* GetFocus() const;
    Window* GetActiveWindow() const;
    void Activate(Window* topLevel);
    // Activates what should be active once `leaving` is hidden or gone.
    void ActivateNext(Window* leaving);
    void RaiseTopLevel(Window* topLevel);
    // Moves `topLevel` with the pointer until the left button is released;
    // `offset` is the pointer's distance from its top-left corner.
    void BeginDrag(WindowHandle topLevel, Point offset);

private:
    struct Drag {
        WindowHandle window = kNoWindow;
        Point offset;
    };

    uint64_t GetStartTicks() const;
    bool WaitForEvent(SDL_Event& event, uint32_t maxWaitMs);
    void HandleEvent(const SDL_Event& event);
    void HandleMouse(Window* topLevel, uint32_t kind, int button, Point screen);
    void HandleKey(const SDL_Event& event);
    void HandleText(const char* utf8);
    void HandleWindowEvent(const SDL_Event& event);
    void Dispatch(Message& message);
    void FireTimers();
    void PaintAll();
    void PresentAll();
    void RefreshCursor();
    uint32_t MillisecondsToNextTimer();
    bool AcceptsInput(Window* topLevel) const;
    Window* GetModalWindow() const;
    Window* FindSdlWindow(uint32_t sdlId) const;

    bool m_ready = false;
    bool m_quitting = false;
    std::thread::id m_interfaceThread;
    Window* m_mainWindow = nullptr;
    uint32_t m_postEvent = 0;
    uint32_t m_wakeEvent = 0;
    uint16_t m_keyModifiers = 0;
    std::atomic<bool> m_wakePending { false };

    WindowHandle m_nextHandle = 1;
    std::map<WindowHandle, Window*> m_windows;
    std::vector<Window*> m_topLevels;  // bottom to top
    std::vector<WindowHandle> m_modalStack;
    std::map<WindowHandle, int> m_modalResults;
    WindowHandle m_active = kNoWindow;
    WindowHandle m_focus = kNoWindow;
    WindowHandle m_capture = kNoWindow;
    WindowHandle m_hover = kNoWindow;
    Drag m_drag;
    unsigned m_buttons = 0;
    const Cursor* m_cursor = nullptr;
    KeyboardGrab m_keyboardGrab;

    TimerQueue m_timers;
    // Guards the pointer position, which any thread may ask for.
    mutable std::mutex m_stateLock;
    Point m_cursorPos;
};

template <typename Done>
bool Application::PumpUntil(Done&& done, uint32_t timeoutMs)
{
    uint64_t start = GetStartTicks();
    while (!done()) {
        if (GetStartTicks() - start >= timeoutMs)
            return false;
        PumpMessages(true, 10);
    }
    return true;
}

}
