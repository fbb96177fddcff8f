#include "platform/gdi/Region.h"

#include <algorithm>

namespace lumarra {

namespace {

// Appends the parts of `piece` outside `cut`: up to four rectangles.
void Subtract(const Rect& piece, const Rect& cut, std::vector<Rect>& out)
{
    Rect overlap = piece.Intersect(cut);
    if (overlap.IsEmpty()) {
        out.push_back(piece);
        return;
    }
    if (piece.top < overlap.top)
        out.push_back({ piece.left, piece.top, piece.right, overlap.top });
    if (overlap.bottom < piece.bottom)
        out.push_back({ piece.left, overlap.bottom, piece.right, piece.bottom });
    if (piece.left < overlap.left)
        out.push_back({ piece.left, overlap.top, overlap.left, overlap.bottom });
    if (overlap.right < piece.right)
        out.push_back({ overlap.right, overlap.top, piece.right, overlap.bottom });
}

}

Region::Region(const Rect& rect)
{
    Unite(rect);
}

void Region::Unite(const Rect& rect)
{
    if (rect.IsEmpty())
        return;
    std::vector<Rect> pieces { rect };
    for (const Rect& existing : m_rects) {
        if (existing.Intersect(rect).IsEmpty())
            continue;
        std::vector<Rect> next;
        for (const Rect& piece : pieces)
            Subtract(piece, existing, next);
        pieces.swap(next);
        if (pieces.empty())
            return;
    }
    // A run directly below an equal one extends it.
    for (const Rect& piece : pieces) {
        auto above = std::find_if(m_rects.rbegin(), m_rects.rend(),
            [&](const Rect& r) { return r.left == piece.left && r.right == piece.right && r.bottom == piece.top; });
        if (above != m_rects.rend())
            above->bottom = piece.bottom;
        else
            m_rects.push_back(piece);
    }
}

void Region::AppendDisjoint(const Rect& rect)
{
    if (!rect.IsEmpty())
        m_rects.push_back(rect);
}

bool Region::Contains(int x, int y) const
{
    return std::any_of(m_rects.begin(), m_rects.end(), [&](const Rect& r) { return r.Contains(x, y); });
}

Rect Region::GetBounds() const
{
    if (m_rects.empty())
        return {};
    Rect bounds = m_rects.front();
    for (const Rect& r : m_rects) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

long long Region::GetArea() const
{
    long long area = 0;
    for (const Rect& r : m_rects)
        area += static_cast<long long>(r.GetWidth()) * r.GetHeight();
    return area;
}

}
