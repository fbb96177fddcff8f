#include "platform/window/Application.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/window/Cursor.h"
#include "platform/window/QuitSignals.h"
#include "platform/window/ScreenScale.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "platform/window/X11Errors.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace lumarra {

namespace {

std::atomic<Application*> g_application { nullptr };
std::atomic<uint64_t> g_generation { 0 };

// Events handled per pump before timers, painting and presenting get a turn.
constexpr int kEventsPerPump = 256;
// Wake-up event codes.
constexpr Sint32 kWakeOnly = 0;
constexpr Sint32 kWakeMoveCursor = 1;

constexpr uint32_t kMouseMove = 0;
constexpr uint32_t kMouseDown = 1;
constexpr uint32_t kMouseUp = 2;

// Without a display SDL falls back to drivers that show nothing at all. Only
// a caller that asks for one of them by name (the tests) gets it.
bool HasUsableDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver)
        return false;
    for (const char* headless : { "offscreen", "dummy", "evdev" }) {
        if (SDL_strcasecmp(driver, headless) == 0) {
            const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
            return asked && SDL_strcasecmp(asked, driver) == 0;
        }
    }
    return true;
}

}

Application::Application()
{
    g_application = this;
    ++g_generation;
    m_interfaceThread = std::this_thread::get_id();
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    m_ready = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!m_ready)
        return;
    if (!HasUsableDisplay()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_ready = false;
        return;
    }
    // On X11 a texture framebuffer would recreate each native window as an
    // OpenGL one, which forgets the owner it was given (dialogs and the main
    // window would no longer stay above their owners); X11's own
    // framebuffer keeps the window.
    if (const char* driver = SDL_GetCurrentVideoDriver(); driver && std::string_view(driver) == "x11") {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        IgnoreX11ProtocolErrors();
    }
    m_postEvent = SDL_RegisterEvents(2);
    if (m_postEvent == static_cast<uint32_t>(-1)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_ready = false;
        return;
    }
    m_wakeEvent = m_postEvent + 1;
    // Screen scale hook: chosen before the first window opens.
    ScreenScale::ChooseForDisplay();
}

Application::~Application()
{
    while (!m_topLevels.empty())
        m_topLevels.back()->DestroyWindow();
    if (m_ready)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    g_application = nullptr;
}

Application* Application::Get()
{
    return g_application;
}

uint64_t Application::Generation()
{
    return g_generation;
}

int Application::Run()
{
    InitInstance();
    return 0;
}

uint64_t Application::GetStartTicks() const
{
    return SDL_GetTicks64();
}

WindowHandle Application::AddWindow(Window& window)
{
    WindowHandle handle = m_nextHandle++;
    m_windows[handle] = &window;
    if (!window.GetParent())
        m_topLevels.push_back(&window);
    return handle;
}

void Application::ForgetWindow(Window& window)
{
    WindowHandle handle = window.GetHandle();
    m_timers.KillAll(handle);
    if (m_capture == handle)
        m_capture = kNoWindow;
    if (m_focus == handle)
        m_focus = kNoWindow;
    if (m_hover == handle)
        m_hover = kNoWindow;
    if (m_drag.window == handle)
        m_drag = {};
    std::erase(m_modalStack, handle);
    if (std::erase(m_topLevels, &window) > 0 && m_active == handle) {
        m_active = kNoWindow;
        ActivateNext(&window);
    }
    if (m_mainWindow == &window)
        m_mainWindow = nullptr;
    m_windows.erase(handle);
}

Window* Application::FindWindow(WindowHandle handle) const
{
    auto found = m_windows.find(handle);
    return found == m_windows.end() ? nullptr : found->second;
}

void Application::Restack(Window& topLevel, bool bottom)
{
    std::erase(m_topLevels, &topLevel);
    if (bottom) {
        m_topLevels.insert(m_topLevels.begin(), &topLevel);
    } else {
        m_topLevels.push_back(&topLevel);
        if (topLevel.IsWindowVisible())
            RaiseTopLevel(&topLevel);
    }
}

