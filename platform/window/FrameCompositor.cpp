#include "platform/window/FrameCompositor.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/window/ClientBuffer.h"
#include "platform/window/SdlWindow.h"
#include "platform/window/Window.h"

namespace lumarra {

namespace {

// More changed areas than this are presented as one that holds them all:
// past it the copies cost more than the pixels they save.
constexpr size_t kMaxAreas = 16;

}

FrameCompositor::FrameCompositor() = default;
FrameCompositor::~FrameCompositor() = default;

void FrameCompositor::Reset()
{
    m_frame.reset();
}

void FrameCompositor::CollectDirty(Window& window, std::vector<Rect>& out)
{
    Rect dirty = window.GetClientBuffer().TakeDirty();
    if (window.IsWindowVisible() && !dirty.IsEmpty())
        out.push_back(OffsetRect(dirty, window.GetClientOriginInFrame()));
    for (Window* child : window.GetChildren())
        CollectDirty(*child, out);
}

void FrameCompositor::ComposeInto(const Window& window, Bitmap& frame, const Rect& area, const Rect& clip)
{
    if (!window.IsWindowVisible())
        return;
    Point origin = window.GetClientOriginInFrame();
    Rect client = window.GetClientRect();
    Rect placed = OffsetRect(client, origin);
    Rect visible = placed.Intersect(clip).Intersect(area);
    if (visible.IsEmpty())
        return;
    window.GetClientBuffer().CopyInto(frame, visible, origin);
    Rect inner = placed.Intersect(clip);
    for (const Window* child : window.GetChildren())
        ComposeInto(*child, frame, visible, inner);
}

void FrameCompositor::Present(Window& root, SdlWindow& target, const std::function<void(DrawContext&)>& paintFrame)
{
    m_changed = false;
    Rect rect = root.GetWindowRect();
    Rect whole { 0, 0, rect.GetWidth(), rect.GetHeight() };
    if (!m_frame || m_frame->GetWidth() != whole.GetWidth() || m_frame->GetHeight() != whole.GetHeight()) {
        m_frame = ClientBuffer::MakeTopDownBitmap(whole.GetWidth(), whole.GetHeight());
        m_frameDirty = true;
    }
    if (!m_frame)
        return;
    std::vector<Rect> areas;
    CollectDirty(root, areas);
    if (m_frameDirty) {
        m_frameDirty = false;
        DrawContext dc(m_frame.get());
        paintFrame(dc);
        areas.assign(1, whole);
    }
    if (areas.empty())
        return;
    if (areas.size() > kMaxAreas) {
        Rect bounds;
        for (const Rect& area : areas)
            bounds = UnionRect(bounds, area);
        areas.assign(1, bounds);
    }
    WindowFrame::Insets insets = WindowFrame::InsetsFor(root.GetStyle());
    Rect clientInFrame { insets.left, insets.top, whole.right - insets.right, whole.bottom - insets.bottom };
    for (const Rect& area : areas)
        ComposeInto(root, *m_frame, area.Intersect(whole), clientInFrame);
    target.UpdateSurface(*m_frame, areas);
}

}
