#include "platform/window/Window.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Application.h"
#include "platform/window/CaptionColors.h"
#include "platform/window/ClientDC.h"
#include "platform/window/Cursor.h"
#include "platform/window/PopupMenu.h"
#include "platform/window/SystemMetrics.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace lumarra {

namespace {

// The frame we draw around top-level windows with a caption.
constexpr int kFrameBorder = 1;
constexpr int kCaptionHeight = 24;
constexpr int kCloseButtonWidth = 28;
constexpr int kCaptionFontTenths = 90;
constexpr int kCaptionTextIndent = 8;

Rect UnionRect(const Rect& a, const Rect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

Rect Offset(const Rect& rect, Point by)
{
    return { rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y };
}

std::unique_ptr<Bitmap> MakeTopDownBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    BitmapInfo info {};
    info.bmiHeader.biSize = sizeof(BitmapInfoHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
}

const std::shared_ptr<Font>& CaptionFont()
{
    static const std::shared_ptr<Font> font = Font::CreatePoint(kCaptionFontTenths, Sjis("ＭＳ Ｐゴシック"));
    return font;
}

}

Window::Window() = default;

Window::~Window()
{
    if (IsCreated())
        Window::DestroyWindow();
}

Window* Window::FromHandle(WindowHandle handle)
{
    Application* app = Application::Get();
    if (!app || handle == kNoWindow)
        return nullptr;
    auto found = app->m_windows.find(handle);
    return found == app->m_windows.end() ? nullptr : found->second;
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
    m_frameDirty = true;
    if (IsChild()) {
        m_parent = parent;
        m_owner = nullptr;
        m_root = parent->m_root;
    } else {
        m_parent = nullptr;
        m_owner = parent ? parent->m_root : nullptr;
        m_root = this;
        uint32_t flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
        if (exStyle & WS_EX_TOPMOST)
            flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        if (exStyle & WS_EX_TOOLWINDOW)
            flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_POPUP_MENU;
        m_sdlWindow = SDL_CreateWindow(Cp932ToUtf8(m_text).c_str(), m_rect.left, m_rect.top,
            std::max(1, m_rect.Width()), std::max(1, m_rect.Height()), flags);
        if (!m_sdlWindow)
            return false;
        if (m_owner && m_owner->m_sdlWindow)
            SDL_SetWindowModalFor(m_sdlWindow, m_owner->m_sdlWindow);
    }
    m_handle = app->Register(this);
    if (m_parent)
        m_parent->m_children.push_back(this);
    else
        app->m_topLevels.push_back(this);
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
        return true; // the handler destroyed it already
    while (!m_children.empty())
        m_children.back()->DestroyWindow();
    // Owned windows go with their owner.
    std::vector<Window*> owned;
    for (Window* topLevel : app->m_topLevels)
        if (topLevel->m_owner == this)
            owned.push_back(topLevel);
    for (Window* window : owned)
        window->DestroyWindow();

    {
        std::lock_guard timers(app->m_stateLock);
        std::erase_if(app->m_timers, [&](const Application::Timer& timer) { return timer.window == handle; });
    }
    if (app->m_capture == handle)
        app->m_capture = kNoWindow;
    if (app->m_focus == handle)
        app->m_focus = kNoWindow;
    if (app->m_hover == handle)
        app->m_hover = kNoWindow;
    if (app->m_drag.window == handle)
        app->m_drag = {};
    std::erase(app->m_modalStack, handle);
    if (m_parent) {
        std::erase(m_parent->m_children, this);
        if (m_visible)
            m_parent->MarkDirty(m_rect);
    } else {
        std::erase(app->m_topLevels, this);
        if (app->m_active == handle) {
            app->m_active = kNoWindow;
            app->ActivateNext(this);
        }
        if (m_sdlWindow)
            SDL_DestroyWindow(m_sdlWindow);
        m_sdlWindow = nullptr;
    }
    if (app->m_mainWindow == this)
        app->m_mainWindow = nullptr;
    app->Unregister(this);
    m_handle = kNoWindow;
    m_parent = nullptr;
    m_owner = nullptr;
    m_root = this;
    m_visible = false;
    m_systemMenu.reset();
    std::lock_guard guard(m_bufferLock);
    m_buffer.reset();
    m_frame.reset();
    m_dirty = {};
    m_update = {};
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
    m_font = font;
    if (!Create(style, exStyle, rect, host, id, text))
        return false;
    std::erase(host->m_children, this);
    host->m_children.insert(host->m_children.begin() + static_cast<std::ptrdiff_t>(std::min(index, host->m_children.size())), this);
    return true;
}

void Window::CopyParentBackground(DrawContext& dc)
{
    if (!m_parent)
        return;
    std::lock_guard guard(m_parent->m_bufferLock);
    if (!m_parent->m_buffer)
        return;
    DrawContext source(m_parent->m_buffer.get());
    Rect client = GetClientRect();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &source, m_rect.left, m_rect.top, SRCCOPY);
}

