#include "platform/window/Window.h"

#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/window/Application.h"
#include "platform/window/ClientDC.h"
#include "platform/window/Cursor.h"
#include "platform/window/PopupMenu.h"
#include "platform/window/SystemMetrics.h"

#include <algorithm>

namespace lumarra {

Window::Window() = default;

Window::~Window()
{
    if (IsCreated())
        Window::DestroyWindow();
}

Window* Window::FromHandle(WindowHandle handle)
{
    Application* app = Application::Get();
    return app && handle != kNoWindow ? app->FindWindow(handle) : nullptr;
}

bool Window::Create(uint32_t style, uint32_t exStyle, const Rect& rect, Window* parent, int id, std::string_view text)
{
    Application* app = Application::Get();
    if (IsCreated() || !app || !app->IsReady() || !app->IsInterfaceThread())
        return false;
    if ((style & WS_CHILD) && (!parent || !parent->IsCreated()))
        return false;
    m_style = style & ~WS_VISIBLE;
    m_exStyle = exStyle;
    m_id = id;
    m_text = std::string(text);
    m_rect = { rect.left, rect.top, std::max(rect.left, rect.right), std::max(rect.top, rect.bottom) };
    m_visible = false;
    m_minimized = false;
    m_captionActive = false;
    m_compositor.MarkFrameDirty();
    if (IsChild()) {
        m_parent = parent;
        m_owner = nullptr;
        m_root = parent->m_root;
    } else {
        m_parent = nullptr;
        m_owner = parent ? parent->m_root : nullptr;
        m_root = this;
        m_sdlWindow = SdlWindow::Open(Cp932ToUtf8(m_text).c_str(), m_rect, exStyle);
        if (!m_sdlWindow)
            return false;
        if (m_owner)
            m_sdlWindow.SetModalFor(m_owner->m_sdlWindow);
    }
    m_handle = app->AddWindow(*this);
    if (m_parent)
        m_parent->m_children.push_back(this);
    ResizeBuffer();
    InvalidateRect(nullptr, true);
    if (SendMessage(WM_CREATE) == -1) {
        DestroyWindow();
        return false;
    }
    if (style & WS_VISIBLE)
        ShowWindow((exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return IsCreated();
}

bool Window::DestroyWindow()
{
    Application* app = Application::Get();
    if (!IsCreated() || !app)
        return false;
    WindowHandle handle = m_handle;
    m_modalRunning = false;
    SendMessage(WM_DESTROY);
    if (!FromHandle(handle))
        return true;  // the handler destroyed it already
    while (!m_children.empty())
        m_children.back()->DestroyWindow();
    // Owned windows go with their owner.
    std::vector<Window*> owned;
    for (Window* topLevel : app->GetTopLevels())
        if (topLevel->m_owner == this)
            owned.push_back(topLevel);
    for (Window* window : owned)
        window->DestroyWindow();

    if (m_parent) {
        std::erase(m_parent->m_children, this);
        if (m_visible)
            m_parent->MarkDirty(m_rect);
    }
    app->ForgetWindow(*this);
    m_sdlWindow.Close();
    m_handle = kNoWindow;
    m_parent = nullptr;
    m_owner = nullptr;
    m_root = this;
    m_visible = false;
    m_systemMenu.reset();
    m_client.Reset();
    m_compositor.Reset();
    return true;
}

bool Window::SubclassDlgItem(int id, Window* parent)
{
    Window* old = parent ? parent->GetDlgItem(id) : nullptr;
    if (!old || old == this || IsCreated())
        return false;
    Window* host = old->m_parent;
    auto place = std::find(host->m_children.begin(), host->m_children.end(), old);
    size_t index = static_cast<size_t>(place - host->m_children.begin());
    uint32_t style = old->m_style | (old->m_visible ? WS_VISIBLE : 0);
    uint32_t exStyle = old->m_exStyle;
    Rect rect = old->m_rect;
    std::string text = old->m_text;
    std::shared_ptr<const Font> font = old->GetFont();
    old->DestroyWindow();
    m_client.SetFont(font);
    if (!Create(style, exStyle, rect, host, id, text))
        return false;
    std::erase(host->m_children, this);
    host->m_children.insert(host->m_children.begin()
            + static_cast<std::ptrdiff_t>(std::min(index, host->m_children.size())),
        this);
    return true;
}

void Window::CopyParentBackground(DrawContext& dc)
{
    if (!m_parent)
        return;
    Rect client = GetClientRect();
    m_parent->m_client.CopyOut(dc, Rect::FromSize(m_rect.left, m_rect.top, client.GetWidth(), client.GetHeight()));
}

void Window::ModifyStyle(uint32_t remove, uint32_t add)
{
    m_style = (m_style & ~remove) | add;
    m_compositor.MarkFrameDirty();
    Invalidate();
}

Window* Window::GetDlgItem(int id) const
{
    for (Window* child : m_children) {
        if (child->m_id == id)
            return child;
    }
    for (Window* child : m_children) {
        if (Window* found = child->GetDlgItem(id))
            return found;
    }
    return nullptr;
}

WindowFrame Window::GetFrame() const
{
    return WindowFrame(m_style, { m_rect.GetWidth(), m_rect.GetHeight() });
}

Rect Window::GetWindowRect() const
{
    if (!m_parent)
        return m_rect;
    Point origin = m_parent->ClientToScreen({ m_rect.left, m_rect.top });
    return { origin.x, origin.y, origin.x + m_rect.GetWidth(), origin.y + m_rect.GetHeight() };
}

Rect Window::GetClientRect() const
{
    WindowFrame::Insets insets = GetFrameInsets();
    return { 0, 0, std::max(0, m_rect.GetWidth() - insets.left - insets.right),
        std::max(0, m_rect.GetHeight() - insets.top - insets.bottom) };
}

Point Window::ClientToScreen(Point point) const
{
    if (m_parent)
        return m_parent->ClientToScreen({ point.x + m_rect.left, point.y + m_rect.top });
    WindowFrame::Insets insets = GetFrameInsets();
    return { point.x + m_rect.left + insets.left, point.y + m_rect.top + insets.top };
}

Point Window::ScreenToClient(Point point) const
{
    Point origin = ClientToScreen({ 0, 0 });
    return { point.x - origin.x, point.y - origin.y };
}

Point Window::GetClientOriginInFrame() const
{
    if (m_parent) {
        Point parent = m_parent->GetClientOriginInFrame();
        return { parent.x + m_rect.left, parent.y + m_rect.top };
    }
    WindowFrame::Insets insets = GetFrameInsets();
    return { insets.left, insets.top };
}

bool Window::SetWindowPos(ZOrder order, int x, int y, int width, int height, unsigned flags)
{
    Application* app = Application::Get();
    if (!IsCreated() || !app)
        return false;
    Rect old = m_rect;
    Rect next = m_rect;
    if (!(flags & SWP_NOMOVE))
        next = { x, y, x + next.GetWidth(), y + next.GetHeight() };
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(0, width);
        next.bottom = next.top + std::max(0, height);
    }
    bool moved = next.left != old.left || next.top != old.top;
    bool resized = next.GetWidth() != old.GetWidth() || next.GetHeight() != old.GetHeight();
    m_rect = next;
    if (resized)
        m_sdlWindow.SetSize(next.GetWidth(), next.GetHeight());
    if (moved)
        m_sdlWindow.SetPosition(next.left, next.top);
    if (resized) {
        ResizeBuffer();
        m_root->m_compositor.MarkFrameDirty();
        InvalidateRect(nullptr, true);
        Rect client = GetClientRect();
        SendMessage(WM_SIZE, 0, MAKELPARAM(client.GetWidth(), client.GetHeight()));
    }
    if (m_parent && (moved || resized) && m_visible) {
        m_parent->MarkDirty(old);
        m_parent->MarkDirty(next);
    }
    if (!(flags & SWP_NOZORDER)) {
        if (m_parent) {
            std::vector<Window*>& siblings = m_parent->m_children;
            std::erase(siblings, this);
            if (order == ZOrder::Bottom)
                siblings.insert(siblings.begin(), this);
            else
                siblings.push_back(this);
            if (m_visible)
                m_parent->MarkDirty(m_rect);
        } else {
            if (order == ZOrder::TopMost || order == ZOrder::NoTopMost) {
                bool topMost = order == ZOrder::TopMost;
                m_exStyle = topMost ? (m_exStyle | WS_EX_TOPMOST) : (m_exStyle & ~WS_EX_TOPMOST);
                m_sdlWindow.SetAlwaysOnTop(topMost);
            }
            app->Restack(*this, order == ZOrder::Bottom);
        }
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return true;
}

bool Window::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    return SetWindowPos(ZOrder::Top, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool Window::MoveWindow(const Rect& rect, bool repaint)
{
    return MoveWindow(rect.left, rect.top, rect.GetWidth(), rect.GetHeight(), repaint);
}

void Window::CenterWindow(const Window* over)
{
    Rect area;
    if (over) {
        area = over->GetWindowRect();
    } else {
        Size screen = GetScreenSize();
        area = { 0, 0, screen.width, screen.height };
    }
    int x = area.left + (area.GetWidth() - m_rect.GetWidth()) / 2;
    int y = area.top + (area.GetHeight() - m_rect.GetHeight()) / 2;
    if (!m_parent) {
        // A top-level window keeps its caption on the work area: its top-left
        // corner stays inside even when the window is larger than the area.
        Rect work = GetWorkArea();
        x = std::max(work.left, std::min(x, work.right - m_rect.GetWidth()));
        y = std::max(work.top, std::min(y, work.bottom - m_rect.GetHeight()));
    }
    SetWindowPos(ZOrder::Top, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Window::ShowWindow(int command)
{
    Application* app = Application::Get();
    if (!IsCreated() || !app)
        return false;
    bool wasVisible = m_visible;
    bool activate = command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE;
    if (m_exStyle & WS_EX_NOACTIVATE)
        activate = false;
    switch (command) {
    case SW_HIDE:
        m_visible = false;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        m_minimized = true;
        m_visible = true;
        m_sdlWindow.Minimize();
        break;
    case SW_RESTORE:
        m_minimized = false;
        m_visible = true;
        m_sdlWindow.Restore();
        break;
    default:
        m_visible = true;
        break;
    }
    if (m_visible == wasVisible && command != SW_RESTORE) {
        if (m_visible && activate && !m_parent)
            app->Activate(this);
        return wasVisible;
    }
    if (m_sdlWindow) {
        if (m_visible) {
            m_sdlWindow.Show(activate);
            m_compositor.MarkFrameDirty();
            app->RaiseTopLevel(this);
            if (activate)
                app->Activate(this);
        } else {
            m_sdlWindow.Hide();
            if (app->GetActiveWindow() == this)
                app->ActivateNext(this);
        }
    } else if (m_parent) {
        m_parent->MarkDirty(m_rect);
        if (!m_visible)
            app->DropFocus(m_handle);
    }
    if (m_visible)
        InvalidateRect(nullptr, true);
    SendMessage(WM_SHOWWINDOW, m_visible ? 1 : 0);
    return wasVisible;
}

bool Window::IsWindowVisible() const
{
    if (!IsCreated() || !m_visible)
        return false;
    return !m_parent || m_parent->IsWindowVisible();
}

void Window::EnableWindow(bool enable)
{
    uint32_t style = enable ? (m_style & ~WS_DISABLED) : (m_style | WS_DISABLED);
    if (style == m_style)
        return;
    m_style = style;
    if (Application* app = Application::Get(); app && !enable)
        app->DropFocus(m_handle);
    SendMessage(WM_ENABLE, enable ? 1 : 0);
    Invalidate();
}

void Window::SetWindowText(std::string_view text)
{
    m_text = std::string(text);
    m_sdlWindow.SetTitle(Cp932ToUtf8(m_text).c_str());
    m_root->m_compositor.MarkFrameDirty();
    SendMessage(WM_SETTEXT);
    Invalidate();
}

void Window::SetFont(std::shared_ptr<const Font> font, bool redraw)
{
    m_client.SetFont(std::move(font));
    if (redraw)
        Invalidate();
}

std::shared_ptr<const Font> Window::GetFont() const
{
    return m_client.GetFont();
}

void Window::ResizeBuffer()
{
    Rect client = GetClientRect();
    m_client.Resize({ client.GetWidth(), client.GetHeight() }, m_background);
}

void Window::InvalidateRect(const Rect* rect, bool erase)
{
    m_client.Invalidate(rect, erase);
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::UpdateWindow()
{
    if (IsWindowVisible())
        DispatchPaint();
}

void Window::SetBackgroundColor(COLORREF color)
{
    m_background = color;
    Invalidate();
}

void Window::DispatchPaint()
{
    Rect update;
    bool erase = false;
    m_client.TakeUpdate(update, erase);
    if (update.IsEmpty())
        return;
    {
        ClientDC dc(*this);
        dc.MarkDirty(update);
        if (erase)
            SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&*dc));
        SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(&*dc));
    }
    // Children that let this window show through must follow it.
    for (Window* child : m_children) {
        Rect overlap = update.Intersect(child->m_rect);
        if (!overlap.IsEmpty() && child->m_visible) {
            Rect local = OffsetRect(overlap, { -child->m_rect.left, -child->m_rect.top });
            child->InvalidateRect(&local, true);
        }
    }
}

void Window::MarkDirty(const Rect& rect)
{
    m_client.MarkDirty(rect);
    m_root->m_compositor.MarkChanged();
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::MarkFrameDirty()
{
    m_root->m_compositor.MarkFrameDirty();
    m_root->m_compositor.MarkChanged();
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::PresentChanges()
{
    if (!m_sdlWindow || !m_visible || m_minimized || !m_compositor.HasChanges())
        return;
    m_compositor.Present(*this, m_sdlWindow, [this](DrawContext& dc) { OnNcPaint(dc); });
}

void Window::DesktopExposed(bool restored)
{
    m_minimized = m_minimized && !restored;
    MarkFrameDirty();
}

void Window::DesktopMoved(Point topLeft)
{
    m_rect = { topLeft.x, topLeft.y, topLeft.x + m_rect.GetWidth(), topLeft.y + m_rect.GetHeight() };
}

LRESULT Window::SendMessage(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (!IsCreated())
        return 0;
    return WindowProc(message, wParam, lParam);
}

bool Window::PostMessage(uint32_t message, WPARAM wParam, LPARAM lParam) const
{
    return PostMessage(m_handle, message, wParam, lParam);
}

bool Window::PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    Application* app = Application::Get();
    return app && app->PostMessage(window, message, wParam, lParam);
}

LRESULT Window::WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        OnPaint(*reinterpret_cast<DrawContext*>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(*reinterpret_cast<DrawContext*>(wParam)) ? 1 : 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<unsigned>(wParam), LParamToPoint(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<unsigned>(wParam), LParamToPoint(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<unsigned>(wParam), LParamToPoint(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<unsigned>(wParam), LParamToPoint(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<unsigned>(wParam), LParamToPoint(lParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<unsigned>(wParam), LOWORD(lParam), static_cast<unsigned>(lParam));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<unsigned>(wParam), LOWORD(lParam), static_cast<unsigned>(lParam));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(FromHandle(static_cast<WindowHandle>(wParam)), static_cast<int16_t>(LOWORD(lParam)),
                   HIWORD(lParam))
            ? 1
            : 0;
    case WM_NCHITTEST:
        return OnNcHitTest(LParamToPoint(lParam));
    case WM_NCACTIVATE:
        return OnNcActivate(wParam != 0) ? 1 : 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<unsigned>(wParam), lParam);
        return 0;
    case WM_COMMAND:
        return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT Window::DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    Application* app = Application::Get();
    switch (message) {
    case WM_NCHITTEST: {
        Point point = LParamToPoint(lParam);
        if (IsChild())
            return HTCLIENT;
        return GetFrame().HitTest({ point.x - m_rect.left, point.y - m_rect.top });
    }
    case WM_SETCURSOR:
        if (m_parent && m_parent->SendMessage(WM_SETCURSOR, wParam, lParam))
            return 1;
        if (app)
            app->SetCursor(Cursor::Arrow());
        return 0;
    case WM_NCLBUTTONDOWN:
        if (!app)
            return 0;
        if (wParam == HTCAPTION) {
            Point point = LParamToPoint(lParam);
            app->BeginDrag(m_root->m_handle, { point.x - m_root->m_rect.left, point.y - m_root->m_rect.top });
        } else if (wParam == HTSYSMENU || wParam == HTMENU) {
            m_root->ShowSystemMenu(m_root->GetSystemMenuAnchor());
        }
        return 0;
    case WM_NCLBUTTONUP:
        if (wParam == HTCLOSE)
            m_root->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4)
            m_root->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_NCACTIVATE:
        SetCaptionActive(wParam != 0);
        return 1;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            break;
        case SC_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_SETICON:
        // lParam is a const Icon*; the desktop shows the big one.
        if (wParam == ICON_BIG && lParam && m_root->m_sdlWindow)
            SetDesktopIcon(*reinterpret_cast<const Icon*>(lParam));
        return 0;
    default:
        return 0;
    }
}

void Window::SetDesktopIcon(const Icon& icon)
{
    std::unique_ptr<Cursor> picture = Cursor::CreateFromIcon(icon, {});
    if (!picture)
        return;
    m_root->m_sdlWindow.SetIcon(picture->GetPixels().data(), picture->GetSize());
}

void Window::SetCaptionActive(bool active)
{
    if (m_captionActive == active)
        return;
    m_captionActive = active;
    MarkFrameDirty();
}

bool Window::OnEraseBkgnd(DrawContext& dc)
{
    const Brush* brush = nullptr;
    if (!IsChild())
        brush = OnCtlColor(dc, this, CTLCOLOR_DLG);
    if (brush) {
        dc.FillRect(GetClientRect(), *brush);
        return true;
    }
    if (m_background == kNoColor)
        return false;
    dc.FillSolidRect(GetClientRect(), m_background);
    return true;
}

const Brush* Window::ControlColors(DrawContext& dc, unsigned type)
{
    // A control that answers for itself (a reflected message) wins.
    if (const Brush* brush = CtlColor(dc, type))
        return brush;
    return m_parent ? m_parent->OnCtlColor(dc, this, type) : nullptr;
}

uintptr_t Window::SetTimer(uintptr_t id, uint32_t periodMs)
{
    Application* app = Application::Get();
    if (!app || !IsCreated())
        return 0;
    app->SetTimer(m_handle, id, periodMs);
    return id;
}

bool Window::KillTimer(uintptr_t id)
{
    Application* app = Application::Get();
    return app && app->KillTimer(m_handle, id);
}

int Window::RunModalLoop(unsigned)
{
    Application* app = Application::Get();
    if (!app || !IsCreated() || !app->IsInterfaceThread())
        return -1;
    WindowHandle handle = m_handle;
    m_modalRunning = true;
    int result = app->RunModalLoop(*this);
    if (FromHandle(handle) == this)
        m_modalRunning = false;
    return result;
}

void Window::EndModalLoop(int result)
{
    Application* app = Application::Get();
    if (!app || !IsCreated())
        return;
    m_modalRunning = false;
    app->EndModalLoop(m_handle, result);
}

void Window::SetCapture()
{
    if (Application* app = Application::Get(); app && IsCreated())
        app->SetCapture(m_handle);
}

void Window::ReleaseCapture()
{
    if (Application* app = Application::Get())
        app->ReleaseCapture();
}

Window* Window::GetCapture()
{
    Application* app = Application::Get();
    return app ? app->GetCapture() : nullptr;
}

void Window::SetFocus()
{
    if (Application* app = Application::Get(); app && IsCreated())
        app->SetFocus(*this);
}

Window* Window::GetFocus()
{
    Application* app = Application::Get();
    return app ? app->GetFocus() : nullptr;
}

void Window::SetForegroundWindow()
{
    Application* app = Application::Get();
    if (!app || !IsCreated())
        return;
    app->RaiseTopLevel(m_root);
    app->Activate(m_root);
}

Window* Window::GetActiveWindow()
{
    Application* app = Application::Get();
    return app ? app->GetActiveWindow() : nullptr;
}

PopupMenu& Window::GetSystemMenu(bool revert)
{
    if (!m_systemMenu || revert)
        m_systemMenu = PopupMenu::CreateSystemMenu();
    return *m_systemMenu;
}

void Window::ShowSystemMenu(Point at)
{
    PopupMenu& menu = GetSystemMenu();
    unsigned command = menu.TrackPopupMenu(TPM_RETURNCMD, at.x, at.y, this);
    if (command != 0 && IsCreated())
        PostMessage(WM_SYSCOMMAND, command, 0);
}

Window* Window::ChildFromPoint(Point screenPoint)
{
    Window* window = this;
    for (;;) {
        Point local = window->ScreenToClient(screenPoint);
        Window* found = nullptr;
        for (auto child = window->m_children.rbegin(); child != window->m_children.rend(); ++child) {
            if ((*child)->m_visible && (*child)->IsWindowEnabled() && (*child)->m_rect.Contains(local.x, local.y)) {
                found = *child;
                break;
            }
        }
        if (!found)
            return window;
        window = found;
    }
}

}
