#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/window/ClientBuffer.h"
#include "platform/window/FrameCompositor.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/WindowFrame.h"
#include "platform/window/WindowTypes.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

class Bitmap;
class Brush;
class DrawContext;
class Font;
class Icon;
class PopupMenu;

// Control-color requests (the type argument of OnCtlColor and CtlColor).
inline constexpr unsigned CTLCOLOR_MSGBOX = 0;
inline constexpr unsigned CTLCOLOR_EDIT = 1;
inline constexpr unsigned CTLCOLOR_BTN = 3;
inline constexpr unsigned CTLCOLOR_DLG = 4;
inline constexpr unsigned CTLCOLOR_STATIC = 6;

// A window: a top-level SDL window (WS_POPUP) or a child inside another
// window (WS_CHILD). Every window's client area is a pixel buffer of its own,
// drawn with the drawing layer; the interface thread composes a top-level
// window with its children and presents what changed.
//
// Messages are handled on the interface thread, the one that created the
// Application. Any thread may post a message, and any thread may draw into
// the client buffer through a ClientDC, which holds the buffer's lock.
class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Creates the window. For a child `parent` is the parent and `rect` is in
    // its client coordinates; for a top-level window `parent` is the owner
    // (may be null) and `rect` is on the screen. `text` is CP932.
    bool Create(uint32_t style, uint32_t exStyle, const Rect& rect, Window* parent, int id = 0,
        std::string_view text = {});
    // Takes the place of the parent's control `id`: same place, size,
    // style, text, font and tab position; the old control is destroyed.
    bool SubclassDlgItem(int id, Window* parent);
    // Destroys the children, then the window. Safe to call twice.
    virtual bool DestroyWindow();

    WindowHandle GetHandle() const { return m_handle; }
    bool IsCreated() const { return m_handle != kNoWindow; }
    static Window* FromHandle(WindowHandle handle);
    uint32_t GetStyle() const { return m_style; }
    uint32_t GetExStyle() const { return m_exStyle; }
    void ModifyStyle(uint32_t remove, uint32_t add);
    bool IsChild() const { return (m_style & WS_CHILD) != 0; }
    int GetDlgCtrlID() const { return m_id; }
    Window* GetParent() const { return m_parent; }
    Window* GetOwner() const { return m_owner; }
    // The top-level window this one lies in (itself for a top-level window).
    Window* GetTopLevel() { return m_root; }
    const std::vector<Window*>& GetChildren() const { return m_children; }
    // The child with control id `id`, searched depth-first.
    Window* GetDlgItem(int id) const;

    // Geometry. A window rectangle is on the screen for top-level windows and
    // in the parent's client coordinates for children; the client rectangle
    // starts at (0, 0).
    Rect GetWindowRect() const;
    Rect GetClientRect() const;
    Point ClientToScreen(Point point) const;
    Point ScreenToClient(Point point) const;
    bool SetWindowPos(ZOrder order, int x, int y, int width, int height, unsigned flags);
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
    bool MoveWindow(const Rect& rect, bool repaint = true);
    void CenterWindow(const Window* over = nullptr);

    bool ShowWindow(int command);
    // Visible when this window and all its parents are.
    bool IsWindowVisible() const;
    bool IsIconic() const { return m_minimized; }
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const { return (m_style & WS_DISABLED) == 0; }

    void SetWindowText(std::string_view text);
    const std::string& GetWindowText() const { return m_text; }
    // WM_SETFONT: a null font stands for the default face.
    void SetFont(std::shared_ptr<const Font> font, bool redraw = true);
    std::shared_ptr<const Font> GetFont() const;

    // Painting. Invalidated parts get WM_ERASEBKGND and WM_PAINT once the
    // queue is empty. Safe from any thread.
    void Invalidate(bool erase = true) { InvalidateRect(nullptr, erase); }
    void InvalidateRect(const Rect* rect, bool erase = true);
    void ValidateRect(const Rect* rect) { m_client.Validate(rect); }
    // Sends WM_PAINT now when something is invalid.
    void UpdateWindow();
    // The class background: what WM_ERASEBKGND fills with (kNoColor: nothing).
    void SetBackgroundColor(COLORREF color);
    COLORREF GetBackgroundColor() const { return m_background; }

    // Messages.
    LRESULT SendMessage(uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Safe from any thread; false when the window or application is gone.
    bool PostMessage(uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    static bool PostMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam);
    // Called for every input and posted message aimed at this window or one
    // of its children before it is dispatched; true swallows the message.
    virtual bool PreTranslateMessage(Message&) { return false; }
    virtual LRESULT WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam);

    // Timers fire WM_TIMER on the interface thread every `periodMs` of the
    // platform clock; setting an existing id restarts it.
    uintptr_t SetTimer(uintptr_t id, uint32_t periodMs);
    bool KillTimer(uintptr_t id);

    // Runs messages until EndModalLoop; while it runs only this window, its
    // children and the windows it owns take input, and every window keeps
    // painting and every timer firing.
    int RunModalLoop(unsigned flags = 0);
    void EndModalLoop(int result);
    bool IsModalLoopRunning() const { return m_modalRunning; }

    // Mouse capture: every mouse message goes to this window.
    void SetCapture();
    static void ReleaseCapture();
    static Window* GetCapture();
    void SetFocus();
    static Window* GetFocus();
    // Brings the window up and makes it the active one.
    void SetForegroundWindow();
    static Window* GetActiveWindow();
    // Whether the caption shows the active colors.
    bool IsCaptionActive() const { return m_captionActive; }

    // The window's system menu, made on first use; `revert` restores the
    // standard items.
    PopupMenu& GetSystemMenu(bool revert = false);

    // The SDL window's id (0 for a child window); tests address events with it.
    uint32_t GetSdlWindowId() const { return m_sdlWindow.GetId(); }
    // The desktop's window (empty for a child window).
    SdlWindow& GetSdlWindow() { return m_sdlWindow; }
    const SdlWindow& GetSdlWindow() const { return m_sdlWindow; }

    // What the desktop did to a top-level window: shown it again (from an
    // icon, when `restored`), made it an icon, or moved it to `topLeft`.
    void DesktopExposed(bool restored);
    void DesktopMinimized() { m_minimized = true; }
    void DesktopMoved(Point topLeft);
    // Presents a top-level window when its picture changed. Interface
    // thread only.
    void PresentChanges();
    // The client area's top-left corner in the top-level window's frame.
    Point GetClientOriginInFrame() const;
    // The client buffer, which the compositor reads; draw into it through
    // a ClientDC.
    ClientBuffer& GetClientBuffer() { return m_client; }
    const ClientBuffer& GetClientBuffer() const { return m_client; }
    // The deepest visible, enabled window under `screenPoint`, this one when
    // no child is there.
    Window* ChildFromPoint(Point screenPoint);

    // The color last presented at (x, y) of the window (window coordinates
    // of the top-level window). For tests and the screen image.
    COLORREF GetPresentedPixel(int x, int y) const { return m_root->m_sdlWindow.GetSurfacePixel(x, y); }