void Window::ModifyStyle(uint32_t remove, uint32_t add)
{
    m_style = (m_style & ~remove) | add;
    m_frameDirty = true;
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

Window::Insets Window::FrameInsetsFor(uint32_t style)
{
    if (style & WS_CHILD)
        return {};
    if ((style & WS_CAPTION) == WS_CAPTION)
        return { kFrameBorder, kFrameBorder + kCaptionHeight, kFrameBorder, kFrameBorder };
    if (style & WS_BORDER)
        return { kFrameBorder, kFrameBorder, kFrameBorder, kFrameBorder };
    return {};
}

Window::Insets Window::FrameInsets() const
{
    return FrameInsetsFor(m_style);
}

Rect Window::GetWindowRect() const
{
    if (!m_parent)
        return m_rect;
    Point origin = m_parent->ClientToScreen({ m_rect.left, m_rect.top });
    return { origin.x, origin.y, origin.x + m_rect.Width(), origin.y + m_rect.Height() };
}

Rect Window::GetClientRect() const
{
    Insets insets = FrameInsets();
    return { 0, 0, std::max(0, m_rect.Width() - insets.left - insets.right),
        std::max(0, m_rect.Height() - insets.top - insets.bottom) };
}

Point Window::ClientToScreen(Point point) const
{
    if (m_parent)
        return m_parent->ClientToScreen({ point.x + m_rect.left, point.y + m_rect.top });
    Insets insets = FrameInsets();
    return { point.x + m_rect.left + insets.left, point.y + m_rect.top + insets.top };
}

Point Window::ScreenToClient(Point point) const
{
    Point origin = ClientToScreen({ 0, 0 });
    return { point.x - origin.x, point.y - origin.y };
}

Point Window::ClientOriginInFrame() const
{
    if (m_parent) {
        Point parent = m_parent->ClientOriginInFrame();
        return { parent.x + m_rect.left, parent.y + m_rect.top };
    }
    Insets insets = FrameInsets();
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
        next = { x, y, x + next.Width(), y + next.Height() };
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(0, width);
        next.bottom = next.top + std::max(0, height);
    }
    bool moved = next.left != old.left || next.top != old.top;
    bool resized = next.Width() != old.Width() || next.Height() != old.Height();
    m_rect = next;
    if (m_sdlWindow) {
        if (resized)
            SDL_SetWindowSize(m_sdlWindow, std::max(1, next.Width()), std::max(1, next.Height()));
        if (moved)
            SDL_SetWindowPosition(m_sdlWindow, next.left, next.top);
    }
    if (resized) {
        ResizeBuffer();
        m_root->m_frameDirty = true;
        InvalidateRect(nullptr, true);
        Rect client = GetClientRect();
        SendMessage(WM_SIZE, 0, MAKELPARAM(client.Width(), client.Height()));
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
                if (m_sdlWindow)
                    SDL_SetWindowAlwaysOnTop(m_sdlWindow, topMost ? SDL_TRUE : SDL_FALSE);
            }
            std::erase(app->m_topLevels, this);
            if (order == ZOrder::Bottom) {
                app->m_topLevels.insert(app->m_topLevels.begin(), this);
            } else {
                app->m_topLevels.push_back(this);
                if (m_visible)
                    app->RaiseTopLevel(this);
            }
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
    return SetWindowPos(ZOrder::Top, x, y, width, height,
        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool Window::MoveWindow(const Rect& rect, bool repaint)
{
    return MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
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
    int x = area.left + (area.Width() - m_rect.Width()) / 2;
    int y = area.top + (area.Height() - m_rect.Height()) / 2;
    if (!m_parent) {
        // A top-level window keeps its caption on the work area: its top-left
        // corner stays inside even when the window is larger than the area.
        Rect work = GetWorkArea();
        x = std::max(work.left, std::min(x, work.right - m_rect.Width()));
        y = std::max(work.top, std::min(y, work.bottom - m_rect.Height()));
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
        if (m_sdlWindow)
            SDL_MinimizeWindow(m_sdlWindow);
        break;
    case SW_RESTORE:
        m_minimized = false;
        m_visible = true;
        if (m_sdlWindow)
            SDL_RestoreWindow(m_sdlWindow);
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
            if (!activate)
                SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
            SDL_ShowWindow(m_sdlWindow);
            SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "0");
            m_frameDirty = true;
            app->RaiseTopLevel(this);
            if (activate)
                app->Activate(this);
        } else {
            SDL_HideWindow(m_sdlWindow);
            if (app->m_active == m_handle)
                app->ActivateNext(this);
        }
    } else if (m_parent) {
        m_parent->MarkDirty(m_rect);
        if (!m_visible && app->m_focus == m_handle)
            app->m_focus = kNoWindow;
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
    Application* app = Application::Get();
    if (!enable && app && app->m_focus == m_handle)
        app->m_focus = kNoWindow;
    SendMessage(WM_ENABLE, enable ? 1 : 0);
    Invalidate();
}

void Window::SetWindowText(std::string_view text)
{
    m_text = std::string(text);
    if (m_sdlWindow)
        SDL_SetWindowTitle(m_sdlWindow, Cp932ToUtf8(m_text).c_str());
    m_root->m_frameDirty = true;
    SendMessage(WM_SETTEXT);
    Invalidate();
}

void Window::SetFont(std::shared_ptr<const Font> font, bool redraw)
{
    {
        std::lock_guard guard(m_bufferLock);
        m_font = std::move(font);
    }
    if (redraw)
        Invalidate();
}

std::shared_ptr<const Font> Window::GetFont() const
{
    std::lock_guard guard(m_bufferLock);
    return m_font;
}

void Window::ResizeBuffer()
{
    Rect client = GetClientRect();
    std::lock_guard guard(m_bufferLock);
    if (m_buffer && m_buffer->Width() == client.Width() && m_buffer->Height() == client.Height())
        return;
    m_buffer = MakeTopDownBitmap(client.Width(), client.Height());
    if (m_buffer && m_background != kNoColor) {
        DrawContext dc(m_buffer.get());
        dc.FillSolidRect(client, m_background);
    }
    m_dirty = client;
}

void Window::Invalidate(bool erase)
{
    InvalidateRect(nullptr, erase);
}

void Window::InvalidateRect(const Rect* rect, bool erase)
{
    {
        std::lock_guard guard(m_bufferLock);
        Rect client = BufferRect();
        Rect area = rect ? rect->Intersect(client) : client;
        m_update = UnionRect(m_update, area);
        m_eraseUpdate = m_eraseUpdate || erase;
    }
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::ValidateRect(const Rect* rect)
{
    std::lock_guard guard(m_bufferLock);
    if (!rect || (rect->left <= m_update.left && rect->top <= m_update.top && rect->right >= m_update.right
                     && rect->bottom >= m_update.bottom)) {
        m_update = {};
        m_eraseUpdate = false;
    }
}

void Window::UpdateWindow()
{
    if (IsWindowVisible())
        DispatchPaint();
}

void Window::SetBackgroundColor(COLORREF colour)
{
    m_background = colour;
    Invalidate();
}

void Window::TakeUpdate(Rect& update, bool& erase)
{
    std::lock_guard guard(m_bufferLock);
    update = m_update;
    erase = m_eraseUpdate;
    m_update = {};
    m_eraseUpdate = false;
}

void Window::DispatchPaint()
{
    Rect update;
    bool erase = false;
    TakeUpdate(update, erase);
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
            Rect local = Offset(overlap, { -child->m_rect.left, -child->m_rect.top });
            child->InvalidateRect(&local, true);
        }
    }
}

