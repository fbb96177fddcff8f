#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

// Where the study list's scroll bar is and what a point on it means: an
// arrow area at each end, the track between them and the thumb, whose place
// follows the first visible entry. The bar only computes; the scene draws.
class ListScrollBar {
public:
    static constexpr Rect kBar = { 334, 32, 347, 288 };
    static constexpr int kVisibleRows = 12;
    static constexpr int kPage = 9;
    // The arrows take 16 pixels at each end; the thumb moves between them.
    static constexpr int kArrowSize = 16;

    enum class Part { None, ArrowUp, ArrowDown, Thumb, TrackAbove, TrackBelow };

    // `thumbWidth` and `thumbHeight` are those of the thumb's picture.
    ListScrollBar(int thumbWidth, int thumbHeight)
        : m_thumbWidth(thumbWidth)
        , m_thumbHeight(thumbHeight)
    {
    }

    // A new list of `count` entries, shown from the top, thumb not yet set.
    void Reset(int count);

    struct Move {
        Rect oldThumb;  // empty when the thumb was not set
        Rect newThumb;
    };
    // Moves the first visible entry by `delta` (0: back to the top), within
    // the list. False when nothing changed.
    bool Scroll(int delta, Move* move = nullptr);

    // The part a pressed button starts something on; None where a press
    // does nothing (outside the bar, and the pixel row just under the upper
    // arrow).
    Part PressedPart(Point at) const;
    // The part a released button acts on.
    Part ReleasedPart(Point at) const;
    // The first entry a thumb dragged to `y` (the thumb's top `dragOffset`
    // above it) stands for, 0 … count − 1.
    int DragEntry(int y, int dragOffset) const;

    int GetFirst() const { return m_first; }
    int GetCount() const { return m_count; }
    const Rect& GetThumb() const { return m_thumb; }
    bool HasThumb() const { return m_thumbSet; }

private:
    int ThumbTop(int first) const;
    int GetThumbTravel() const { return kBar.GetHeight() - m_thumbHeight - 2 * kArrowSize; }

    int m_thumbWidth;
    int m_thumbHeight;
    int m_count = 0;
    int m_first = 0;
    Rect m_thumb {};
    bool m_thumbSet = false;
};

}