Window* Application::FindSdlWindow(uint32_t sdlId) const
{
    for (Window* window : m_topLevels) {
        if (window->GetSdlWindowId() == sdlId)
            return window;
    }
    return nullptr;
}

Point Application::GetCursorPos() const
{
    std::lock_guard guard(m_stateLock);
    return m_cursorPos;
}

bool Application::IsModifierDown(unsigned virtualKey) const
{
    switch (virtualKey) {
    case VK_SHIFT:
        return (m_keyModifiers & KMOD_SHIFT) != 0;
    case VK_CONTROL:
        return (m_keyModifiers & KMOD_CTRL) != 0;
    case VK_MENU:
        return (m_keyModifiers & KMOD_ALT) != 0;
    default:
        return false;
    }
}

void Application::SetCursorPos(int x, int y)
{
    if (!m_ready)
        return;
    SDL_Event event {};
    event.type = m_wakeEvent;
    event.user.code = kWakeMoveCursor;
    event.user.data1 = reinterpret_cast<void*>(static_cast<intptr_t>(x));
    event.user.data2 = reinterpret_cast<void*>(static_cast<intptr_t>(y));
    SDL_PushEvent(&event);
}

void Application::SetCursor(const Cursor* cursor)
{
    m_cursor = cursor ? cursor : Cursor::Arrow();
    if (SDL_Cursor* sdlCursor = m_cursor->GetSdlCursor())
        SDL_SetCursor(sdlCursor);
}

bool Application::PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (!m_ready || window == kNoWindow)
        return false;
    SDL_Event event {};
    event.type = m_postEvent;
    event.user.windowID = window;
    event.user.code = static_cast<Sint32>(message);
    event.user.data1 = reinterpret_cast<void*>(wParam);
    event.user.data2 = reinterpret_cast<void*>(lParam);
    return SDL_PushEvent(&event) == 1;
}

void Application::WakeUp()
{
    if (!m_ready || m_wakePending.exchange(true))
        return;
    SDL_Event event {};
    event.type = m_wakeEvent;
    event.user.code = kWakeOnly;
    if (SDL_PushEvent(&event) != 1)
        m_wakePending = false;
}

void Application::SetTimer(WindowHandle window, uintptr_t id, uint32_t periodMs)
{
    m_timers.Set(window, id, periodMs, GetTickCount());
    WakeUp();
}

bool Application::KillTimer(WindowHandle window, uintptr_t id)
{
    return m_timers.Kill(window, id);
}

uint32_t Application::MillisecondsToNextTimer()
{
    std::optional<int32_t> next = m_timers.TicksToNext(GetTickCount());
    if (!next)
        return UINT32_MAX;
    int32_t soonest = *next;
    if (soonest <= 0)
        return 0;
    // Timers run on the scaled platform clock.
    return static_cast<uint32_t>(std::ceil(soonest / GetTimeScale()));
}

bool Application::WaitForEvent(SDL_Event& event, uint32_t maxWaitMs)
{
    uint32_t timeout = std::min(maxWaitMs, MillisecondsToNextTimer());
    if (timeout == 0)
        return SDL_PollEvent(&event) == 1;
    return SDL_WaitEventTimeout(&event, static_cast<int>(timeout)) == 1;
}

void Application::PumpMessages(bool wait, uint32_t maxWaitMs)
{
    if (!m_ready || !IsInterfaceThread())
        return;
    if (TakeQuitSignal())
        Quit();
    m_keyboardGrab.Update();
    SDL_Event event;
    int handled = 0;
    if (wait && WaitForEvent(event, maxWaitMs)) {
        HandleEvent(event);
        ++handled;
    }
    while (handled < kEventsPerPump && SDL_PollEvent(&event) == 1) {
        HandleEvent(event);
        ++handled;
    }
    FireTimers();
    PaintAll();
    PresentAll();
}

