#include "platform/gdi/Screen.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/RasterOps.h"

#include <SDL.h>
#include <mutex>

namespace lumarra {

namespace {

constexpr Size kFallbackSize { 1024, 768 };

std::mutex g_lock;
Size g_size;
const Bitmap* g_image = nullptr;

}

Size Screen::GetSize()
{
    {
        std::lock_guard guard(g_lock);
        if (g_size.width > 0 && g_size.height > 0)
            return g_size;
    }
    SDL_DisplayMode mode;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
        return { mode.w, mode.h };
    return kFallbackSize;
}

void Screen::SetSize(Size size)
{
    std::lock_guard guard(g_lock);
    g_size = size;
}

void Screen::SetImage(const Bitmap* image)
{
    std::lock_guard guard(g_lock);
    g_image = image;
}

bool Screen::CopyTo(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY)
{
    std::lock_guard guard(g_lock);
    if (!g_image || !target.GetBitmap())
        return false;
    return BlitBitmap(*target.GetBitmap(), x, y, w, h, g_image, srcX, srcY, SRCCOPY);
}

}
