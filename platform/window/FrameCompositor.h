#pragma once

#include "platform/gdi/GdiTypes.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace lumarra {

class Bitmap;
class DrawContext;
class SdlWindow;
class Window;

// The picture of a top-level window: the frame and caption drawn around
// the client area, with the client buffers of the window and its visible
// children composed inside, of which what changed is shown on the desktop.
class FrameCompositor {
public:
    FrameCompositor();
    ~FrameCompositor();
    FrameCompositor(const FrameCompositor&) = delete;
    FrameCompositor& operator=(const FrameCompositor&) = delete;

    // Something in the window's tree was drawn. Safe from any thread.
    void MarkChanged() { m_changed = true; }
    // The frame and caption must be painted again.
    void MarkFrameDirty() { m_frameDirty = true; }
    bool HasChanges() const { return m_changed || m_frameDirty; }
    void Reset();

    // Composes what changed in `root`, a shown top-level window, and its
    // children since the last call, with the frame and caption painted by
    // `paintFrame` when they changed, and shows it in `target`.
    void Present(Window& root, SdlWindow& target, const std::function<void(DrawContext&)>& paintFrame);

private:
    // The dirty parts of `window`'s tree in frame coordinates; leaves them clean.
    static void CollectDirty(Window& window, std::vector<Rect>& out);
    // Copies `area` of `window` and its children into `frame`, within `clip`.
    static void ComposeInto(const Window& window, Bitmap& frame, const Rect& area, const Rect& clip);

    std::unique_ptr<Bitmap> m_frame;
    std::atomic<bool> m_changed { false };
    bool m_frameDirty = true;
};

}
