#pragma once

#include "platform/window/Dialog.h"

namespace lumarra {

// The notice that the desktop mask went on (template 32234), with the check
// box that switches the mask on at every start. The box shows the stored
// switch; only OK writes it back.
class CStartMaskDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 32234;
    static constexpr int kAutoMaskCheck = 1024;

    explicit CStartMaskDlg(Window* parent = nullptr)
        : Dialog(kTemplateId, parent)
    {
    }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

private:
    int m_autoMask = 0;
};

}
