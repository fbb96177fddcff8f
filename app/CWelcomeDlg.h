#pragma once

#include "graphics/LinkLabel.h"
#include "platform/window/Dialog.h"

#include <string>

namespace lumarra {

// The welcome page (template 263). It opens by itself once the title is up,
// unless "startup.ini" beside the program says "NoWelcome", and from the
// system menu at any time. Its check box writes or deletes that file the
// moment it is clicked.
class CWelcomeDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 263;
    static constexpr int kTextStatic = 1016;
    static constexpr int kDontShowCheck = 1014;
    static constexpr int kLinkStatic = 1015;

    explicit CWelcomeDlg(Window* parent = nullptr);

    // False for the automatic opening at start, which ends at once when the
    // welcome is switched off.
    void SetOpenedByUser(bool byUser) { m_openedByUser = byUser; }

    // The page's text, CP932.
    static std::string WelcomeText();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    const Brush* OnCtlColor(DrawContext& dc, Window* control, unsigned type) override;

private:
    void OnDontShowClicked();

    bool m_openedByUser = true;
    int m_dontShowAgain = 0;
    std::string m_welcomeText;
    LinkLabel m_link;
};

}
