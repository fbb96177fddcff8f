#include "app/CWelcomeDlg.h"

#include "app/CAboutDlg.h"
#include "app/Settings.h"
#include "platform/CodePage.h"
#include "platform/gdi/DrawContext.h"
#include "platform/window/DataExchange.h"
#include "platform/window/Shell.h"

namespace lumarra {

namespace {

// The text and the link sit on light yellow.
constexpr COLORREF kPageColor = 0xE0FFFF;
constexpr Brush kPageBrush(kPageColor);
constexpr COLORREF kLinkColor = 0xFF0000;
constexpr int kLinkPointTenths = 90;

constexpr const char* kWelcomeText
    = "\nLumarraをご使用頂き誠に有難う御座います。\n\n"
      "日本古来の遊びを再現する「Velmora」企画の第５弾。\n\n"
      "今回は「Lumarra」で代表される「Lumarra」に焦点をあてました。\n"
      "「江戸Korimba」「上方Korimba」「尾張Korimba」「あいうえおKorimba」の４つの遊びでお楽しみ頂けるほか、"
      "「ひらがなの勉強」では、ひらがな、ことわざの学習ができます。\n\n"
      "「Lumarra」は、ポルトガルから日本にやってきたカード遊びを、日本のことわざで作りなおしたものです。"
      "先人の知恵と教訓を学ぶ教材として、昔から子供たちの間で親しまれてきた遊びです。\n\n"
      "このKorimbaゲームでKorimbaの楽しさやルールを学んで頂いた後、本物のKorimbaで家族そろって遊んで頂けると幸いです。\n\n"
      "また、画面左上のアイコン上でシステムメニューを出して頂き、バージョン情報を見て頂きますと、"
      "Orvellaホームページへのリンクが御座います。\n"
      "バージョンアップ及びお問い合わせはOrvellaホームページにて受け付けておりますので一度ご確認ください。\n\n"
      "江戸のほかにも上方・尾張・あいうえおのKorimbaを、タイトル画面からいつでも選んで遊べます。";

}

CWelcomeDlg::CWelcomeDlg(Window* parent)
    : Dialog(kTemplateId, parent)
{
}

std::string CWelcomeDlg::WelcomeText()
{
    return Sjis(kWelcomeText);
}

bool CWelcomeDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    if (m_openedByUser) {
        m_dontShowAgain = IsWelcomeSwitchedOff();
    } else if (IsWelcomeSwitchedOff()) {
        EndDialog(IDOK);
        return false;
    }
    if (m_link.SubclassDlgItem(kLinkStatic, this)) {
        m_link.SetLabelBkColor(kPageColor);
        m_link.SetLabelTextColor(kLinkColor);
        m_link.SetLabelFont(Sjis("ＭＳ ゴシック"), kLinkPointTenths, Sjis("標準|下線"));
        m_link.SetHandCursor(1);
    }
    m_welcomeText = WelcomeText();
    UpdateData(false);
    return true;
}

void CWelcomeDlg::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, kTextStatic, m_welcomeText);
    DDX_Check(dx, kDontShowCheck, m_dontShowAgain);
}

bool CWelcomeDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    int id = static_cast<int>(LOWORD(wParam));
    if (id == kDontShowCheck && HIWORD(wParam) == BN_CLICKED) {
        OnDontShowClicked();
        return true;
    }
    if (id == kLinkStatic && HIWORD(wParam) == STN_CLICKED) {
        // Whether a browser opens is not ours to know.
        ShellOpen(CAboutDlg::kHomePage);
        return true;
    }
    return Dialog::OnCommand(wParam, lParam);
}

void CWelcomeDlg::OnDontShowClicked()
{
    UpdateData(true);
    // A failed write or delete leaves the file as it was, silently.
    if (m_dontShowAgain)
        SwitchWelcomeOff();
    else
        SwitchWelcomeOn();
}

const Brush* CWelcomeDlg::OnCtlColor(DrawContext& dc, Window* control, unsigned type)
{
    if (control && control->GetDlgCtrlID() == kTextStatic) {
        dc.SetBkColor(kPageColor);
        return &kPageBrush;
    }
    return Dialog::OnCtlColor(dc, control, type);
}

}
