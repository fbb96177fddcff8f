#include "game/ListPanel.h"

#include "app/GameStage.h"
#include "app/Scene.h"
#include "game/ProverbList.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kScreenDepth = 24;
// Reaches from the panel's corner past the scroll bar.
constexpr Size kPanelSize = { 332, 280 };
constexpr COLORREF kPanelFace = 0xD9EEF7;
constexpr COLORREF kPanelEdge = 0x7A8E9E;
constexpr COLORREF kListFace = 0xFFFFFF;
constexpr COLORREF kTrack = 0xE6E6E6;
constexpr COLORREF kArrowFace = 0xC0C8D0;
constexpr COLORREF kArrowMark = 0x505A64;
constexpr COLORREF kThumbFace = 0xC08A4C;
constexpr COLORREF kThumbEdge = 0x7A4E22;
constexpr COLORREF kRowText = 0x202020;
constexpr COLORREF kRuleColor = 0xEEEEEE;

// A rectangle of the stage as the panel picture's own coordinates.
Rect OnPanel(const Rect& stage)
{
    return { stage.left - ListPanel::kPanelAt.x, stage.top - ListPanel::kPanelAt.y, stage.right - ListPanel::kPanelAt.x,
        stage.bottom - ListPanel::kPanelAt.y };
}

void Fill(DibSurface& surface, const Rect& r, COLORREF color)
{
    surface.FillSolidRect(r.left, r.top, r.GetWidth(), r.GetHeight(), color);
}

void Frame(DibSurface& surface, const Rect& r, COLORREF color)
{
    Fill(surface, { r.left, r.top, r.right, r.top + 1 }, color);
    Fill(surface, { r.left, r.bottom - 1, r.right, r.bottom }, color);
    Fill(surface, { r.left, r.top, r.left + 1, r.bottom }, color);
    Fill(surface, { r.right - 1, r.top, r.right, r.bottom }, color);
}

// An arrow head, one pixel row wider per row, pointing up or down.
void Arrow(DibSurface& surface, const Rect& box, bool up)
{
    constexpr int kRows = 4;
    int centre = (box.left + box.right) / 2;
    int top = (box.top + box.bottom) / 2 - kRows / 2;
    for (int i = 0; i < kRows; ++i) {
        int half = up ? i : kRows - 1 - i;
        Fill(surface, { centre - half, top + i, centre + half + 1, top + i + 1 }, kArrowMark);
    }
}

}

ListPanel::ListPanel()
    : m_panel(kScreenDepth, kPanelSize.width, kPanelSize.height, kNoColor)
    , m_thumb(kScreenDepth, kThumb.width, kThumb.height, kNoColor)
{
    PaintPanel();
    PaintThumb();
}

void ListPanel::PaintPanel()
{
    Rect whole = { 0, 0, kPanelSize.width, kPanelSize.height };
    Fill(m_panel, whole, kPanelFace);
    Frame(m_panel, whole, kPanelEdge);
    Rect list = OnPanel(kList);
    Rect listFrame = { list.left - 1, list.top - 1, list.right + 1, list.bottom + 1 };
    Fill(m_panel, list, kListFace);
    Frame(m_panel, listFrame, kPanelEdge);
    for (int row = 1; row < ListScrollBar::kVisibleRows; ++row) {
        int y = list.top + kFirstRowOffset + kRowHeight * row - 1;
        Fill(m_panel, { list.left + 2, y, list.right - 2, y + 1 }, kRuleColor);
    }
    Rect bar = OnPanel(ListScrollBar::kBar);
    Fill(m_panel, bar, kTrack);
    Frame(m_panel, { bar.left - 1, bar.top - 1, bar.right + 1, bar.bottom + 1 }, kPanelEdge);
    Rect up = { bar.left, bar.top, bar.right, bar.top + ListScrollBar::kArrowSize };
    Rect down = { bar.left, bar.bottom - ListScrollBar::kArrowSize, bar.right, bar.bottom };
    Fill(m_panel, up, kArrowFace);
    Fill(m_panel, down, kArrowFace);
    Arrow(m_panel, up, true);
    Arrow(m_panel, down, false);
}

void ListPanel::PaintThumb()
{
    Rect whole = { 0, 0, kThumb.width, kThumb.height };
    Fill(m_thumb, whole, kThumbFace);
    Frame(m_thumb, whole, kThumbEdge);
    // Three grip lines across the middle.
    for (int i = -1; i <= 1; ++i) {
        int y = kThumb.height / 2 + 3 * i;
        Fill(m_thumb, { 4, y, kThumb.width - 4, y + 1 }, kThumbEdge);
    }
}

void ListPanel::RestorePanel(Scene& scene, const Rect& part)
{
    if (part.GetWidth() <= 0 || part.GetHeight() <= 0)
        return;
    Rect source = OnPanel(part);
    scene.DrawSurface(m_panel, part.left, part.top, part.GetWidth(), part.GetHeight(), source.left, source.top);
}

void ListPanel::Draw(Scene& scene, const ListScrollBar& bar)
{
    scene.DrawSurface(m_panel, kPanelAt.x, kPanelAt.y, kPanelSize.width, kPanelSize.height, 0, 0);
    if (bar.HasThumb())
        MoveThumb(scene, { {}, bar.GetThumb() });
}

void ListPanel::MoveThumb(Scene& scene, const ListScrollBar::Move& move)
{
    const Rect& was = move.oldThumb;
    const Rect& now = move.newThumb;
    // Both lie in the same column of the bar: what shows again is the old
    // rectangle's part above or below the new one.
    if (now.top > was.top)
        RestorePanel(scene, { was.left - 1, was.top, was.right + 1, std::min(was.bottom, now.top) });
    else if (now.top < was.top)
        RestorePanel(scene, { was.left - 1, std::max(was.top, now.bottom), was.right + 1, was.bottom });
    scene.DrawSurface(m_thumb, now.left - 1, now.top, kThumb.width, kThumb.height, 0, 0);
}

void ListPanel::DrawRows(Scene& scene, const ProverbList& list, int first, int selected,
    const std::shared_ptr<const Font>& font)
{
    constexpr int kTextInset = 6;
    for (int row = 0; row < ListScrollBar::kVisibleRows; ++row) {
        int entry = first + row;
        Rect line = Rect::FromSize(kList.left + 2, kList.top + kFirstRowOffset + kRowHeight * row, kList.GetWidth() - 4,
            kRowHeight - 1);
        scene.FillRect(line.left, line.top, line.GetWidth(), line.GetHeight(),
            entry == selected ? GameStage::kHighlightColor : kListFace);
        const std::string& text = list.EntryAt(entry);
        if (!text.empty()) {
            Rect box = { line.left + kTextInset, line.top + 2, line.right, line.bottom };
            scene.DrawTextWrapped(box, text, kRowText, font);
        }
    }
}

}
