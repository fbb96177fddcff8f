#pragma once

#include "platform/window/Dialog.h"

#include <string>

namespace lumarra {

// The release prompt (template 317): asks for the release word in an edit
// box that centres and upper-cases what is typed. OK ends it with IDOK only
// when the word matches in any letter case; a wrong word is told once and
// ends it with IDCANCEL, with no second try.
class CInputKeyDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 317;
    static constexpr int kWordEdit = 1023;

    explicit CInputKeyDlg(Window* parent = nullptr)
        : Dialog(kTemplateId, parent)
    {
    }

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

private:
    std::string m_typedWord;
};

}
