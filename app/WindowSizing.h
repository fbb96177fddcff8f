#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

// How the main window fits the screen: the window's size, its client size
// and how far the stage view may be scrolled each way.
struct WindowSizing {
    static constexpr int kClientWidth = 984;
    static constexpr int kClientHeight = 628;
    static constexpr int kNarrowedWidth = 980;
    static constexpr int kLoweredHeight = 626;

    int windowWidth = 0;
    int windowHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int scrollRangeX = 0;
    int scrollRangeY = 0;

    // `frameExtra` is how much larger the window is than its client area.
    static WindowSizing Compute(const Size& workArea, const Size& frameExtra);
};

// Scrolling the view toward the pointer: up to 5 pixels a move, more the
// nearer it is to an edge.
class ViewScroller {
public:
    static constexpr int kEdgeZone = 150;
    static constexpr int kStepDivisor = 30;

    // The step along one axis for pointer position `p` (view position plus
    // offset) in a client extent of `extent`.
    static int Step(int p, int extent);

    void SetRanges(int rangeX, int rangeY);
    // Moves the offsets toward the pointer; true when they changed.
    bool ScrollToward(int x, int y, int width, int height);
    int GetX() const { return m_x; }
    int GetY() const { return m_y; }

private:
    int m_rangeX = 0;
    int m_rangeY = 0;
    int m_x = 0;
    int m_y = 0;
};

}
