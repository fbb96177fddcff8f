#include "app/CAboutDlg.h"

#include "app/ProgramVersion.h"
#include "game/StringIds.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "platform/window/Shell.h"

#include <cstdio>

namespace lumarra {

namespace {

constexpr int kVersionStatic = 1025;
constexpr int kCreditsStatic = 1026;
constexpr int kCopyrightStatic = 1027;
constexpr int kLinkStatic = 1035;
constexpr COLORREF kLinkColor = 0xFF0000;
constexpr int kLinkPointTenths = 90;

}

CAboutDlg::CAboutDlg(Window* parent)
    : Dialog(kTemplateId, parent)
{
}

bool CAboutDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    ProgramVersion program = ProgramVersion::Read();
    char version[64];
    std::snprintf(version, sizeof version, "Velmora\nLumarra Version %d.%d", program.major, program.minor);
    if (Window* text = GetDlgItem(kVersionStatic))
        text->SetWindowText(version);
    if (Window* credits = GetDlgItem(kCreditsStatic))
        credits->SetWindowText(LoadString(kStringAboutCredits));
    if (Window* copyright = GetDlgItem(kCopyrightStatic))
        copyright->SetWindowText(LoadString(kStringAboutCopyright));

    if (m_link.SubclassDlgItem(kLinkStatic, this)) {
        m_link.SetLabelTextColor(kLinkColor);
        m_link.SetLabelFont(Sjis("ＭＳ ゴシック"), kLinkPointTenths, Sjis("標準|下線"));
        m_link.SetHandCursor(1);
    }
    return true;
}

bool CAboutDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kLinkStatic && HIWORD(wParam) == STN_CLICKED) {
        // Whether a browser opens is not ours to know.
        ShellOpen(kHomePage);
        return true;
    }
    return Dialog::OnCommand(wParam, lParam);
}

}
