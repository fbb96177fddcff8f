#include "platform/window/MessageBoxDialog.h"

#include "platform/CodePage.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/ControlDrawing.h"
#include "platform/window/DialogTemplate.h"
#include "platform/window/MessageBox.h"
#include "platform/window/StockIcons.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kMargin = 20;
constexpr int kIconGap = 14;
constexpr int kIconSide = 32;
constexpr int kMaxTextWidth = 520;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kBandHeight = 48;
constexpr int kMinClientWidth = 260;
constexpr int kCaptionAllowance = 60;
constexpr int kFontTenths = 90;
constexpr COLORREF kMessageFace = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBandFace = RGB(0xF0, 0xF0, 0xF0);
constexpr const char* kFontFace = "ＭＳ Ｐゴシック";

constexpr DialogTemplate kMessageBoxTemplate { 0, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER, 0, 0, 100, 50, "",
    kFontFace, 9, {} };

}

MessageBoxDialog::MessageBoxDialog(std::string_view text, std::string_view caption, unsigned type)
    : m_message(text)
    , m_caption(caption)
    , m_type(type)
{
    SetBackgroundColor(kMessageFace);
}

bool MessageBoxDialog::IsYesNo() const
{
    return (m_type & MB_TYPEMASK) == MB_YESNO;
}

int MessageBoxDialog::Show(Window* owner)
{
    DialogTemplate dialogTemplate = kMessageBoxTemplate;
    if (!IsYesNo())
        dialogTemplate.style |= WS_SYSMENU;
    if (!owner)
        dialogTemplate.exStyle |= WS_EX_TOPMOST;
    return DoModalIndirect(dialogTemplate, owner);
}

bool MessageBoxDialog::OnInitDialog()
{
    SetWindowText(m_caption);
    std::shared_ptr<const Font> font = Font::CreatePoint(kFontTenths, Sjis(kFontFace));
    SetFont(font, false);

    Rect measured { 0, 0, kMaxTextWidth, 0 };
    TextRun run;
    if (font)
        TextLayout::LayoutDrawText(font, m_message, measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX, run);
    bool hasIcon = (m_type & MB_ICONMASK) != 0;
    int textLeft = kMargin + (hasIcon ? kIconSide + kIconGap : 0);
    int textHeight = std::max(measured.GetHeight(), 1);
    int bodyHeight = std::max(textHeight, hasIcon ? kIconSide : 0);
    int buttons = IsYesNo() ? 2 : 1;
    int buttonsWidth = buttons * kButtonWidth + (buttons - 1) * kButtonGap;
    int captionWidth = font ? TextLayout::MeasureExtent(*font, m_caption).width + kCaptionAllowance : 0;
    int width = std::max(
        { textLeft + measured.GetWidth() + kMargin, buttonsWidth + 2 * kMargin, captionWidth, kMinClientWidth });
    m_bandTop = kMargin + bodyHeight + kMargin;
    int height = m_bandTop + kBandHeight;

    Rect frame = GetWindowRect();
    Rect client = GetClientRect();
    SetWindowPos(ZOrder::Top, frame.left, frame.top, width + frame.GetWidth() - client.GetWidth(),
        height + frame.GetHeight() - client.GetHeight(), SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    CenterWindow(GetOwner());

    if (hasIcon) {
        int iconTop = kMargin + (bodyHeight - kIconSide) / 2;
        m_icon.Create(WS_CHILD | WS_VISIBLE, 0, { kMargin, iconTop, kMargin + kIconSide, iconTop + kIconSide }, this);
        m_icon.SetIcon((m_type & MB_ICONMASK) == MB_ICONQUESTION ? GetQuestionIcon() : GetInformationIcon());
    }
    int textTop = kMargin + (bodyHeight - textHeight) / 2;
    m_text.Create(WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0,
        { textLeft, textTop, textLeft + measured.GetWidth() + 1, textTop + textHeight }, this, IDC_STATIC, m_message);
    m_text.SetFont(font, false);

    int buttonTop = m_bandTop + (kBandHeight - kButtonHeight) / 2;
    int right = width - kMargin;
    Button* order[] = { &m_first, &m_second };
    const char* labels[] = { IsYesNo() ? "はい(&Y)" : "OK", "いいえ(&N)" };
    int ids[] = { IsYesNo() ? IDYES : IDOK, IDNO };
    for (int i = 0; i < buttons; ++i) {
        int left = right - buttonsWidth + i * (kButtonWidth + kButtonGap);
        uint32_t style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        order[i]->Create(style, 0, { left, buttonTop, left + kButtonWidth, buttonTop + kButtonHeight }, this, ids[i],
            Sjis(labels[i]));
        order[i]->SetFont(font, false);
    }
    m_first.SetFocus();
    return false;
}

bool MessageBoxDialog::OnEraseBkgnd(DrawContext& dc)
{
    Rect client = GetClientRect();
    dc.FillSolidRect({ 0, 0, client.right, m_bandTop }, kMessageFace);
    dc.FillSolidRect({ 0, m_bandTop, client.right, client.bottom }, kBandFace);
    return true;
}

bool MessageBoxDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    int id = static_cast<int>(LOWORD(wParam));
    if (HIWORD(wParam) == BN_CLICKED && (id == IDYES || id == IDNO)) {
        EndDialog(id);
        return true;
    }
    return Dialog::OnCommand(wParam, lParam);
}

void MessageBoxDialog::OnCancel()
{
    // Only a box with OK alone can be dismissed without an answer.
    if (!IsYesNo())
        EndDialog(IDOK);
}

bool MessageBoxDialog::PreTranslateMessage(Message& message)
{
    if (message.message == WM_KEYDOWN) {
        unsigned key = static_cast<unsigned>(message.wParam);
        if (key == VK_ESCAPE) {
            OnCancel();
            return true;
        }
        if (IsYesNo() && (key == 'Y' || key == 'N')) {
            EndDialog(key == 'Y' ? IDYES : IDNO);
            return true;
        }
    }
    return Dialog::PreTranslateMessage(message);
}

}
