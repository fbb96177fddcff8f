#include "platform/window/ClientDC.h"

#include "platform/gdi/Bitmap.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace lumarra {

ClientDC::ClientDC(Window& window)
    : m_window(window)
    , m_lock(window.m_client.GetLock())
    , m_dc(window.m_client.GetBitmap())
{
    m_dc.SelectFont(window.m_client.GetFont());
}

ClientDC::~ClientDC()
{
    if (IsValid())
        m_window.MarkDirty(m_marked ? m_dirty : m_window.m_client.GetRect());
}

void ClientDC::MarkDirty(const Rect& rect)
{
    if (rect.IsEmpty())
        return;
    if (!m_marked || m_dirty.IsEmpty()) {
        m_dirty = rect;
    } else {
        m_dirty = { std::min(m_dirty.left, rect.left), std::min(m_dirty.top, rect.top),
            std::max(m_dirty.right, rect.right), std::max(m_dirty.bottom, rect.bottom) };
    }
    m_marked = true;
}

}
