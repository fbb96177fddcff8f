#include "platform/window/SdlWindow.h"

#include "platform/gdi/Bitmap.h"
#include "platform/window/WindowTypes.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace lumarra {

namespace {

constexpr size_t kFrameBytesPerPixel = 4;

}

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
    return SdlWindow(SDL_CreateWindow(title, rect.left, rect.top, std::max(1, rect.Width()),
        std::max(1, rect.Height()), flags));
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
        SDL_SetWindowSize(m_window.get(), std::max(1, width), std::max(1, height));
}

void SdlWindow::SetPosition(int x, int y)
{
    if (m_window)
        SDL_SetWindowPosition(m_window.get(), x, y);
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
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), size.width,
        size.height, 32, size.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(m_window.get(), surface);
    SDL_FreeSurface(surface);
}

void SdlWindow::UpdateSurface(const Bitmap& frame, const std::vector<Rect>& areas)
{
    SDL_Surface* surface = m_window ? SDL_GetWindowSurface(m_window.get()) : nullptr;
    if (!surface)
        return;
    std::vector<SDL_Rect> updates;
    Rect whole { 0, 0, frame.Width(), frame.Height() };
    Rect surfaceRect { 0, 0, surface->w, surface->h };
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    for (const Rect& area : areas) {
        Rect copy = area.Intersect(whole).Intersect(surfaceRect);
        if (copy.IsEmpty())
            continue;
        const uint8_t* source = frame.Row(copy.top) + static_cast<size_t>(copy.left) * kFrameBytesPerPixel;
        uint8_t* target = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(copy.top) * surface->pitch
            + static_cast<size_t>(copy.left) * surface->format->BytesPerPixel;
        SDL_ConvertPixels(copy.Width(), copy.Height(), SDL_PIXELFORMAT_RGB888, source, frame.Stride(),
            surface->format->format, target, surface->pitch);
        updates.push_back({ copy.left, copy.top, copy.Width(), copy.Height() });
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (!updates.empty())
        SDL_UpdateWindowSurfaceRects(m_window.get(), updates.data(), static_cast<int>(updates.size()));
}

COLORREF SdlWindow::GetSurfacePixel(int x, int y) const
{
    SDL_Surface* surface = m_window ? SDL_GetWindowSurface(m_window.get()) : nullptr;
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

}
