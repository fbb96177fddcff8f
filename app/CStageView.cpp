#include "app/CStageView.h"

#include "app/CMainGameDlg.h"
#include "app/GameStage.h"

namespace lumarra {

bool CStageView::Create(Window* frame)
{
    return Dialog::Create(kTemplateId, frame);
}

bool CStageView::OnInitDialog()
{
    Dialog::OnInitDialog();
    Window* frame = GetParent();
    m_owner = frame ? dynamic_cast<CMainGameDlg*>(frame->GetParent()) : nullptr;
    return true;
}

bool CStageView::PreTranslateMessage(Message& message)
{
    // Mouse messages reach the caption tip through the main window, which
    // sees every message of its children after this view.
    if (message.message == WM_KEYDOWN && m_stage)
        m_stage->OnKeyDown(static_cast<unsigned>(message.wParam), LOWORD(static_cast<uintptr_t>(message.lParam)),
            static_cast<unsigned>(message.lParam));
    return Dialog::PreTranslateMessage(message);
}

void CStageView::OnPaint(DrawContext&)
{
    if (m_stage)
        m_stage->Repaint();
}

void CStageView::OnLButtonDown(unsigned flags, Point point)
{
    if (m_stage)
        m_stage->OnLButtonDown(flags, point.x, point.y);
}

void CStageView::OnLButtonUp(unsigned flags, Point point)
{
    if (m_stage)
        m_stage->OnLButtonUp(flags, point.x, point.y);
}

void CStageView::OnMouseMove(unsigned flags, Point point)
{
    if (m_stage)
        m_stage->OnMouseMove(flags, point.x, point.y);
    if (m_owner)
        m_owner->ScrollToMouse(point.x, point.y);
}

void CStageView::OnRButtonDown(unsigned flags, Point point)
{
    if (m_stage)
        m_stage->OnRButtonDown(flags, point.x, point.y);
}

void CStageView::OnRButtonUp(unsigned flags, Point point)
{
    if (m_stage)
        m_stage->OnRButtonUp(flags, point.x, point.y);
}

void CStageView::OnTimer(uintptr_t id)
{
    if (m_stage)
        m_stage->OnTimer(id);
}

bool CStageView::OnSetCursor(Window* window, int hitTest, uint32_t message)
{
    if (m_stage && m_stage->OnSetCursor(hitTest))
        return true;
    return Dialog::OnSetCursor(window, hitTest, message);
}

}
