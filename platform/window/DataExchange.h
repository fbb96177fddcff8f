#pragma once

#include <string>

namespace lumarra {

class Dialog;
class Window;

// Moves values between a dialog's controls and its members (UpdateData):
// with `saveAndValidate` from the controls into the members, otherwise the
// other way.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : m_dialog(dialog)
        , m_saveAndValidate(saveAndValidate)
    {
    }

    bool IsSaving() const { return m_saveAndValidate; }
    Window* Control(int id) const;
    // A control that is missing or of the wrong kind fails the exchange.
    void Fail() { m_failed = true; }
    bool Failed() const { return m_failed; }

private:
    Dialog& m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
};

// The text of any control (CP932).
void DDX_Text(DataExchange& dx, int id, std::string& value);
// A check box's state: 0 unticked, 1 ticked.
void DDX_Check(DataExchange& dx, int id, int& value);

}
