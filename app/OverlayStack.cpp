#include "app/OverlayStack.h"

namespace lumarra {

void OverlayStack::Push(std::unique_ptr<DibSurface> picture, const Rect& rect)
{
    std::lock_guard guard(m_lock);
    if (m_count >= kCapacity)
        return;
    m_saved[static_cast<size_t>(m_count)] = { std::move(picture), rect };
    ++m_count;
}

std::optional<OverlayStack::Saved> OverlayStack::Pop()
{
    std::lock_guard guard(m_lock);
    if (m_count == 0)
        return std::nullopt;
    --m_count;
    return std::move(m_saved[static_cast<size_t>(m_count)]);
}

void OverlayStack::Drop()
{
    std::lock_guard guard(m_lock);
    for (Saved& saved : m_saved)
        saved = {};
    m_count = 0;
}

int OverlayStack::GetCount() const
{
    std::lock_guard guard(m_lock);
    return m_count;
}

}
