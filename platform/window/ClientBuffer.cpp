#include "platform/window/ClientBuffer.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lumarra {

namespace {

constexpr size_t kBytesPerPixel = 4;

}

Rect UnionRect(const Rect& a, const Rect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

Rect OffsetRect(const Rect& rect, Point by)
{
    return { rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y };
}

ClientBuffer::ClientBuffer() = default;
ClientBuffer::~ClientBuffer() = default;

std::unique_ptr<Bitmap> ClientBuffer::MakeTopDownBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    BitmapInfo info {};
    info.bmiHeader.biSize = sizeof(BitmapInfoHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return Bitmap::CreateDibSection(info, sizeof(BitmapInfoHeader));
}

Rect ClientBuffer::GetRect() const
{
    std::lock_guard guard(m_lock);
    return m_bitmap ? Rect { 0, 0, m_bitmap->GetWidth(), m_bitmap->GetHeight() } : Rect {};
}

void ClientBuffer::Resize(Size size, COLORREF background)
{
    std::lock_guard guard(m_lock);
    if (m_bitmap && m_bitmap->GetWidth() == size.width && m_bitmap->GetHeight() == size.height)
        return;
    Rect client { 0, 0, size.width, size.height };
    m_bitmap = MakeTopDownBitmap(size.width, size.height);
    if (m_bitmap && background != kNoColor) {
        DrawContext dc(m_bitmap.get());
        dc.FillSolidRect(client, background);
    }
    m_dirty = client;
}

void ClientBuffer::Reset()
{
    std::lock_guard guard(m_lock);
    m_bitmap.reset();
    m_dirty = {};
    m_update = {};
}

void ClientBuffer::Invalidate(const Rect* rect, bool erase)
{
    std::lock_guard guard(m_lock);
    Rect client = GetRect();
    Rect area = rect ? rect->Intersect(client) : client;
    m_update = UnionRect(m_update, area);
    m_eraseUpdate = m_eraseUpdate || erase;
}

void ClientBuffer::Validate(const Rect* rect)
{
    std::lock_guard guard(m_lock);
    if (!rect
        || (rect->left <= m_update.left && rect->top <= m_update.top && rect->right >= m_update.right
            && rect->bottom >= m_update.bottom)) {
        m_update = {};
        m_eraseUpdate = false;
    }
}

void ClientBuffer::TakeUpdate(Rect& update, bool& erase)
{
    std::lock_guard guard(m_lock);
    update = m_update;
    erase = m_eraseUpdate;
    m_update = {};
    m_eraseUpdate = false;
}

void ClientBuffer::MarkDirty(const Rect& rect)
{
    std::lock_guard guard(m_lock);
    m_dirty = UnionRect(m_dirty, rect.Intersect(GetRect()));
}

Rect ClientBuffer::TakeDirty()
{
    std::lock_guard guard(m_lock);
    return std::exchange(m_dirty, {});
}

void ClientBuffer::CopyInto(Bitmap& frame, const Rect& area, Point origin) const
{
    std::lock_guard guard(m_lock);
    if (!m_bitmap)
        return;
    size_t bytes = static_cast<size_t>(area.GetWidth()) * kBytesPerPixel;
    for (int y = area.top; y < area.bottom; ++y) {
        std::memcpy(frame.Row(y) + static_cast<size_t>(area.left) * kBytesPerPixel,
            m_bitmap->Row(y - origin.y) + static_cast<size_t>(area.left - origin.x) * kBytesPerPixel, bytes);
    }
}

void ClientBuffer::CopyOut(DrawContext& dc, const Rect& from) const
{
    std::lock_guard guard(m_lock);
    if (!m_bitmap)
        return;
    DrawContext source(m_bitmap.get());
    dc.BitBlt(0, 0, from.GetWidth(), from.GetHeight(), &source, from.left, from.top, SRCCOPY);
}

void ClientBuffer::SetFont(std::shared_ptr<const Font> font)
{
    std::lock_guard guard(m_lock);
    m_font = std::move(font);
}

std::shared_ptr<const Font> ClientBuffer::GetFont() const
{
    std::lock_guard guard(m_lock);
    return m_font;
}

}
