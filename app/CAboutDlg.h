#pragma once

#include "graphics/LinkLabel.h"
#include "platform/window/Dialog.h"

#include <string_view>

namespace lumarra {

// The version box (template 100): the program's name and version, its
// icon, the credits, the copyright line and a link to the project's home
// page.
class CAboutDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 100;
    static constexpr std::string_view kHomePage = "https://lumarra.example.org/";

    explicit CAboutDlg(Window* parent = nullptr);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    LinkLabel m_link;
};

}
