#include "platform/window/DataExchange.h"

#include "platform/window/CheckBox.h"
#include "platform/window/Dialog.h"

namespace lumarra {

Window* DataExchange::Control(int id) const
{
    return m_dialog.GetDlgItem(id);
}

void DDX_Text(DataExchange& dx, int id, std::string& value)
{
    Window* control = dx.Control(id);
    if (!control) {
        dx.Fail();
        return;
    }
    if (dx.IsSaving())
        value = control->GetWindowText();
    else
        control->SetWindowText(value);
}

void DDX_Check(DataExchange& dx, int id, int& value)
{
    auto* box = dynamic_cast<CheckBox*>(dx.Control(id));
    if (!box) {
        dx.Fail();
        return;
    }
    if (dx.IsSaving())
        value = box->GetCheck();
    else
        box->SetCheck(value != 0 ? 1 : 0);
}

}
