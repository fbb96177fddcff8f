#include "platform/window/SdlWindow.h"

#include "platform/gdi/Bitmap.h"
#include "platform/window/ScreenScale.h"
#include "platform/window/WindowTypes.h"

#include <SDL.h>
#include <algorithm>

namespace lumarra {

void SdlWindow::Destroy::operator()(SDL_Window* window) const
{
    SDL_DestroyWindow(window);
}

SdlWindow SdlWindow::Open(const char* title, const Rect& rect, uint32_t exStyle)
{
    // We draw every frame and caption ourselves, and show the window once
    // its first picture is ready.
    uint32_t flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (exStyle & WS_EX_TOPMOST)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (exStyle & WS_EX_TOOLWINDOW)
        flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_POPUP_MENU;
    // SDL works in screen pixels; the layer above in its own units.
    return SdlWindow(SDL_CreateWindow(title, ScreenScale::ToScreen(rect.left), ScreenScale::ToScreen(rect.top),
        ScreenScale::ToScreen(std::max(1, rect.GetWidth())), ScreenScale::ToScreen(std::max(1, rect.GetHeight())),
        flags));
}

uint32_t SdlWindow::GetId() const
{
    return m_window ? SDL_GetWindowID(m_window.get()) : 0;
}

void SdlWindow::SetModalFor(const SdlWindow& owner)
{
    if (m_window && owner.m_window)
        SDL_SetWindowModalFor(m_window.get(), owner.m_window.get());
}

void SdlWindow::SetTitle(const char* utf8)
{
    if (m_window)
        SDL_SetWindowTitle(m_window.get(), utf8);
}

void SdlWindow::SetSize(int width, int height)
{
    if (m_window)
        SDL_SetWindowSize(m_window.get(), ScreenScale::ToScreen(std::max(1, width)),
            ScreenScale::ToScreen(std::max(1, height)));
}

void SdlWindow::SetPosition(int x, int y)
{
    if (m_window)
        SDL_SetWindowPosition(m_window.get(), ScreenScale::ToScreen(x), ScreenScale::ToScreen(y));
}

void SdlWindow::SetAlwaysOnTop(bool topMost)
{
    if (m_window)
        SDL_SetWindowAlwaysOnTop(m_window.get(), topMost ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::Show(bool activate)
{
    if (!m_window)
        return;
    if (!activate)
        SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
    SDL_ShowWindow(m_window.get());
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "0");
}

void SdlWindow::Hide()
{
    if (m_window)
        SDL_HideWindow(m_window.get());
}

void SdlWindow::Minimize()
{
    if (m_window)
        SDL_MinimizeWindow(m_window.get());
}

void SdlWindow::Restore()
{
    if (m_window)
        SDL_RestoreWindow(m_window.get());
}

void SdlWindow::Raise()
{
    if (m_window)
        SDL_RaiseWindow(m_window.get());
}

void SdlWindow::SetIcon(const uint32_t* pixels, Size size)
{
    if (!m_window)
        return;
    // SDL copies the pixels; the surface only lends them for the call.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), size.width, size.height,
        32, size.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(m_window.get(), surface);
    SDL_FreeSurface(surface);
}

void SdlWindow::UpdateSurface(const Bitmap& frame, const std::vector<Rect>& areas)
{
    if (m_window)
        ScreenScale::Present(m_window.get(), frame, areas);
}

COLORREF SdlWindow::GetSurfacePixel(int x, int y) const
{
    return ScreenScale::PresentedPixel(m_window.get(), x, y);
}

}