protected:
    // Handlers. Each default does what the window's default procedure does.
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() { }
    virtual void OnPaint(DrawContext&) { }
    virtual bool OnEraseBkgnd(DrawContext& dc);
    virtual void OnTimer(uintptr_t) { }
    virtual void OnMouseMove(unsigned, Point) { }
    virtual void OnLButtonDown(unsigned, Point) { }
    virtual void OnLButtonUp(unsigned, Point) { }
    virtual void OnRButtonDown(unsigned, Point) { }
    virtual void OnRButtonUp(unsigned, Point) { }
    virtual void OnKeyDown(unsigned /*virtualKey*/, unsigned /*repeatCount*/, unsigned /*keyData*/) { }
    // One character typed: a CP932 byte, or lead << 8 | trail.
    virtual void OnChar(unsigned /*character*/, unsigned /*repeatCount*/, unsigned /*keyData*/) { }
    virtual bool OnSetCursor(Window* window, int hitTest, uint32_t message)
    {
        return DefWindowProc(WM_SETCURSOR, window ? window->m_handle : kNoWindow, MAKELPARAM(hitTest, message)) != 0;
    }
    // `point` is on the screen.
    virtual int OnNcHitTest(Point point)
    {
        return static_cast<int>(DefWindowProc(WM_NCHITTEST, 0, PointToLParam(point)));
    }
    virtual bool OnNcActivate(bool active) { return DefWindowProc(WM_NCACTIVATE, active ? 1 : 0, 0) != 0; }
    virtual void OnActivate(bool /*active*/) { }
    virtual void OnSetFocus() { }
    virtual void OnKillFocus() { }
    virtual void OnSize(int /*width*/, int /*height*/) { }
    virtual void OnClose() { DefWindowProc(WM_CLOSE, 0, 0); }
    virtual void OnSysCommand(unsigned command, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, command, lParam); }
    // True when the command was handled.
    virtual bool OnCommand(WPARAM, LPARAM) { return false; }
    // A control's own colors (the reflected message), asked first before it
    // paints: set the colors in `dc` and return the background brush, or
    // null to leave it to the parent.
    virtual const Brush* CtlColor(DrawContext&, unsigned /*type*/) { return nullptr; }
    // Asked for a child whose own CtlColor gave nothing; null lets the child
    // paint with its defaults.
    virtual const Brush* OnCtlColor(DrawContext&, Window* /*control*/, unsigned /*type*/) { return nullptr; }
    // Draws the frame and caption of a WS_CAPTION window into `dc`, whose
    // origin is the window's top-left corner.
    virtual void OnNcPaint(DrawContext& dc) { GetFrame().Paint(dc, m_text, m_captionActive); }
    // Where the system menu opens, in screen coordinates: the client area's
    // top-left, just below a drawn caption. A window that draws its own
    // caption names the point below its caption icon.
    virtual Point GetSystemMenuAnchor() const { return ClientToScreen({ 0, 0 }); }

    // Copies what the parent's client buffer holds under this child into
    // `dc`, so that the parent shows through.
    void CopyParentBackground(DrawContext& dc);

    // The brush and colors a control paints with: its CtlColor, else the
    // parent's OnCtlColor; null for the defaults.
    const Brush* ControlColors(DrawContext& dc, unsigned type);

