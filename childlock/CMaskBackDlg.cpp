#include "childlock/CMaskBackDlg.h"

#include "platform/window/SystemMetrics.h"

namespace lumarra {

bool CMaskBackDlg::Create()
{
    if (!Dialog::Create(kTemplateId, nullptr))
        return false;
    SetWindowPos(ZOrder::Top, 0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
        SWP_NOACTIVATE);
    return true;
}

void CMaskBackDlg::CoverScreen()
{
    int width = GetSystemMetrics(SM_CXFULLSCREEN) + 2 * kOverhang;
    int height = GetSystemMetrics(SM_CYFULLSCREEN) + 2 * kOverhang;
    SetWindowPos(ZOrder::Top, -kOverhang, -kOverhang, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (Window* picture = GetDlgItem(kPictureId))
        picture->SetWindowPos(ZOrder::Top, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}
