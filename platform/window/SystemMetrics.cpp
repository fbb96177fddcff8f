#include "platform/window/SystemMetrics.h"

#include "platform/gdi/Screen.h"
#include "platform/window/Cursor.h"
#include "platform/window/IconFile.h"
#include "platform/window/ScreenScale.h"

#include <SDL.h>
#include <mutex>

namespace lumarra {

namespace {

// The caption height SM_CYFULLSCREEN leaves out, as a Windows desktop has it.
constexpr int kSystemCaptionHeight = 23;

std::mutex g_lock;
Rect g_workAreaOverride;

}

Size GetScreenSize()
{
    return ScreenScale::FromScreen(Screen::GetSize());
}

Rect GetWorkArea()
{
    {
        std::lock_guard guard(g_lock);
        if (!g_workAreaOverride.IsEmpty())
            return g_workAreaOverride;
    }
    SDL_Rect usable;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0)
        return ScreenScale::FromScreen(Rect { usable.x, usable.y, usable.x + usable.w, usable.y + usable.h });
    Size screen = GetScreenSize();
    return { 0, 0, screen.width, screen.height };
}

void SetWorkAreaOverride(const Rect& area)
{
    std::lock_guard guard(g_lock);
    g_workAreaOverride = area;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return GetScreenSize().width;
    case SM_CYSCREEN:
        return GetScreenSize().height;
    case SM_CXFULLSCREEN:
        return GetWorkArea().GetWidth();
    case SM_CYFULLSCREEN:
        return GetWorkArea().GetHeight() - kSystemCaptionHeight;
    case SM_CXICON:
    case SM_CYICON:
        return kIconSize;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return kSmallIconSize;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return kSystemCursorSize;
    default:
        return 0;
    }
}

}
