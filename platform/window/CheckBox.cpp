#include "platform/window/CheckBox.h"

#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/ControlDrawing.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kBoxSize = 13;
constexpr int kLabelGap = 5;
constexpr COLORREF kBoxBorder = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kTick = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kPressedBox = RGB(0xCC, 0xE4, 0xF7);

}

void CheckBox::SetCheck(int checked)
{
    if (m_checked == (checked != 0))
        return;
    m_checked = checked != 0;
    Invalidate(false);
}

void CheckBox::Click()
{
    if (!IsWindowEnabled())
        return;
    SetCheck(m_checked ? 0 : 1);
    Button::Click();
}

void CheckBox::OnPaint(DrawContext& dc)
{
    COLORREF text = PaintBackground(dc);
    Rect client = GetClientRect();
    int top = (client.GetHeight() - kBoxSize) / 2;
    Rect box { 0, top, kBoxSize, top + kBoxSize };
    dc.FillSolidRect(box, IsPressed() ? kPressedBox : kWindowFace);
    DrawFrame(dc, box, IsWindowEnabled() ? kBoxBorder : kGrayText);
    if (m_checked) {
        Pen pen(PS_SOLID, kTick);
        const Pen* old = dc.SelectPen(&pen);
        for (int shift = 0; shift < 2; ++shift) {
            dc.MoveTo(box.left + 3, box.top + 6 + shift);
            dc.LineTo(box.left + 5, box.top + 8 + shift);
            dc.LineTo(box.left + 10, box.top + 3 + shift);
        }
        dc.SelectPen(old);
    }
    Rect label { kBoxSize + kLabelGap, 0, client.right, client.bottom };
    Rect measured = label;
    dc.DrawText(GetWindowText(), measured, DT_CALCRECT | DT_WORDBREAK);
    int offset = std::max(0, (label.GetHeight() - measured.GetHeight()) / 2);
    label.top += offset;
    dc.SetTextColor(text);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(GetWindowText(), label, DT_WORDBREAK);
    if (HasFocus()) {
        Rect focus { label.left - 1, label.top - 1, std::min(client.right, measured.right + 2),
            std::min(client.bottom, label.top + measured.GetHeight() + 1) };
        DrawFocusRect(dc, focus);
    }
}

}
