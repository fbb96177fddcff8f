#include "platform/window/WindowFrame.h"

#include "platform/CodePage.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/CaptionColors.h"
#include "platform/window/WindowTypes.h"

#include <memory>

namespace lumarra {

namespace {

constexpr int kFrameBorder = 1;
constexpr int kCaptionHeight = 24;
constexpr int kCloseButtonWidth = 28;
constexpr int kCaptionFontTenths = 90;
constexpr int kCaptionTextIndent = 8;
// Half the length of each diagonal of the close button's cross.
constexpr int kCloseArm = 5;

const std::shared_ptr<Font>& CaptionFont()
{
    static const std::shared_ptr<Font> font = Font::CreatePoint(kCaptionFontTenths, Sjis("ＭＳ Ｐゴシック"));
    return font;
}

}

WindowFrame::Insets WindowFrame::InsetsFor(uint32_t style)
{
    if (style & WS_CHILD)
        return {};
    if ((style & WS_CAPTION) == WS_CAPTION)
        return { kFrameBorder, kFrameBorder + kCaptionHeight, kFrameBorder, kFrameBorder };
    if (style & WS_BORDER)
        return { kFrameBorder, kFrameBorder, kFrameBorder, kFrameBorder };
    return {};
}

bool WindowFrame::HasCaption() const
{
    return (m_style & WS_CAPTION) == WS_CAPTION;
}

Rect WindowFrame::GetCloseButtonRect() const
{
    int right = m_size.width - kFrameBorder;
    return { right - kCloseButtonWidth, kFrameBorder, right, kFrameBorder + kCaptionHeight };
}

int WindowFrame::HitTest(Point point) const
{
    if (!Rect { 0, 0, m_size.width, m_size.height }.Contains(point.x, point.y))
        return HTNOWHERE;
    if (HasCaption()) {
        if ((m_style & WS_SYSMENU) && GetCloseButtonRect().Contains(point.x, point.y))
            return HTCLOSE;
        if (point.y < kFrameBorder + kCaptionHeight)
            return HTCAPTION;
    }
    Insets insets = GetInsets();
    Rect client { insets.left, insets.top, m_size.width - insets.right, m_size.height - insets.bottom };
    return client.Contains(point.x, point.y) ? HTCLIENT : HTBORDER;
}

void WindowFrame::Paint(DrawContext& dc, std::string_view title, bool active) const
{
    Insets insets = GetInsets();
    if (insets.top == 0 && insets.left == 0)
        return;
    Rect whole { 0, 0, m_size.width, m_size.height };
    const CaptionColors colors = CaptionColors::For(active);
    COLORREF frame = colors.frame;
    dc.FillSolidRect({ 0, 0, whole.right, insets.top }, frame);
    dc.FillSolidRect({ 0, 0, insets.left, whole.bottom }, frame);
    dc.FillSolidRect({ whole.right - insets.right, 0, whole.right, whole.bottom }, frame);
    dc.FillSolidRect({ 0, whole.bottom - insets.bottom, whole.right, whole.bottom }, frame);
    if (!HasCaption())
        return;
    Rect band { kFrameBorder, kFrameBorder, whole.right - kFrameBorder, kFrameBorder + kCaptionHeight };
    dc.FillSolidRect(band, colors.band);
    dc.SelectFont(CaptionFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colors.text);
    Rect titleRect { band.left + kCaptionTextIndent, band.top, band.right - kCloseButtonWidth, band.bottom };
    dc.DrawText(title, titleRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (m_style & WS_SYSMENU) {
        // A cross of two thick diagonals.
        Rect button = GetCloseButtonRect();
        int cx = (button.left + button.right) / 2;
        int cy = (button.top + button.bottom) / 2;
        Pen pen(PS_SOLID, colors.text);
        const Pen* old = dc.SelectPen(&pen);
        for (int shift = 0; shift < 2; ++shift) {
            dc.MoveTo(cx - kCloseArm + shift, cy - kCloseArm);
            dc.LineTo(cx + kCloseArm + 1 + shift, cy + kCloseArm + 1);
            dc.MoveTo(cx + kCloseArm + shift, cy - kCloseArm);
            dc.LineTo(cx - kCloseArm - 1 + shift, cy + kCloseArm + 1);
        }
        dc.SelectPen(old);
    }
}

}
