#include "childlock/CStartMaskDlg.h"

#include "app/Settings.h"
#include "platform/window/DataExchange.h"

namespace lumarra {

bool CStartMaskDlg::OnInitDialog()
{
    m_autoMask = ReadMaskAtStart() != 0 ? 1 : 0;
    return Dialog::OnInitDialog();
}

void CStartMaskDlg::DoDataExchange(DataExchange& dx)
{
    DDX_Check(dx, kAutoMaskCheck, m_autoMask);
}

void CStartMaskDlg::OnOK()
{
    UpdateData(true);
    WriteMaskAtStart(m_autoMask);
    EndDialog(IDOK);
}

}