Rect Window::BufferRect() const
{
    return m_buffer ? Rect { 0, 0, m_buffer->Width(), m_buffer->Height() } : Rect {};
}

void Window::MarkDirty(const Rect& rect)
{
    {
        std::lock_guard guard(m_bufferLock);
        m_dirty = UnionRect(m_dirty, rect.Intersect(BufferRect()));
    }
    m_root->m_needsPresent = true;
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::MarkFrameDirty()
{
    m_root->m_frameDirty = true;
    m_root->m_needsPresent = true;
    if (Application* app = Application::Get())
        app->WakeUp();
}

void Window::CollectDirty(std::vector<Rect>& out)
{
    Rect dirty;
    {
        std::lock_guard guard(m_bufferLock);
        dirty = m_dirty;
        m_dirty = {};
    }
    if (m_visible && !dirty.IsEmpty())
        out.push_back(Offset(dirty, ClientOriginInFrame()));
    for (Window* child : m_children)
        child->CollectDirty(out);
}


void Window::ComposeInto(Bitmap& frame, const Rect& area, const Rect& clip) const
{
    if (!m_visible)
        return;
    Point origin = ClientOriginInFrame();
    Rect client = GetClientRect();
    Rect placed = Offset(client, origin);
    Rect visible = placed.Intersect(clip).Intersect(area);
    if (visible.IsEmpty())
        return;
    {
        std::lock_guard guard(m_bufferLock);
        if (m_buffer) {
            size_t bytes = static_cast<size_t>(visible.Width()) * 4;
            for (int y = visible.top; y < visible.bottom; ++y) {
                std::memcpy(frame.Row(y) + static_cast<size_t>(visible.left) * 4,
                    m_buffer->Row(y - origin.y) + static_cast<size_t>(visible.left - origin.x) * 4, bytes);
            }
        }
    }
    Rect inner = placed.Intersect(clip);
    for (const Window* child : m_children)
        child->ComposeInto(frame, visible, inner);
}

void Window::Present()
{
    if (!m_sdlWindow || !m_visible || m_minimized)
        return;
    m_needsPresent = false;
    Rect whole { 0, 0, m_rect.Width(), m_rect.Height() };
    if (!m_frame || m_frame->Width() != whole.Width() || m_frame->Height() != whole.Height()) {
        m_frame = MakeTopDownBitmap(whole.Width(), whole.Height());
        m_frameDirty = true;
    }
    if (!m_frame)
        return;
    std::vector<Rect> areas;
    CollectDirty(areas);
    if (m_frameDirty) {
        m_frameDirty = false;
        DrawContext dc(m_frame.get());
        OnNcPaint(dc);
        areas.assign(1, whole);
    }
    if (areas.empty())
        return;
    constexpr size_t kMaxAreas = 16;
    if (areas.size() > kMaxAreas) {
        Rect bounds;
        for (const Rect& area : areas)
            bounds = UnionRect(bounds, area);
        areas.assign(1, bounds);
    }
    Insets insets = FrameInsets();
    Rect clientInFrame { insets.left, insets.top, whole.right - insets.right, whole.bottom - insets.bottom };
    for (const Rect& area : areas)
        ComposeInto(*m_frame, area.Intersect(whole), clientInFrame);

    SDL_Surface* surface = SDL_GetWindowSurface(m_sdlWindow);
    if (!surface)
        return;
    std::vector<SDL_Rect> updates;
    Rect surfaceRect { 0, 0, surface->w, surface->h };
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    for (const Rect& area : areas) {
        Rect copy = area.Intersect(whole).Intersect(surfaceRect);
        if (copy.IsEmpty())
            continue;
        const uint8_t* source = m_frame->Row(copy.top) + static_cast<size_t>(copy.left) * 4;
        uint8_t* target = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(copy.top) * surface->pitch
            + static_cast<size_t>(copy.left) * surface->format->BytesPerPixel;
        SDL_ConvertPixels(copy.Width(), copy.Height(), SDL_PIXELFORMAT_RGB888, source, m_frame->Stride(),
            surface->format->format, target, surface->pitch);
        updates.push_back({ copy.left, copy.top, copy.Width(), copy.Height() });
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (!updates.empty())
        SDL_UpdateWindowSurfaceRects(m_sdlWindow, updates.data(), static_cast<int>(updates.size()));
}

uint32_t Window::GetSdlWindowId() const
{
    return m_sdlWindow ? SDL_GetWindowID(m_sdlWindow) : 0;
}

COLORREF Window::GetPresentedPixel(int x, int y) const
{
    const Window* root = m_root;
    if (!root->m_sdlWindow)
        return CLR_INVALID;
    SDL_Surface* surface = SDL_GetWindowSurface(root->m_sdlWindow);
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return CLR_INVALID;
    const uint8_t* pixel = static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch
        + static_cast<size_t>(x) * surface->format->BytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, pixel, std::min<size_t>(4, surface->format->BytesPerPixel));
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return RGB(r, g, b);
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
    if (!app || !app->IsReady() || window == kNoWindow)
        return false;
    SDL_Event event {};
    event.type = app->m_postEvent;
    event.user.windowID = window;
    event.user.code = static_cast<Sint32>(message);
    event.user.data1 = reinterpret_cast<void*>(wParam);
    event.user.data2 = reinterpret_cast<void*>(lParam);
    return SDL_PushEvent(&event) == 1;
}

bool Window::PreTranslateMessage(Message&)
{
    return false;
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
        Point local { point.x - m_rect.left, point.y - m_rect.top };
        if (!Rect { 0, 0, m_rect.Width(), m_rect.Height() }.Contains(local.x, local.y))
            return HTNOWHERE;
        if ((m_style & WS_CAPTION) == WS_CAPTION) {
            if ((m_style & WS_SYSMENU) && CloseButtonRect().Contains(local.x, local.y))
                return HTCLOSE;
            if (local.y < kFrameBorder + kCaptionHeight)
                return HTCAPTION;
        }
        Insets insets = FrameInsets();
        Rect client { insets.left, insets.top, m_rect.Width() - insets.right, m_rect.Height() - insets.bottom };
        return client.Contains(local.x, local.y) ? HTCLIENT : HTBORDER;
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
            app->m_drag = { m_root->m_handle, { point.x - m_root->m_rect.left, point.y - m_root->m_rect.top } };
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
    Size size = picture->GetSize();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture->GetPixels().data()),
        size.width, size.height, 32, size.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(m_root->m_sdlWindow, surface);
    SDL_FreeSurface(surface);
}

