#include "game/ListScrollBar.h"

#include <algorithm>

namespace lumarra {

void ListScrollBar::Reset(int count)
{
    m_count = std::max(count, 0);
    m_first = 0;
    m_thumb = {};
    m_thumbSet = false;
}

// A list that fits in the rows leaves the thumb at the top of its track
// instead of dividing by the empty travel.
int ListScrollBar::ThumbTop(int first) const
{
    int steps = m_count - kVisibleRows;
    int offset = steps > 0 ? first * GetThumbTravel() / steps : 0;
    return offset + kBar.top + kArrowSize;
}

bool ListScrollBar::Scroll(int delta, Move* move)
{
    int first = delta == 0 ? 0 : std::max(std::min(m_first + delta, m_count - kVisibleRows), 0);
    if (first == m_first && m_thumbSet)
        return false;
    int top = ThumbTop(first);
    Rect thumb = { kBar.left, top, kBar.left + m_thumbWidth - 2, top + m_thumbHeight };
    if (move)
        *move = { m_thumbSet ? m_thumb : Rect {}, thumb };
    m_thumb = thumb;
    m_thumbSet = true;
    m_first = first;
    return true;
}

// The pixel row just under the upper arrow starts nothing when pressed.
ListScrollBar::Part ListScrollBar::PressedPart(Point at) const
{
    if (at.y - kBar.top == kArrowSize)
        return Part::None;
    return ReleasedPart(at);
}

ListScrollBar::Part ListScrollBar::ReleasedPart(Point at) const
{
    if (!kBar.Contains(at.x, at.y))
        return Part::None;
    int dy = at.y - kBar.top;
    if (dy < kArrowSize)
        return Part::ArrowUp;
    if (dy >= kBar.GetHeight() - kArrowSize)
        return Part::ArrowDown;
    if (m_thumbSet && m_thumb.Contains(at.x, at.y))
        return Part::Thumb;
    return at.y < m_thumb.top ? Part::TrackAbove : Part::TrackBelow;
}

int ListScrollBar::DragEntry(int y, int dragOffset) const
{
    double pixelsPerEntry = static_cast<double>(GetThumbTravel()) / (m_count - kVisibleRows + 1);
    if (m_count <= kVisibleRows || pixelsPerEntry <= 0)
        return 0;
    int entry = static_cast<int>((y - dragOffset - kBar.top - kArrowSize) / pixelsPerEntry);
    return std::clamp(entry, 0, m_count - 1);
}

}
