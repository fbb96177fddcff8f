#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <span>
#include <vector>

struct SDL_Window;

namespace lumarra {

class Bitmap;

// The whole-number factor between the window layer's units and the screen's
// pixels. Windows, dialogs and message boxes are laid out, drawn and
// hit-tested at 1×; the screen shows each of their pixels as a factor × factor
// block, and pointer positions are divided back, so every coordinate above
// this layer stays what it is at 1×. The factor is process-wide and read from
// any thread.
class ScreenScale {
public:
    static constexpr int kMaxFactor = 8;

    // The factor for a work area of `workArea` screen pixels on a desktop
    // whose own scale is `desktopScale`: `override` when it is a whole number
    // from 1 to kMaxFactor (LUMARRA_SCALE); otherwise the largest factor
    // that keeps the game's main window inside the work area, up to 2 or the
    // desktop's scale when that is higher; never below 1.
    static int Choose(Size workArea, int desktopScale, const char* override);
    // Sets the factor from the first display. Called once video is up, before
    // the first window opens.
    static void ChooseForDisplay();

    static int Factor();
    static void SetFactor(int factor);

    static int ToScreen(int units) { return units * Factor(); }
    static Point ToScreen(Point point) { return { ToScreen(point.x), ToScreen(point.y) }; }
    // Rounds towards minus infinity, so a pixel left of or above a window's
    // origin never maps onto its first column or row.
    static int FromScreen(int pixels);
    static Point FromScreen(Point point) { return { FromScreen(point.x), FromScreen(point.y) }; }
    static Rect FromScreen(const Rect& rect);
    static Size FromScreen(Size size) { return { FromScreen(size.width), FromScreen(size.height) }; }

    // A picture of `size` (one 32-bit value per pixel) with each pixel as a
    // block of the factor's size, for what SDL shows on its own (cursors).
    static std::vector<uint32_t> Enlarge(std::span<const uint32_t> pixels, Size size);

    // Copies `areas` of `frame` (32-bit rows, in the layer's units) onto the
    // window's surface, each pixel as a block of the factor's size, and shows
    // them.
    static void Present(SDL_Window* window, const Bitmap& frame, std::span<const Rect> areas);
    // The color shown for the frame's pixel (x, y); CLR_INVALID outside.
    static COLORREF PresentedPixel(SDL_Window* window, int x, int y);
};

}
