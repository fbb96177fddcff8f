#pragma once

#include "platform/window/Button.h"
#include "platform/window/Dialog.h"
#include "platform/window/IconControl.h"
#include "platform/window/StaticControl.h"

#include <string>

namespace lumarra {

// The dialog behind MessageBox: laid out from the measured text.
class MessageBoxDialog final : public Dialog {
public:
    MessageBoxDialog(std::string_view text, std::string_view caption, unsigned type);

    int Show(Window* owner);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
    bool PreTranslateMessage(Message& message) override;
    bool OnEraseBkgnd(DrawContext& dc) override;

private:
    bool IsYesNo() const;

    std::string m_message;
    std::string m_caption;
    unsigned m_type;
    IconControl m_icon;
    StaticControl m_text;
    Button m_first;
    Button m_second;
    int m_bandTop = 0;
};

}