void Window::SetCaptionActive(bool active)
{
    if (m_captionActive == active)
        return;
    m_captionActive = active;
    MarkFrameDirty();
}

void Window::OnPaint(DrawContext&)
{
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

void Window::OnTimer(uintptr_t)
{
}

void Window::OnMouseMove(unsigned, Point)
{
}

void Window::OnLButtonDown(unsigned, Point)
{
}

void Window::OnLButtonUp(unsigned, Point)
{
}

void Window::OnRButtonDown(unsigned, Point)
{
}

void Window::OnRButtonUp(unsigned, Point)
{
}

void Window::OnKeyDown(unsigned, unsigned, unsigned)
{
}

void Window::OnChar(unsigned, unsigned, unsigned)
{
}

bool Window::OnSetCursor(Window* window, int hitTest, uint32_t message)
{
    return DefWindowProc(WM_SETCURSOR, window ? window->m_handle : kNoWindow, MAKELPARAM(hitTest, message)) != 0;
}

int Window::OnNcHitTest(Point point)
{
    return static_cast<int>(DefWindowProc(WM_NCHITTEST, 0, PointToLParam(point)));
}

bool Window::OnNcActivate(bool active)
{
    return DefWindowProc(WM_NCACTIVATE, active ? 1 : 0, 0) != 0;
}

void Window::OnActivate(bool)
{
}

void Window::OnSize(int, int)
{
}

void Window::OnClose()
{
    DefWindowProc(WM_CLOSE, 0, 0);
}

void Window::OnSysCommand(unsigned command, LPARAM lParam)
{
    DefWindowProc(WM_SYSCOMMAND, command, lParam);
}

bool Window::OnCommand(WPARAM, LPARAM)
{
    return false;
}

const Brush* Window::OnCtlColor(DrawContext&, Window*, unsigned)
{
    return nullptr;
}

const Brush* Window::CtlColor(DrawContext&, unsigned)
{
    return nullptr;
}

const Brush* Window::ControlColors(DrawContext& dc, unsigned type)
{
    // A control that answers for itself (a reflected message) wins.
    if (const Brush* brush = CtlColor(dc, type))
        return brush;
    return m_parent ? m_parent->OnCtlColor(dc, this, type) : nullptr;
}

Rect Window::CloseButtonRect() const
{
    int right = m_rect.Width() - kFrameBorder;
    return { right - kCloseButtonWidth, kFrameBorder, right, kFrameBorder + kCaptionHeight };
}

void Window::OnNcPaint(DrawContext& dc)
{
    Insets insets = FrameInsets();
    if (insets.top == 0 && insets.left == 0)
        return;
    Rect whole { 0, 0, m_rect.Width(), m_rect.Height() };
    const CaptionColors colours = CaptionColors::For(m_captionActive);
    COLORREF frame = colours.frame;
    dc.FillSolidRect({ 0, 0, whole.right, insets.top }, frame);
    dc.FillSolidRect({ 0, 0, insets.left, whole.bottom }, frame);
    dc.FillSolidRect({ whole.right - insets.right, 0, whole.right, whole.bottom }, frame);
    dc.FillSolidRect({ 0, whole.bottom - insets.bottom, whole.right, whole.bottom }, frame);
    if ((m_style & WS_CAPTION) != WS_CAPTION)
        return;
    Rect band { kFrameBorder, kFrameBorder, whole.right - kFrameBorder, kFrameBorder + kCaptionHeight };
    dc.FillSolidRect(band, colours.band);
    dc.SelectFont(CaptionFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colours.text);
    Rect title { band.left + kCaptionTextIndent, band.top, band.right - kCloseButtonWidth, band.bottom };
    dc.DrawText(m_text, title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (m_style & WS_SYSMENU) {
        // A cross of two thick diagonals.
        Rect button = CloseButtonRect();
        int cx = (button.left + button.right) / 2;
        int cy = (button.top + button.bottom) / 2;
        constexpr int kArm = 5;
        Pen pen(PS_SOLID, colours.text);
        const Pen* old = dc.SelectPen(&pen);
        for (int shift = 0; shift < 2; ++shift) {
            dc.MoveTo(cx - kArm + shift, cy - kArm);
            dc.LineTo(cx + kArm + 1 + shift, cy + kArm + 1);
            dc.MoveTo(cx + kArm + shift, cy - kArm);
            dc.LineTo(cx - kArm - 1 + shift, cy + kArm + 1);
        }
        dc.SelectPen(old);
    }
}

uintptr_t Window::SetTimer(uintptr_t id, uint32_t periodMs)
{
    Application* app = Application::Get();
    if (!app || !IsCreated())
        return 0;
    {
        std::lock_guard guard(app->m_stateLock);
        uint32_t due = GetTickCount() + periodMs;
        auto found = std::find_if(app->m_timers.begin(), app->m_timers.end(),
            [&](const Application::Timer& timer) { return timer.window == m_handle && timer.id == id; });
        if (found != app->m_timers.end())
            *found = { m_handle, id, periodMs, due };
        else
            app->m_timers.push_back({ m_handle, id, periodMs, due });
    }
    app->WakeUp();
    return id;
}

bool Window::KillTimer(uintptr_t id)
{
    Application* app = Application::Get();
    if (!app)
        return false;
    std::lock_guard guard(app->m_stateLock);
    return std::erase_if(app->m_timers,
               [&](const Application::Timer& timer) { return timer.window == m_handle && timer.id == id; })
        > 0;
}

int Window::RunModalLoop(unsigned)
{
    Application* app = Application::Get();
    if (!app || !IsCreated() || !app->IsInterfaceThread())
        return -1;
    WindowHandle handle = m_handle;
    m_modalRunning = true;
    app->m_modalResults[handle] = -1;
    app->m_modalStack.push_back(handle);
    // The window may be destroyed by a handler: ask the registry, not it.
    while (FromHandle(handle) == this && m_modalRunning && !app->IsQuitting())
        app->PumpMessages(true);
    std::erase(app->m_modalStack, handle);
    int result = app->m_modalResults[handle];
    app->m_modalResults.erase(handle);
    if (FromHandle(handle) == this)
        m_modalRunning = false;
    return result;
}

void Window::EndModalLoop(int result)
{
    Application* app = Application::Get();
    if (!app || !IsCreated())
        return;
    if (app->m_modalResults.contains(m_handle))
        app->m_modalResults[m_handle] = result;
    m_modalRunning = false;
    app->WakeUp();
}

void Window::SetCapture()
{
    if (Application* app = Application::Get(); app && IsCreated()) {
        app->m_capture = m_handle;
        SDL_CaptureMouse(SDL_TRUE);
    }
}

void Window::ReleaseCapture()
{
    Application* app = Application::Get();
    if (!app || app->m_capture == kNoWindow)
        return;
    Window* old = FromHandle(app->m_capture);
    app->m_capture = kNoWindow;
    SDL_CaptureMouse(SDL_FALSE);
    if (old)
        old->SendMessage(WM_CAPTURECHANGED);
}

Window* Window::GetCapture()
{
    Application* app = Application::Get();
    return app ? FromHandle(app->m_capture) : nullptr;
}

void Window::SetFocus()
{
    Application* app = Application::Get();
    if (!app || !IsCreated() || app->m_focus == m_handle)
        return;
    Window* old = FromHandle(app->m_focus);
    app->m_focus = m_handle;
    if (old)
        old->SendMessage(WM_KILLFOCUS);
    if (FromHandle(m_handle) == this)
        SendMessage(WM_SETFOCUS);
}

Window* Window::GetFocus()
{
    Application* app = Application::Get();
    return app ? FromHandle(app->m_focus) : nullptr;
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
    return app ? FromHandle(app->m_active) : nullptr;
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