void Application::HandleEvent(const SDL_Event& event)
{
    if (event.type == m_postEvent) {
        Message message { event.user.windowID, static_cast<uint32_t>(event.user.code),
            reinterpret_cast<WPARAM>(event.user.data1), reinterpret_cast<LPARAM>(event.user.data2), GetCursorPos() };
        Dispatch(message);
        return;
    }
    if (event.type == m_wakeEvent) {
        if (event.user.code == kWakeMoveCursor) {
            int x = static_cast<int>(reinterpret_cast<intptr_t>(event.user.data1));
            int y = static_cast<int>(reinterpret_cast<intptr_t>(event.user.data2));
            if (GetCursorPos() != Point { x, y })
                SDL_WarpMouseGlobal(ScreenScale::ToScreen(x), ScreenScale::ToScreen(y));  // screen scale hook
            {
                std::lock_guard guard(m_stateLock);
                m_cursorPos = { x, y };
            }
            RefreshCursor();
        } else {
            m_wakePending = false;
        }
        return;
    }
    switch (event.type) {
    case SDL_MOUSEMOTION: {
        Window* window = FindSdlWindow(event.motion.windowID);
        Rect frame = window ? window->GetWindowRect() : Rect {};
        // Screen scale hook: SDL reports screen pixels.
        Point at = ScreenScale::FromScreen(Point { event.motion.x, event.motion.y });
        HandleMouse(window, kMouseMove, 0, { frame.left + at.x, frame.top + at.y });
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Window* window = FindSdlWindow(event.button.windowID);
        Rect frame = window ? window->GetWindowRect() : Rect {};
        // Screen scale hook: SDL reports screen pixels.
        Point at = ScreenScale::FromScreen(Point { event.button.x, event.button.y });
        HandleMouse(window, event.type == SDL_MOUSEBUTTONDOWN ? kMouseDown : kMouseUp, event.button.button,
            { frame.left + at.x, frame.top + at.y });
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        HandleKey(event);
        break;
    case SDL_TEXTINPUT:
        HandleText(event.text.text);
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event);
        break;
    case SDL_QUIT:
        if (m_mainWindow)
            m_mainWindow->PostMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}

bool Application::AcceptsInput(Window* topLevel) const
{
    Window* modal = GetModalWindow();
    if (!modal)
        return true;
    for (Window* window = topLevel; window; window = window->GetOwner()) {
        if (window == modal)
            return true;
    }
    return false;
}

Window* Application::GetModalWindow() const
{
    for (auto handle = m_modalStack.rbegin(); handle != m_modalStack.rend(); ++handle) {
        if (Window* window = Window::FromHandle(*handle); window && window->IsWindowVisible())
            return window;
    }
    return nullptr;
}

void Application::HandleMouse(Window* topLevel, uint32_t kind, int button, Point screen)
{
    {
        std::lock_guard guard(m_stateLock);
        m_cursorPos = screen;
    }
    WPARAM buttonFlag = button == SDL_BUTTON_LEFT ? MK_LBUTTON
        : button == SDL_BUTTON_RIGHT              ? MK_RBUTTON
        : button == SDL_BUTTON_MIDDLE             ? MK_MBUTTON
                                                  : 0;
    if (kind == kMouseDown)
        m_buttons |= buttonFlag;
    else if (kind == kMouseUp)
        m_buttons &= ~buttonFlag;

    if (m_drag.window != kNoWindow) {
        if (Window* dragged = Window::FromHandle(m_drag.window); dragged && kind == kMouseMove) {
            dragged->SetWindowPos(ZOrder::Top, screen.x - m_drag.offset.x, screen.y - m_drag.offset.y, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (kind == kMouseUp && buttonFlag == MK_LBUTTON)
            m_drag = {};
        return;
    }

    Window* target = Window::GetCapture();
    int hit = HTCLIENT;
    if (!target) {
        if (!topLevel || !topLevel->IsWindowVisible())
            return;
        if (!AcceptsInput(topLevel)) {
            if (kind == kMouseDown) {
                if (Window* modal = GetModalWindow()) {
                    RaiseTopLevel(modal);
                    Activate(modal);
                }
            }
            SetCursor(Cursor::Arrow());
            return;
        }
        if (kind == kMouseDown && !(topLevel->GetExStyle() & WS_EX_NOACTIVATE)) {
            RaiseTopLevel(topLevel);
            Activate(topLevel);
        }
        target = topLevel->ChildFromPoint(screen);
        hit = static_cast<int>(target->SendMessage(WM_NCHITTEST, 0, PointToLParam(screen)));
        while (hit == HTTRANSPARENT && target->GetParent()) {
            target = target->GetParent();
            hit = static_cast<int>(target->SendMessage(WM_NCHITTEST, 0, PointToLParam(screen)));
        }
        m_hover = target->GetHandle();
    }

    // Client and non-client messages of each button: down, then up.
    struct ButtonMessages {
        WPARAM flag;
        uint32_t client[2];
        uint32_t nonClient[2];
    };
    constexpr ButtonMessages kButtons[] = {
        { MK_LBUTTON, { WM_LBUTTONDOWN, WM_LBUTTONUP }, { WM_NCLBUTTONDOWN, WM_NCLBUTTONUP } },
        { MK_RBUTTON, { WM_RBUTTONDOWN, WM_RBUTTONUP }, { WM_NCRBUTTONDOWN, WM_NCRBUTTONUP } },
        { MK_MBUTTON, { WM_MBUTTONDOWN, WM_MBUTTONUP }, { WM_NCMBUTTONDOWN, WM_NCMBUTTONUP } },
    };
    uint32_t clientMessage = WM_MOUSEMOVE;
    uint32_t ncMessage = WM_NCMOUSEMOVE;
    if (kind != kMouseMove) {
        const ButtonMessages* messages = nullptr;
        for (const ButtonMessages& entry : kButtons) {
            if (entry.flag == buttonFlag)
                messages = &entry;
        }
        if (!messages)
            return;
        size_t up = kind == kMouseUp ? 1 : 0;
        clientMessage = messages->client[up];
        ncMessage = messages->nonClient[up];
    }
    WindowHandle handle = target->GetHandle();
    bool client = hit == HTCLIENT;
    if (!Window::GetCapture() && kind != kMouseUp) {
        target->SendMessage(WM_SETCURSOR, handle, MAKELPARAM(hit, client ? clientMessage : ncMessage));
        if (Window::FromHandle(handle) != target)
            return;
    }
    WPARAM keys = m_buttons;
    if (m_keyModifiers & KMOD_SHIFT)
        keys |= MK_SHIFT;
    if (m_keyModifiers & KMOD_CTRL)
        keys |= MK_CONTROL;
    Message message;
    if (client)
        message = { handle, clientMessage, keys, PointToLParam(target->ScreenToClient(screen)), screen };
    else
        message = { handle, ncMessage, static_cast<WPARAM>(hit), PointToLParam(screen), screen };
    Dispatch(message);
}

void Application::RefreshCursor()
{
    Window* window = Window::FromHandle(m_hover);
    if (!window || Window::GetCapture())
        return;
    Point screen = GetCursorPos();
    int hit = static_cast<int>(window->SendMessage(WM_NCHITTEST, 0, PointToLParam(screen)));
    if (Window::FromHandle(m_hover) == window)
        window->SendMessage(WM_SETCURSOR, window->GetHandle(), MAKELPARAM(hit, WM_MOUSEMOVE));
}

void Application::HandleKey(const SDL_Event& event)
{
    m_keyModifiers = event.key.keysym.mod;
    unsigned key = VirtualKeyFromSdl(event.key.keysym.sym);
    if (!m_keyboardGrab.PassKey(event.key, key) || key == 0)
        return;
    bool down = event.type == SDL_KEYDOWN;
    bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 || key == VK_MENU;
    uint32_t messageId = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    uint32_t keyData = 1 | (static_cast<uint32_t>(event.key.keysym.scancode) & 0xFF) << 16;
    if (alt)
        keyData |= 1u << 29;
    if (event.key.repeat)
        keyData |= 1u << 30;
    if (!down)
        keyData |= 3u << 30;
    Window* target = Window::GetFocus();
    if (!target || (GetModalWindow() && !AcceptsInput(target->GetTopLevel())))
        target = GetModalWindow() ? GetModalWindow() : Window::GetActiveWindow();
    if (!target)
        return;
    Message message { target->GetHandle(), messageId, key, static_cast<LPARAM>(keyData), GetCursorPos() };
    Dispatch(message);
}

void Application::HandleText(const char* utf8)
{
    if (!m_keyboardGrab.PassText())
        return;
    std::string text = Utf8ToCp932(utf8);
    for (size_t pos = 0; pos < text.size();) {
        size_t length = CharLength(text, pos, CodePage::Cp932);
        if (length == 0)
            break;
        unsigned code = static_cast<uint8_t>(text[pos]);
        if (length == 2)
            code = code << 8 | static_cast<uint8_t>(text[pos + 1]);
        pos += length;
        if (code < 0x20 || code == 0x7F)
            continue;
        Window* target = Window::GetFocus();
        if (!target || (GetModalWindow() && !AcceptsInput(target->GetTopLevel())))
            continue;
        Message message { target->GetHandle(), WM_CHAR, code, 1, GetCursorPos() };
        Dispatch(message);
    }
}

void Application::HandleWindowEvent(const SDL_Event& event)
{
    Window* window = FindSdlWindow(event.window.windowID);
    if (!window)
        return;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        window->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        m_keyboardGrab.FocusGained(window->GetSdlWindow().Get());
        if (window->GetExStyle() & WS_EX_NOACTIVATE)
            break;
        if (AcceptsInput(window))
            Activate(window);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
        window->DesktopExposed(event.window.event == SDL_WINDOWEVENT_RESTORED);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window->DesktopMinimized();
        break;
    case SDL_WINDOWEVENT_MOVED:
        // Screen scale hook: SDL reports screen pixels.
        if (m_drag.window == kNoWindow && !window->IsChild())
            window->DesktopMoved(ScreenScale::FromScreen(Point { event.window.data1, event.window.data2 }));
        break;
    default:
        break;
    }
}

void Application::Quit()
{
    m_quitting = true;
    for (WindowHandle handle : m_modalStack) {
        if (Window* window = Window::FromHandle(handle))
            window->EndModalLoop(IDCANCEL);
    }
    WakeUp();
}

int Application::RunModalLoop(Window& window)
{
    WindowHandle handle = window.GetHandle();
    m_modalResults[handle] = -1;
    m_modalStack.push_back(handle);
    // The window may be destroyed by a handler: ask the registry, not it.
    while (FindWindow(handle) == &window && window.IsModalLoopRunning() && !m_quitting)
        PumpMessages(true);
    std::erase(m_modalStack, handle);
    int result = m_modalResults[handle];
    m_modalResults.erase(handle);
    return result;
}

void Application::EndModalLoop(WindowHandle window, int result)
{
    if (m_modalResults.contains(window))
        m_modalResults[window] = result;
    WakeUp();
}

void Application::SetCapture(WindowHandle window)
{
    m_capture = window;
    SDL_CaptureMouse(SDL_TRUE);
}

void Application::ReleaseCapture()
{
    if (m_capture == kNoWindow)
        return;
    Window* old = FindWindow(m_capture);
    m_capture = kNoWindow;
    SDL_CaptureMouse(SDL_FALSE);
    if (old)
        old->SendMessage(WM_CAPTURECHANGED);
}

Window* Application::GetCapture() const
{
    return FindWindow(m_capture);
}

void Application::SetFocus(Window& window)
{
    WindowHandle handle = window.GetHandle();
    if (m_focus == handle)
        return;
    Window* old = FindWindow(m_focus);
    m_focus = handle;
    if (old)
        old->SendMessage(WM_KILLFOCUS);
    if (FindWindow(handle) == &window)
        window.SendMessage(WM_SETFOCUS);
}

void Application::DropFocus(WindowHandle window)
{
    if (m_focus == window)
        m_focus = kNoWindow;
}

Window* Application::GetFocus() const
{
    return FindWindow(m_focus);
}

Window* Application::GetActiveWindow() const
{
    return FindWindow(m_active);
}

void Application::BeginDrag(WindowHandle topLevel, Point offset)
{
    m_drag = { topLevel, offset };
}

void Application::Dispatch(Message& message)
{
    Window* target = Window::FromHandle(message.window);
    if (!target)
        return;
    for (Window* window = target; window; window = window->GetParent()) {
        if (window->PreTranslateMessage(message))
            return;
        if (Window::FromHandle(message.window) != target)
            return;
    }
    target->SendMessage(message.message, message.wParam, message.lParam);
}

void Application::FireTimers()
{
    for (const TimerQueue::Timer& timer : m_timers.TakeDue(GetTickCount())) {
        // An earlier handler may have killed it, or its window.
        if (!m_timers.Contains(timer.window, timer.id) || !FindWindow(timer.window))
            continue;
        Message message { timer.window, WM_TIMER, timer.id, 0, GetCursorPos() };
        Dispatch(message);
    }
}

void Application::PaintAll()
{
    std::vector<WindowHandle> handles;
    handles.reserve(m_windows.size());
    for (const auto& [handle, window] : m_windows)
        handles.push_back(handle);
    for (WindowHandle handle : handles) {
        if (Window* window = Window::FromHandle(handle))
            window->UpdateWindow();
    }
}

void Application::PresentAll()
{
    std::vector<Window*> topLevels = m_topLevels;
    for (Window* window : topLevels)
        window->PresentChanges();
}

void Application::Activate(Window* topLevel)
{
    WindowHandle handle = topLevel ? topLevel->GetHandle() : kNoWindow;
    if (handle == m_active)
        return;
    Window* old = Window::FromHandle(m_active);
    m_active = handle;
    if (old) {
        old->SendMessage(WM_NCACTIVATE, 0);
        old->SendMessage(WM_ACTIVATE, WA_INACTIVE);
    }
    if (topLevel && Window::FromHandle(handle) == topLevel) {
        topLevel->SendMessage(WM_NCACTIVATE, 1);
        topLevel->SendMessage(WM_ACTIVATE, WA_ACTIVE);
    }
}

void Application::ActivateNext(Window* leaving)
{
    auto eligible = [&](Window* window) {
        return window && window != leaving && window->IsWindowVisible() && !(window->GetExStyle() & WS_EX_NOACTIVATE)
            && AcceptsInput(window);
    };
    Window* next = GetModalWindow();
    if (!eligible(next))
        next = leaving ? leaving->GetOwner() : nullptr;
    if (!eligible(next)) {
        next = nullptr;
        for (auto window = m_topLevels.rbegin(); window != m_topLevels.rend() && !next; ++window) {
            if (eligible(*window))
                next = *window;
        }
    }
    Activate(next);
}

void Application::RaiseTopLevel(Window* topLevel)
{
    if (!topLevel || !topLevel->GetSdlWindow())
        return;
    std::erase(m_topLevels, topLevel);
    m_topLevels.push_back(topLevel);
    if (topLevel->IsWindowVisible())
        topLevel->GetSdlWindow().Raise();
    // What a window owns stays above it, and always-on-top windows above all.
    std::vector<Window*> owned;
    for (Window* window : m_topLevels) {
        if (window->GetOwner() == topLevel && window->IsWindowVisible())
            owned.push_back(window);
    }
    for (Window* window : owned)
        RaiseTopLevel(window);
    if (!(topLevel->GetExStyle() & WS_EX_TOPMOST)) {
        std::vector<Window*> topMost;
        for (Window* window : m_topLevels) {
            if ((window->GetExStyle() & WS_EX_TOPMOST) && window->IsWindowVisible() && window != topLevel
                && window->GetOwner() != topLevel)
                topMost.push_back(window);
        }
        for (Window* window : topMost) {
            std::erase(m_topLevels, window);
            m_topLevels.push_back(window);
            window->GetSdlWindow().Raise();
        }
    }
}

}
