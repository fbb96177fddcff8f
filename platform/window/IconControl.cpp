#include "platform/window/IconControl.h"

#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Icon.h"
#include "platform/window/DialogTemplate.h"
#include "platform/window/IconFile.h"

namespace lumarra {

bool IconControl::LoadIconResource(uint32_t id)
{
    std::unique_ptr<Icon> icon = lumarra::LoadIconResource(id);
    if (!icon)
        return false;
    SetIcon(std::move(icon));
    return true;
}

void IconControl::SetIcon(std::shared_ptr<const Icon> icon)
{
    m_icon = std::move(icon);
    Invalidate();
}

void IconControl::OnPaint(DrawContext& dc)
{
    PaintBackground(dc, CTLCOLOR_STATIC);
    if (!m_icon)
        return;
    Rect client = GetClientRect();
    int x = 0;
    int y = 0;
    if (GetStyle() & SS_CENTERIMAGE) {
        x = (client.GetWidth() - m_icon->GetWidth()) / 2;
        y = (client.GetHeight() - m_icon->GetHeight()) / 2;
    }
    dc.DrawIcon(x, y, *m_icon);
}

}
