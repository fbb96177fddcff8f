#include "app/WindowSizing.h"

#include <algorithm>

namespace lumarra {

WindowSizing WindowSizing::Compute(const Size& workArea, const Size& frameExtra)
{
    WindowSizing sizing;
    sizing.windowWidth = kClientWidth + frameExtra.width;
    sizing.windowHeight = kClientHeight + frameExtra.height;
    if (sizing.windowWidth > workArea.width || sizing.windowHeight > workArea.height) {
        sizing.windowWidth = workArea.width;
        sizing.windowHeight = workArea.height;
        // A side that has room again gives up the border it no longer needs
        // to scroll past.
        if (sizing.windowWidth - frameExtra.width > kClientWidth)
            sizing.windowWidth = kNarrowedWidth + frameExtra.width;
        if (sizing.windowHeight - frameExtra.height > kClientHeight)
            sizing.windowHeight = kLoweredHeight + frameExtra.height;
    }
    sizing.clientWidth = sizing.windowWidth - frameExtra.width;
    sizing.clientHeight = sizing.windowHeight - frameExtra.height;
    sizing.scrollRangeX = std::max(0, kClientWidth - sizing.clientWidth);
    sizing.scrollRangeY = std::max(0, kClientHeight - sizing.clientHeight);
    return sizing;
}

int ViewScroller::Step(int p, int extent)
{
    if (p < kEdgeZone)
        return (kEdgeZone - p) / kStepDivisor;
    if (p > extent - kEdgeZone)
        return (extent - p - kEdgeZone) / kStepDivisor;
    return 0;
}

void ViewScroller::SetRanges(int rangeX, int rangeY)
{
    m_rangeX = std::max(0, rangeX);
    m_rangeY = std::max(0, rangeY);
    m_x = std::clamp(m_x, -m_rangeX, 0);
    m_y = std::clamp(m_y, -m_rangeY, 0);
}

bool ViewScroller::ScrollToward(int x, int y, int width, int height)
{
    int dx = m_rangeX > 0 ? Step(x + m_x, width) : 0;
    int dy = m_rangeY > 0 ? Step(y + m_y, height) : 0;
    if (dx == 0 && dy == 0)
        return false;
    int nx = std::clamp(m_x + dx, -m_rangeX, 0);
    int ny = std::clamp(m_y + dy, -m_rangeY, 0);
    if (nx == m_x && ny == m_y)
        return false;
    m_x = nx;
    m_y = ny;
    return true;
}

}
