#include "platform/window/Button.h"

#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/ControlDrawing.h"
#include "platform/window/DialogTemplate.h"

namespace lumarra {

namespace {

constexpr COLORREF kButtonFace = RGB(0xE1, 0xE1, 0xE1);
constexpr COLORREF kPressedFace = RGB(0xCC, 0xE4, 0xF7);
constexpr COLORREF kButtonBorder = RGB(0xAD, 0xAD, 0xAD);
constexpr int kFocusInset = 3;

}

void Button::Click()
{
    if (!IsWindowEnabled() || !GetParent())
        return;
    GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), static_cast<LPARAM>(GetHandle()));
}

COLORREF Button::PaintBackground(DrawContext& dc)
{
    COLORREF face = GetParent() ? GetParent()->GetBackgroundColor() : kWindowFace;
    if (face == kNoColor)
        face = kWindowFace;
    dc.SetTextColor(kControlText);
    dc.SetBkColor(face);
    const Brush* brush = ControlColors(dc, CTLCOLOR_BTN);
    Rect client = GetClientRect();
    if (!brush)
        dc.FillSolidRect(client, face);
    else if (brush->IsNull())
        CopyParentBackground(dc);
    else
        dc.FillRect(client, *brush);
    return IsWindowEnabled() ? dc.GetTextColor() : kGrayText;
}

void Button::OnPaint(DrawContext& dc)
{
    COLORREF text = PaintBackground(dc);
    Rect client = GetClientRect();
    bool isDefault = (GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    dc.FillSolidRect(client, m_pressed ? kPressedFace : kButtonFace);
    DrawFrame(dc, client, (isDefault || HasFocus()) && IsWindowEnabled() ? kFocusBlue : kButtonBorder);
    if (isDefault && IsWindowEnabled())
        DrawFrame(dc, Deflate(client, 1), kFocusBlue);
    dc.SetTextColor(text);
    dc.SetBkMode(TRANSPARENT);
    Rect label = client;
    if (m_pressed)
        label = { label.left + 1, label.top + 1, label.right + 1, label.bottom + 1 };
    dc.DrawText(GetWindowText(), label, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (HasFocus())
        DrawFocusRect(dc, Deflate(client, kFocusInset));
}

void Button::SetPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    Invalidate(false);
}

void Button::OnLButtonDown(unsigned, Point)
{
    if (GetStyle() & WS_TABSTOP)
        SetFocus();
    m_tracking = true;
    SetCapture();
    SetPressed(true);
}

void Button::OnMouseMove(unsigned, Point point)
{
    if (m_tracking)
        SetPressed(GetClientRect().Contains(point.x, point.y));
}

void Button::OnLButtonUp(unsigned, Point point)
{
    if (!m_tracking)
        return;
    m_tracking = false;
    if (GetCapture() == this)
        ReleaseCapture();
    SetPressed(false);
    if (GetClientRect().Contains(point.x, point.y))
        Click();
}

void Button::OnKeyDown(unsigned key, unsigned, unsigned)
{
    if (key == VK_SPACE)
        Click();
}

}
