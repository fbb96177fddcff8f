#pragma once

#include "platform/window/Button.h"

namespace lumarra {

// An automatic check box: a click toggles the tick, then notifies the
// parent with BN_CLICKED.
class CheckBox : public Button {
public:
    int GetCheck() const { return m_checked ? 1 : 0; }
    void SetCheck(int checked);
    bool IsPushButton() const override { return false; }
    // Toggles the tick, then tells the parent.
    void Click() override;

protected:
    void OnPaint(DrawContext& dc) override;

private:
    bool m_checked = false;
};

}
