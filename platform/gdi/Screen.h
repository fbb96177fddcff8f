#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

class Bitmap;
class DrawContext;

// The screen as the drawing layer sees it: its size (SM_CXSCREEN,
// SM_CYSCREEN) and, once the window layer presents one, the image on it.
class Screen {
public:
    // The size the window layer reported, else the first display's mode when
    // the video subsystem runs, else 1024 × 768.
    static Size GetSize();
    static void SetSize(Size size);

    // The window layer publishes the image it presents (null withdraws it).
    // The bitmap must stay alive until it is withdrawn.
    static void SetImage(const Bitmap* image);

    // Copies the screen rectangle (srcX, srcY, w, h) to (x, y) in `target`
    // with SRCCOPY. False when no screen image exists.
    static bool CopyTo(DrawContext& target, int x, int y, int w, int h, int srcX, int srcY);
};

}
