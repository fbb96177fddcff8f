#include "platform/window/ScreenScale.h"

#include "platform/gdi/Bitmap.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace lumarra {

namespace {

// The game's main window with its caption and border, the largest window it
// opens: a factor is chosen only when this fits the work area that often.
constexpr Size kMainWindowSize { 984, 628 };
// Without a higher scale of the desktop's own, a large screen gets this much.
constexpr int kLargeScreenFactor = 2;
// The pixel density that a desktop scale of 1 stands for.
constexpr float kBaseDpi = 96.0f;

std::atomic<int> g_factor { 1 };

int ParseFactor(const char* text)
{
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > ScreenScale::kMaxFactor)
        return 0;
    return static_cast<int>(value);
}

// The desktop's own scale: GDK_SCALE where the desktop sets it, else the
// display's density over 96 dpi, rounded; 1 when neither is known.
int DesktopScale()
{
    if (int scale = ParseFactor(std::getenv("GDK_SCALE")))
        return scale;
    float dpi = 0;
    if (SDL_GetDisplayDPI(0, nullptr, &dpi, nullptr) != 0 || !(dpi > 0))
        return 1;
    return std::clamp(static_cast<int>(std::lround(dpi / kBaseDpi)), 1, ScreenScale::kMaxFactor);
}

// Copies one row of `count` pixels, each pixel `factor` times.
void WidenRow(const uint8_t* source, uint8_t* target, int count, int bytesPerPixel, int factor)
{
    for (int x = 0; x < count; ++x) {
        const uint8_t* pixel = source + static_cast<size_t>(x) * bytesPerPixel;
        for (int copy = 0; copy < factor; ++copy, target += bytesPerPixel)
            std::memcpy(target, pixel, static_cast<size_t>(bytesPerPixel));
    }
}

// Copies `area` of the frame into the surface at `factor`; the surface part
// it filled, in its pixels.
SDL_Rect CopyArea(const Bitmap& frame, const Rect& area, SDL_Surface& surface, int factor,
    std::vector<uint8_t>& rowBuffer)
{
    int bytesPerPixel = surface.format->BytesPerPixel;
    // Only whole blocks: a surface a few pixels short of the frame loses
    // the frame's last partial pixel.
    Rect shown = area.Intersect({ 0, 0, surface.w / factor, surface.h / factor });
    if (shown.IsEmpty())
        return { 0, 0, 0, 0 };
    auto* pixels = static_cast<uint8_t*>(surface.pixels);
    size_t targetX = static_cast<size_t>(shown.left) * factor * bytesPerPixel;
    if (factor == 1) {
        SDL_ConvertPixels(shown.GetWidth(), shown.GetHeight(), SDL_PIXELFORMAT_RGB888,
            frame.Row(shown.top) + static_cast<size_t>(shown.left) * 4, frame.GetStride(), surface.format->format,
            pixels + static_cast<size_t>(shown.top) * surface.pitch + targetX, surface.pitch);
        return { shown.left, shown.top, shown.GetWidth(), shown.GetHeight() };
    }
    size_t rowBytes = static_cast<size_t>(shown.GetWidth()) * bytesPerPixel;
    size_t wideBytes = rowBytes * factor;
    rowBuffer.resize(rowBytes);
    for (int y = shown.top; y < shown.bottom; ++y) {
        SDL_ConvertPixels(shown.GetWidth(), 1, SDL_PIXELFORMAT_RGB888,
            frame.Row(y) + static_cast<size_t>(shown.left) * 4, frame.GetStride(), surface.format->format,
            rowBuffer.data(), static_cast<int>(rowBytes));
        uint8_t* first = pixels + static_cast<size_t>(y) * factor * surface.pitch + targetX;
        WidenRow(rowBuffer.data(), first, shown.GetWidth(), bytesPerPixel, factor);
        for (int copy = 1; copy < factor; ++copy)
            std::memcpy(first + static_cast<size_t>(copy) * surface.pitch, first, wideBytes);
    }
    return { shown.left * factor, shown.top * factor, shown.GetWidth() * factor, shown.GetHeight() * factor };
}

}

int ScreenScale::Choose(Size workArea, int desktopScale, const char* override)
{
    if (int factor = ParseFactor(override))
        return factor;
    int fits = std::min(workArea.width / kMainWindowSize.width, workArea.height / kMainWindowSize.height);
    int wanted = std::max(kLargeScreenFactor, desktopScale);
    return std::clamp(std::min(fits, wanted), 1, kMaxFactor);
}

void ScreenScale::ChooseForDisplay()
{
    SDL_Rect usable {};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        usable = { 0, 0, 0, 0 };
    SetFactor(Choose({ usable.w, usable.h }, DesktopScale(), std::getenv("LUMARRA_SCALE")));
}

int ScreenScale::Factor()
{
    return g_factor.load(std::memory_order_relaxed);
}

void ScreenScale::SetFactor(int factor)
{
    g_factor.store(std::clamp(factor, 1, kMaxFactor), std::memory_order_relaxed);
}

int ScreenScale::FromScreen(int pixels)
{
    int factor = Factor();
    int units = pixels / factor;
    return pixels % factor < 0 ? units - 1 : units;
}

Rect ScreenScale::FromScreen(const Rect& rect)
{
    return { FromScreen(rect.left), FromScreen(rect.top), FromScreen(rect.right), FromScreen(rect.bottom) };
}

std::vector<uint32_t> ScreenScale::Enlarge(std::span<const uint32_t> pixels, Size size)
{
    int factor = Factor();
    if (size.width <= 0 || size.height <= 0 || pixels.size() < static_cast<size_t>(size.width) * size.height)
        return {};
    size_t wide = static_cast<size_t>(size.width) * factor;
    std::vector<uint32_t> enlarged(wide * size.height * factor);
    for (int y = 0; y < size.height; ++y) {
        uint32_t* first = enlarged.data() + static_cast<size_t>(y) * factor * wide;
        WidenRow(reinterpret_cast<const uint8_t*>(pixels.data() + static_cast<size_t>(y) * size.width),
            reinterpret_cast<uint8_t*>(first), size.width, sizeof(uint32_t), factor);
        for (int copy = 1; copy < factor; ++copy)
            std::copy(first, first + wide, first + copy * wide);
    }
    return enlarged;
}

void ScreenScale::Present(SDL_Window* window, const Bitmap& frame, std::span<const Rect> areas)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface)
        return;
    int factor = Factor();
    std::vector<SDL_Rect> updates;
    std::vector<uint8_t> rowBuffer;
    Rect whole { 0, 0, frame.GetWidth(), frame.GetHeight() };
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    for (const Rect& area : areas) {
        SDL_Rect update = CopyArea(frame, area.Intersect(whole), *surface, factor, rowBuffer);
        if (update.w > 0 && update.h > 0)
            updates.push_back(update);
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (!updates.empty())
        SDL_UpdateWindowSurfaceRects(window, updates.data(), static_cast<int>(updates.size()));
}

COLORREF ScreenScale::PresentedPixel(SDL_Window* window, int x, int y)
{
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    int factor = Factor();
    if (!surface || x < 0 || y < 0 || x >= surface->w / factor || y >= surface->h / factor)
        return CLR_INVALID;
    const uint8_t* pixel = static_cast<const uint8_t*>(surface->pixels)
        + static_cast<size_t>(y) * factor * surface->pitch
        + static_cast<size_t>(x) * factor * surface->format->BytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, pixel, std::min<size_t>(4, surface->format->BytesPerPixel));
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return RGB(r, g, b);
}

}
