#include "childlock/CInputKeyDlg.h"

#include "childlock/ReleaseWord.h"
#include "platform/CodePage.h"
#include "platform/window/DataExchange.h"
#include "platform/window/MessageBox.h"

namespace lumarra {

void CInputKeyDlg::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, kWordEdit, m_typedWord);
}

void CInputKeyDlg::OnOK()
{
    UpdateData(true);
    // The edit box is CP932 text: only single-byte letters fold.
    if (UpperCaseAscii(m_typedWord, CodePage::Cp932) == kReleaseWord) {
        EndDialog(IDOK);
        return;
    }
    MessageBox(this, Sjis("「ZEP」と入力してからOKボタンを押してください。　　"), Sjis("Lumarra（Velmora）"),
        MB_ICONQUESTION);
    EndDialog(IDCANCEL);
}

}
