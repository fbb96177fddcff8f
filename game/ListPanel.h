#pragma once

#include "game/ListScrollBar.h"
#include "graphics/DibSurface.h"

#include <memory>

namespace lumarra {

class Font;
class ProverbList;
class Scene;

// The study list's pictures and drawing: the panel with the list's white
// rows and the scroll bar's track and arrows, the thumb, and the rows
// themselves with the selected one highlighted.
class ListPanel {
public:
    static constexpr Point kPanelAt = { 30, 20 };
    static constexpr Rect kList = { 62, 52, 310, 275 };
    static constexpr int kRowHeight = 18;
    // Rows start a little below the list's top edge.
    static constexpr int kFirstRowOffset = 7;
    static constexpr Size kThumb = { 15, 28 };

    ListPanel();

    // The whole panel with the thumb where `bar` has it.
    void Draw(Scene& scene, const ListScrollBar& bar);
    // The visible rows from `first`, `selected` (−1: none) highlighted.
    void DrawRows(Scene& scene, const ProverbList& list, int first, int selected,
        const std::shared_ptr<const Font>& font);
    // Restores what the old thumb covered and the new one does not, then
    // draws the thumb at its new place.
    void MoveThumb(Scene& scene, const ListScrollBar::Move& move);

    // The visible row at `y` inside the list (0 … 11).
    static int RowAt(int y) { return (y - kList.top - kFirstRowOffset) / kRowHeight; }

private:
    void PaintPanel();
    void PaintThumb();
    void RestorePanel(Scene& scene, const Rect& part);

    DibSurface m_panel;
    DibSurface m_thumb;
};

}
