#include "app/CCaptionTipDlg.h"

#include "platform/CodePage.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"

#include <algorithm>

namespace lumarra {

namespace {

constexpr int kTextStatic = 1003;
constexpr int kFontTenths = 90;
// Above this the pointer is below the caption.
constexpr int kCaptionBottom = 25;
constexpr int kBelowCursor = 20;
constexpr int kPadWidth = 10;
constexpr int kPadHeight = 4;

bool IsRelayedMouseMessage(uint32_t message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP && message != WM_LBUTTONDBLCLK
        && message != WM_RBUTTONDBLCLK;
}

}

bool CCaptionTipDlg::Create(Window* owner)
{
    m_owner = owner;
    return Dialog::Create(kTemplateId, owner);
}

bool CCaptionTipDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    m_current = -1;
    m_pending = false;
    m_font = Font::CreatePoint(kFontTenths, Sjis("ＭＳ ゴシック"));
    SetBackgroundColor(kBackground);
    if (Window* text = GetDlgItem(kTextStatic))
        text->SetFont(m_font);
    return false;
}

const Brush* CCaptionTipDlg::OnCtlColor(DrawContext& dc, Window*, unsigned)
{
    static const Brush background(kBackground);
    dc.SetBkColor(kBackground);
    return &background;
}

void CCaptionTipDlg::AddTool(std::string_view text, const Rect& rect, int id)
{
    m_tools.push_back({ std::string(text), rect, id });
}

void CCaptionTipDlg::DelTool(int id)
{
    auto found = std::find_if(m_tools.begin(), m_tools.end(), [&](const Tool& tool) { return tool.id == id; });
    if (found == m_tools.end())
        return;
    if (m_current == id) {
        KillTimers();
        m_current = -1;
        m_pending = false;
        Hide();
    }
    m_tools.erase(found);
}

const CCaptionTipDlg::Tool* CCaptionTipDlg::ToolAt(Point point) const
{
    for (const Tool& tool : m_tools) {
        if (tool.rect.Contains(point.x, point.y))
            return &tool;
    }
    return nullptr;
}

void CCaptionTipDlg::RelayEvent(const Message& message)
{
    if (!IsCreated() || !m_owner || !IsRelayedMouseMessage(message.message))
        return;
    Rect owner = m_owner->GetWindowRect();
    Point local { message.point.x - owner.left, message.point.y - owner.top };
    const Tool* tool = local.y >= kCaptionBottom ? nullptr : ToolAt(local);
    if (!tool) {
        KillTimers();
        m_current = -1;
        m_pending = false;
        Hide();
        return;
    }
    if (tool->id != m_current) {
        Hide();
        PlaceFor(*tool, message.point);
    }
    if (message.message != WM_MOUSEMOVE || m_pending)
        return;
    if (m_current == -1) {
        m_current = tool->id;
        m_pending = true;
        KillTimer(kHideTimer);
        SetTimer(kShowTimer, kShowDelayMs);
    } else if (m_current != tool->id) {
        m_current = tool->id;
        m_pending = false;
        ShowWindow(SW_SHOWNA);
        KillTimer(kShowTimer);
        SetTimer(kHideTimer, kShowTimeMs);
    }
}

void CCaptionTipDlg::PlaceFor(const Tool& tool, Point cursor)
{
    Size text = m_font ? TextLayout::MeasureExtent(*m_font, tool.text) : Size {};
    int width = text.width + kPadWidth;
    int height = text.height + kPadHeight;
    MoveWindow(cursor.x - text.width / 2, cursor.y + kBelowCursor, width, height);
    if (Window* label = GetDlgItem(kTextStatic)) {
        label->MoveWindow(0, 1, width, height);
        label->SetWindowText(tool.text);
    }
}

void CCaptionTipDlg::OnTimer(uintptr_t id)
{
    if (id == kShowTimer) {
        KillTimers();
        ShowWindow(SW_SHOWNA);
        SetTimer(kHideTimer, kShowTimeMs);
        m_pending = false;
    } else if (id == kHideTimer) {
        KillTimers();
        Hide();
        m_pending = false;
    }
}

void CCaptionTipDlg::KillTimers()
{
    KillTimer(kShowTimer);
    KillTimer(kHideTimer);
}

void CCaptionTipDlg::Hide()
{
    if (IsCreated())
        ShowWindow(SW_HIDE);
}

bool CCaptionTipDlg::DestroyWindow()
{
    if (IsCreated()) {
        KillTimers();
        Hide();
    }
    return Dialog::DestroyWindow();
}

}
