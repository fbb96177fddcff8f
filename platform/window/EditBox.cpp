#include "platform/window/EditBox.h"

#include "platform/CodePage.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/ControlDrawing.h"
#include "platform/window/DialogTemplate.h"

#include <SDL.h>
#include <algorithm>

namespace lumarra {

namespace {

constexpr int kPadding = 3;
constexpr COLORREF kBorder = RGB(0x7A, 0x7A, 0x7A);

std::string UpperAscii(std::string text)
{
    for (size_t pos = 0; pos < text.size();) {
        size_t length = std::max<size_t>(1, CharLength(text, pos, CodePage::Cp932));
        if (length == 1 && text[pos] >= 'a' && text[pos] <= 'z')
            text[pos] = static_cast<char>(text[pos] - 'a' + 'A');
        pos += length;
    }
    return text;
}

int Measure(const std::shared_ptr<const Font>& font, std::string_view text)
{
    const std::shared_ptr<const Font>& used = font ? font : Font::GetDefault();
    return used ? TextLayout::MeasureExtent(*used, text).width : 0;
}

}

std::vector<size_t> EditBox::GetBoundaries() const
{
    const std::string& text = GetWindowText();
    std::vector<size_t> stops { 0 };
    for (size_t pos = 0; pos < text.size();) {
        pos += std::max<size_t>(1, CharLength(text, pos, CodePage::Cp932));
        stops.push_back(std::min(pos, text.size()));
    }
    return stops;
}

LRESULT EditBox::WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        // Text set from outside follows the same rules as typed text.
        std::string text = GetWindowText();
        if (GetStyle() & ES_UPPERCASE) {
            std::string upper = UpperAscii(text);
            if (upper != text) {
                SetWindowText(upper);
                return 0;
            }
        }
        m_caret = text.size();
        return 0;
    }
    return Window::WindowProc(message, wParam, lParam);
}

void EditBox::ReplaceText(std::string text, size_t caret)
{
    if (text.size() > m_limit)
        return;
    m_caret = std::min(caret, text.size());
    size_t keep = m_caret;
    SetWindowText(text);
    m_caret = keep;
    if (GetParent())
        GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_CHANGE), static_cast<LPARAM>(GetHandle()));
}

void EditBox::OnChar(unsigned character, unsigned, unsigned)
{
    std::string typed;
    if (character > 0xFF)
        typed = { static_cast<char>(character >> 8), static_cast<char>(character & 0xFF) };
    else if (character >= 0x20 && character != 0x7F)
        typed = { static_cast<char>(character) };
    if (typed.empty())
        return;
    if (GetStyle() & ES_UPPERCASE)
        typed = UpperAscii(typed);
    std::string text = GetWindowText();
    text.insert(std::min(m_caret, text.size()), typed);
    ReplaceText(std::move(text), m_caret + typed.size());
}

void EditBox::OnKeyDown(unsigned key, unsigned, unsigned)
{
    std::vector<size_t> stops = GetBoundaries();
    auto at = std::lower_bound(stops.begin(), stops.end(), m_caret);
    size_t index = static_cast<size_t>(at - stops.begin());
    std::string text = GetWindowText();
    switch (key) {
    case VK_BACK:
        if (index > 0)
            ReplaceText(text.erase(stops[index - 1], m_caret - stops[index - 1]), stops[index - 1]);
        return;
    case VK_DELETE:
        if (index + 1 < stops.size())
            ReplaceText(text.erase(m_caret, stops[index + 1] - m_caret), m_caret);
        return;
    case VK_LEFT:
        m_caret = index > 0 ? stops[index - 1] : 0;
        break;
    case VK_RIGHT:
        m_caret = index + 1 < stops.size() ? stops[index + 1] : text.size();
        break;
    case VK_HOME:
        m_caret = 0;
        break;
    case VK_END:
        m_caret = text.size();
        break;
    default:
        return;
    }
    Invalidate(false);
}

void EditBox::OnLButtonDown(unsigned, Point point)
{
    SetFocus();
    // The caret goes to the character boundary nearest the click.
    std::vector<size_t> stops = GetBoundaries();
    const std::string& text = GetWindowText();
    std::shared_ptr<const Font> font = GetFont();
    int left = TextLeft(Measure(font, text));
    size_t best = 0;
    int bestDistance = INT32_MAX;
    for (size_t stop : stops) {
        int distance = std::abs(left + Measure(font, std::string_view(text).substr(0, stop)) - point.x);
        if (distance < bestDistance)
            bestDistance = distance, best = stop;
    }
    m_caret = best;
    Invalidate(false);
}

void EditBox::OnSetFocus()
{
    SDL_StartTextInput();
    Invalidate(false);
}

void EditBox::OnKillFocus()
{
    Invalidate(false);
}

int EditBox::TextLeft(int textWidth) const
{
    Rect client = GetClientRect();
    if (GetStyle() & ES_CENTER)
        return std::max(kPadding, (client.GetWidth() - textWidth) / 2);
    return kPadding - m_scroll;
}

void EditBox::OnPaint(DrawContext& dc)
{
    Rect client = GetClientRect();
    dc.SetTextColor(IsWindowEnabled() ? kControlText : kGrayText);
    dc.SetBkColor(kWindowFace);
    const Brush* brush = ControlColors(dc, CTLCOLOR_EDIT);
    if (brush && !brush->IsNull())
        dc.FillRect(client, *brush);
    else
        dc.FillSolidRect(client, kWindowFace);
    bool focused = GetFocus() == this;
    DrawFrame(dc, client, focused ? kFocusBlue : kBorder);

    const std::string& text = GetWindowText();
    std::shared_ptr<const Font> font = dc.GetFont();
    int caretX = Measure(font, std::string_view(text).substr(0, m_caret));
    int inner = client.GetWidth() - 2 * kPadding;
    // Keep the caret in view when the text is wider than the box.
    if (!(GetStyle() & ES_CENTER)) {
        if (caretX - m_scroll > inner)
            m_scroll = caretX - inner;
        else if (caretX < m_scroll)
            m_scroll = caretX;
    }
    int left = TextLeft(Measure(font, text));
    Rect area { left, 1, client.right + std::max(0, m_scroll), client.bottom - 1 };
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    DrawFrame(dc, client, focused ? kFocusBlue : kBorder);
    if (focused) {
        int height = font ? font->GetTextMetrics().height : client.GetHeight() - 6;
        int top = (client.GetHeight() - height) / 2;
        dc.FillSolidRect({ left + caretX, top, left + caretX + 1, top + height }, kControlText);
    }
}

}