private:
    friend class ClientDC;
    friend class Dialog;

    // What the frame and caption we draw take around the client area.
    WindowFrame::Insets GetFrameInsets() const { return WindowFrame::InsetsFor(m_style); }
    WindowFrame GetFrame() const;
    void ResizeBuffer();
    void MarkDirty(const Rect& rect);
    void MarkFrameDirty();
    void DispatchPaint();
    void ApplyTopLevelPosition();
    void SetCaptionActive(bool active);
    void ShowSystemMenu(Point at);
    void SetDesktopIcon(const Icon& icon);

    WindowHandle m_handle = kNoWindow;
    uint32_t m_style = 0;
    uint32_t m_exStyle = 0;
    int m_id = 0;
    std::string m_text;
    Rect m_rect;
    Window* m_parent = nullptr;
    Window* m_owner = nullptr;
    Window* m_root = this;
    std::vector<Window*> m_children;  // bottom to top
    SdlWindow m_sdlWindow;
    bool m_visible = false;
    bool m_minimized = false;
    bool m_captionActive = false;
    bool m_modalRunning = false;
    COLORREF m_background = RGB(255, 255, 255);
    std::unique_ptr<PopupMenu> m_systemMenu;

    // Shared with drawing threads.
    ClientBuffer m_client;

    // Top-level windows: the composed picture.
    FrameCompositor m_compositor;
};

}
