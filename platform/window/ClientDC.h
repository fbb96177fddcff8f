#pragma once

#include "platform/gdi/DrawContext.h"
#include "platform/gdi/GdiTypes.h"

#include <mutex>

namespace lumarra {

class Window;

// Draws into a window's client buffer from any thread. Holds the buffer's
// lock for its whole life, starts with the window's font selected, and on
// destruction marks what was drawn (the rectangles given to MarkDirty, else
// the whole client area) for the interface thread to present.
class ClientDC {
public:
    explicit ClientDC(Window& window);
    ~ClientDC();
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;

    DrawContext& operator*() { return m_dc; }
    DrawContext* operator->() { return &m_dc; }
    // False when the window has no client buffer (destroyed, or empty).
    bool IsValid() const { return m_dc.GetBitmap() != nullptr; }
    void MarkDirty(const Rect& rect);

private:
    Window& m_window;
    std::unique_lock<std::recursive_mutex> m_lock;
    DrawContext m_dc;
    Rect m_dirty;
    bool m_marked = false;
};

}
