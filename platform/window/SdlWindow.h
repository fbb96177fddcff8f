#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

struct SDL_Window;

namespace lumarra {

class Bitmap;

// Owns one SDL window and closes it when it goes. Calls on an empty one do
// nothing, so a child window, which has none, needs no checks of its own.
class SdlWindow {
public:
    SdlWindow() = default;
    // A hidden, borderless window at `rect` on the screen (at least 1×1),
    // titled with the UTF-8 `title`; WS_EX_TOPMOST and WS_EX_TOOLWINDOW in
    // `exStyle` keep it above the rest and off the taskbar. Empty when SDL
    // cannot make one.
    static SdlWindow Open(const char* title, const Rect& rect, uint32_t exStyle);

    explicit operator bool() const { return m_window != nullptr; }
    SDL_Window* Get() const { return m_window.get(); }
    void Close() { m_window.reset(); }
    // SDL's id of the window, 0 for an empty one.
    uint32_t GetId() const;

    // Keeps the window above `owner` on the desktop.
    void SetModalFor(const SdlWindow& owner);
    void SetTitle(const char* utf8);
    void SetSize(int width, int height);
    void SetPosition(int x, int y);
    void SetAlwaysOnTop(bool topMost);
    // Without `activate` the desktop leaves the focus where it is.
    void Show(bool activate);
    void Hide();
    void Minimize();
    void Restore();
    void Raise();
    // The desktop's picture of the window: `size` ARGB pixels, row by row.
    void SetIcon(const uint32_t* pixels, Size size);

    // Shows `areas` of `frame`, a 32-bit top-down picture of the whole
    // window in the layer's units, at the screen's scale.
    void UpdateSurface(const Bitmap& frame, const std::vector<Rect>& areas);
    // The color last shown at (x, y) of the window, in the layer's units;
    // CLR_INVALID outside it.
    COLORREF GetSurfacePixel(int x, int y) const;

private:
    struct Destroy {
        void operator()(SDL_Window* window) const;
    };

    explicit SdlWindow(SDL_Window* window)
        : m_window(window)
    {
    }

    std::unique_ptr<SDL_Window, Destroy> m_window;
};

}
