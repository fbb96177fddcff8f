#include "platform/window/StaticControl.h"

#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/ControlDrawing.h"
#include "platform/window/DialogTemplate.h"

namespace lumarra {

namespace {

constexpr int kSunkenEdge = 2;
// Room between a sunken edge and the text inside it.
constexpr int kSunkenPadding = 2;

}

void StaticControl::PaintBackground(DrawContext& dc, unsigned type)
{
    COLORREF face = GetParent() ? GetParent()->GetBackgroundColor() : kWindowFace;
    dc.SetTextColor(IsWindowEnabled() ? kControlText : kGrayText);
    dc.SetBkColor(face == kNoColor ? kWindowFace : face);
    dc.SetBkMode(OPAQUE);
    const Brush* brush = ControlColors(dc, type);
    Rect client = GetClientRect();
    if (!brush)
        dc.FillSolidRect(client, face == kNoColor ? kWindowFace : face);
    else if (brush->IsNull())
        CopyParentBackground(dc);
    else
        dc.FillRect(client, *brush);
}

void StaticControl::OnPaint(DrawContext& dc)
{
    PaintBackground(dc, CTLCOLOR_STATIC);
    Rect area = GetClientRect();
    if (GetStyle() & SS_SUNKEN) {
        DrawSunkenEdge(dc, area);
        area = Deflate(area, kSunkenEdge + kSunkenPadding);
    }
    uint32_t type = GetStyle() & SS_TYPEMASK;
    unsigned format = DT_WORDBREAK;
    if (type == SS_CENTER)
        format |= DT_CENTER;
    else if (type == SS_RIGHT)
        format |= DT_RIGHT;
    else if (type == SS_LEFTNOWORDWRAP)
        format = DT_SINGLELINE;
    if (GetStyle() & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (GetStyle() & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    // Text cells are not filled again: the background is already there.
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(GetWindowText(), area, format);
}

int StaticControl::OnNcHitTest(Point)
{
    return (GetStyle() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
}

void StaticControl::OnLButtonUp(unsigned, Point point)
{
    if (!(GetStyle() & SS_NOTIFY) || !GetClientRect().Contains(point.x, point.y) || !GetParent())
        return;
    GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), STN_CLICKED), static_cast<LPARAM>(GetHandle()));
}

}
