#include "app/CMainGameDlg.h"

#include "app/CAboutDlg.h"
#include "app/CWelcomeDlg.h"
#include "app/ProgramVersion.h"
#include "app/Settings.h"
#include "audio/SoundDevice.h"
#include "childlock/CInputKeyDlg.h"
#include "childlock/CMaskBackDlg.h"
#include "childlock/CStartMaskDlg.h"
#include "game/StringIds.h"
#include "game/TitleScene.h"
#include "platform/CodePage.h"
#include "platform/Resources.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/CaptionColors.h"
#include "platform/window/IconFile.h"
#include "platform/window/MessageBox.h"
#include "platform/window/PopupMenu.h"
#include "platform/window/SystemMetrics.h"
#include "tumbler/Tumbler.h"

#include <cstdio>

namespace lumarra {

namespace {

constexpr uint32_t kProgramIcon = 128;
constexpr uint32_t kButtonBitmap = 314;
constexpr uint32_t kCaptionIconBitmap = 315;
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 14;
constexpr int kButtonTop = 6;
constexpr int kCaptionIconSize = 16;
constexpr int kInactiveIconRow = 16;
constexpr int kInactiveRow = 28;
constexpr int kLitRow = 14;
constexpr int kGreyRow = 56;
constexpr int kTitleIndent = 28;
constexpr int kTitleFontTenths = 90;
constexpr int kDragBandBottom = 25;
constexpr int kStagePauseMs = 100;

// Each button: its right and left edges measured back from the client's
// right edge, and its column in the button sheet.
struct ButtonPlace {
    int fromRight;
    int toRight;
    int column;
};
constexpr std::array<ButtonPlace, CMainGameDlg::kButtonCount> kButtonPlaces = { {
    { 21, 5, 0 },
    { 39, 23, 16 },
    { 55, 39, 32 },
    { 79, 63, 48 },
    { 95, 79, 64 },
    { 111, 95, 80 },
} };

constexpr int kCloseTool = 100;
constexpr int kMinimiseTool = 101;
constexpr int kModeTool = 102;
constexpr int kMaskTool = 103;
constexpr int kMusicTool = 105;

const char* const kCaption = "Lumarra（Velmora）";

}

CMainGameDlg::CMainGameDlg(CMaskBackDlg* backdrop)
    : Dialog(kTemplateId)
    , m_backdrop(backdrop)
{
}

CMainGameDlg::~CMainGameDlg()
{
    DestroyWindow();
}

bool CMainGameDlg::Create(Window* owner)
{
    return Dialog::Create(kTemplateId, owner);
}

bool CMainGameDlg::OnInitDialog()
{
    Dialog::OnInitDialog();
    auto loading = std::make_unique<Dialog>();
    loading->Create(kLoadingTemplate, this);

    OpenSoundDevice();
    BuildSystemMenu();

    m_icon = LoadIconResource(kProgramIcon);
    if (m_icon) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.get()));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon.get()));
    }
    ProgramVersion version = ProgramVersion::Read();
    char title[96];
    std::snprintf(title, sizeof title, "Lumarra（Velmora）version %d.%d", version.major, version.minor);
    m_title = Sjis(title);
    m_titleFont = Font::CreatePoint(kTitleFontTenths, Sjis("ＭＳ 明朝"));
    m_buttonSheet.LoadFromResource(kButtonBitmap, kNoColor);
    m_iconSheet.LoadFromResource(kCaptionIconBitmap, kNoColor);

    ApplySizing();
    CreateChildren();
    m_stage.Init(&m_view, kStageWidth, kStageHeight, std::make_unique<TitleScene>(&m_stage));
    m_stage.SetOwner(this);
    m_stageLink = &m_stage;
    m_view.SetStage(m_stageLink);
    loading->ShowWindow(SW_HIDE);
    loading->DestroyWindow();
    loading.reset();

    SetWindowText(m_title);
    LayoutCaption();
    Invalidate(false);
    ShowWindow(SW_SHOW);

    m_captionTip.Create(this);
    AddCloseTools();
    m_captionTip.AddTool(Sjis("がんばれモード/チャレンジモード"), m_buttonRects[kModeButton], kModeTool);
    m_captionTip.AddTool(Sjis("デスクトップマスク ON/OFF"), m_buttonRects[kMaskButton], kMaskTool);
    m_captionTip.AddTool(Sjis("音楽 ON/OFF"), m_buttonRects[kMusicButton], kMusicTool);

    m_stage.StartThread();
    m_view.SetFocus();
    m_maskOn = ReadMaskAtStart() != 0;
    if (m_maskOn)
        MaskOn(false);
    SetTimer(m_maskOn ? kMaskNoticeTimer : kWelcomeTimer, kStartTimerMs);
    return true;
}

void CMainGameDlg::BuildSystemMenu()
{
    std::string versionItem = LoadString(kStringVersionMenuItem);
    if (versionItem.empty())
        return;
    PopupMenu& menu = GetSystemMenu();
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, kWelcomeCommand, Sjis("ようこそLumarra（Velmora）へ(&W)..."));
    menu.AppendMenu(MF_STRING, kAboutCommand, versionItem);
}

void CMainGameDlg::ApplySizing()
{
    Rect window = GetWindowRect();
    Rect client = GetClientRect();
    Size extra { window.GetWidth() - client.GetWidth(), window.GetHeight() - client.GetHeight() };
    Rect work = GetWorkArea();
    WindowSizing sizing = WindowSizing::Compute({ work.GetWidth(), work.GetHeight() }, extra);
    MoveWindow(window.left, window.top, sizing.windowWidth, sizing.windowHeight, false);
    m_scroller.SetRanges(sizing.scrollRangeX, sizing.scrollRangeY);
    CenterWindow(m_backdrop);
    m_clientRect = GetClientRect();
}

void CMainGameDlg::CreateChildren()
{
    m_frame.Create(kFrameTemplate, this);
    m_frame.SetBackgroundColor(RGB(0, 0, 0));
    m_frame.MoveWindow(kBorder, kCaptionHeight, m_clientRect.GetWidth() - 2 * kBorder,
        m_clientRect.GetHeight() - kCaptionHeight - kBorder);
    m_frame.ShowWindow(SW_SHOW);
    m_view.Create(&m_frame);
    m_view.MoveWindow(0, 0, kStageWidth, kStageHeight);
    m_view.ShowWindow(SW_SHOW);
}

void CMainGameDlg::LayoutCaption()
{
    int right = m_clientRect.right;
    m_iconRect = { 6, 5, 22, 21 };
    for (size_t i = 0; i < kButtonPlaces.size(); ++i) {
        const ButtonPlace& place = kButtonPlaces[i];
        m_buttonRects[i] = { right - place.fromRight, kButtonTop, right - place.toRight, kButtonTop + kButtonHeight };
    }
}

void CMainGameDlg::AddCloseTools()
{
    m_captionTip.AddTool(Sjis("閉じる"), m_buttonRects[kCloseButton], kCloseTool);
    m_captionTip.AddTool(Sjis("最小化"), m_buttonRects[kMinimiseButton], kMinimiseTool);
}

// ---------------------------------------------------------------------------
// Caption

void CMainGameDlg::OnPaint(DrawContext& dc)
{
    if (IsIconic())
        return;
    PaintCaption(dc);
}

void CMainGameDlg::PaintCaption(DrawContext& dc)
{
    Rect client = GetClientRect();
    const CaptionColors colors = CaptionColors::For(m_captionActive);
    COLORREF frame = colors.frame;
    dc.FillSolidRect({ 0, kCaptionHeight, kBorder, client.bottom }, frame);
    dc.FillSolidRect({ client.right - kBorder, kCaptionHeight, client.right, client.bottom }, frame);
    dc.FillSolidRect({ 0, client.bottom - kBorder, client.right, client.bottom }, frame);

    dc.FillSolidRect({ 0, 0, client.right, kCaptionHeight }, colors.band);
    dc.FillSolidRect({ 0, 0, client.right, kBorder }, frame);
    dc.FillSolidRect({ 0, 0, kBorder, kCaptionHeight }, frame);
    dc.FillSolidRect({ client.right - kBorder, 0, client.right, kCaptionHeight }, frame);

    if (m_titleFont) {
        dc.SelectFont(m_titleFont);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(colors.text);
        Rect band { kTitleIndent, 0, client.right, kCaptionHeight };
        dc.DrawText(m_title, band, DT_SINGLELINE | DT_VCENTER);
    }

    if (m_iconSheet.IsValid())
        m_iconSheet.Draw(dc, m_iconRect.left, m_iconRect.top, kCaptionIconSize, kCaptionIconSize, 0,
            m_captionActive ? 0 : kInactiveIconRow, SRCCOPY);

    int base = m_captionActive ? 0 : kInactiveRow;
    int masked = m_maskOn ? base + kGreyRow : base;
    PaintButton(dc, kCloseButton, masked);
    PaintButton(dc, kMaximiseButton, base + kGreyRow);
    PaintButton(dc, kMinimiseButton, masked);
    PaintButton(dc, kModeButton, m_stage.clickMode ? base + kLitRow : base);
    PaintButton(dc, kMaskButton, m_maskOn ? base + kLitRow : base);
    PaintButton(dc, kMusicButton, m_stage.musicOn ? base + kLitRow : base);
}

void CMainGameDlg::PaintButton(DrawContext& dc, CaptionButton button, int row)
{
    const Rect& rect = m_buttonRects[button];
    if (m_buttonSheet.IsValid()) {
        m_buttonSheet.Draw(dc, rect.left, rect.top, kButtonWidth, kButtonHeight, kButtonPlaces[button].column, row,
            SRCCOPY);
        return;
    }
    // Without the button sheet each button is at least a visible face.
    dc.FillSolidRect(rect, row >= kGreyRow ? kInactiveCaptionColors.band : 0xC0C0C0);
    dc.FillSolidRect({ rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1 },
        (row % kInactiveRow) == kLitRow ? 0x00E0F0 : 0xE0E0E0);
}

bool CMainGameDlg::OnNcActivate(bool active)
{
    m_captionActive = active;
    Dialog::OnNcActivate(active);
    Invalidate(false);
    return true;
}

int CMainGameDlg::OnNcHitTest(Point point)
{
    Rect window = GetWindowRect();
    Point local { point.x - window.left, point.y - window.top };
    if (m_iconRect.Contains(local.x, local.y) && !m_maskOn)
        return HTMENU;
    for (const Rect& rect : m_buttonRects) {
        if (rect.Contains(local.x, local.y))
            return HTCLIENT;
    }
    if (local.y > kDragBandBottom || m_maskOn)
        return Dialog::OnNcHitTest(point);
    return HTCAPTION;
}

bool CMainGameDlg::PreTranslateMessage(Message& message)
{
    RelayToCaptionTip(message);
    return Dialog::PreTranslateMessage(message);
}

void CMainGameDlg::RelayToCaptionTip(const Message& message)
{
    switch (message.message) {
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        m_captionTip.RelayEvent(message);
        break;
    default:
        break;
    }
}

void CMainGameDlg::OnLButtonUp(unsigned flags, Point point)
{
    auto hit = [&](CaptionButton button) { return m_buttonRects[button].Contains(point.x, point.y); };
    if (hit(kCloseButton)) {
        if (m_maskOn) {
            ShowMaskMessage();
            return;
        }
        StopStage();
        EndDialog(IDOK);
    } else if (hit(kMinimiseButton)) {
        if (m_maskOn)
            ShowMaskMessage();
        else
            ShowWindow(SW_MINIMIZE);
    } else if (hit(kModeButton)) {
        ToggleClickMode();
    } else if (hit(kMaskButton)) {
        if (m_maskOn)
            MaskOff();
        else
            MaskOn(true);
        Invalidate(false);
    } else if (hit(kMusicButton)) {
        ToggleMusic();
    } else {
        Dialog::OnLButtonUp(flags, point);
    }
}

void CMainGameDlg::ShowMaskMessage()
{
    MessageBox(this, Sjis("デスクトップマスクをOFFにして下さい。　　"), Sjis(kCaption), MB_ICONINFORMATION);
}

void CMainGameDlg::MaskOn(bool showNotice)
{
    m_maskOn = true;
    if (m_backdrop)
        m_backdrop->CoverScreen();
    SetForegroundWindow();
    m_captionTip.DelTool(kCloseTool);
    m_captionTip.DelTool(kMinimiseTool);
    // Without a lock (an old system) the mask still covers the screen.
    LockKeyboard();
    Invalidate(false);
    if (showNotice)
        ShowMaskNotice();
}

void CMainGameDlg::ShowMaskNotice()
{
    CStartMaskDlg notice(this);
    notice.DoModal();
}

void CMainGameDlg::MaskOff()
{
    CInputKeyDlg prompt(this);
    if (prompt.DoModal() != IDOK)
        return;
    m_maskOn = false;
    if (m_backdrop)
        m_backdrop->Uncover();
    AddCloseTools();
    UnLockKeyboard();
}

void CMainGameDlg::ToggleClickMode()
{
    int clickMode = m_stage.clickMode ? 0 : 1;
    m_stage.clickMode = clickMode;
    if (clickMode)
        MessageBox(this,
            Sjis("「チャレンジモード」になりました。\n\n取りたい札をマウスクリックして取ってください。　　"),
            Sjis(kCaption), MB_ICONINFORMATION);
    else
        MessageBox(this,
            Sjis(
                "「がんばれモード」になりました。\n\nマウスカーソルを正解札の上に移動するだけで取ることができます。　　"),
            Sjis(kCaption), MB_ICONINFORMATION);
    WriteClickMode(clickMode);
    Invalidate(false);
}

void CMainGameDlg::ToggleMusic()
{
    int musicOn = m_stage.musicOn ? 0 : 1;
    m_stage.SetMusic(musicOn);
    WriteMusicSwitch(musicOn);
    Invalidate(false);
}

// ---------------------------------------------------------------------------
// Timers, commands and the end

void CMainGameDlg::OnTimer(uintptr_t id)
{
    if (id == kWelcomeTimer) {
        if (titleNotReady)
            return;
        KillTimer(kWelcomeTimer);
        PostMessage(WM_SYSCOMMAND, kWelcomeCommand, kAutomaticWelcome);
        return;
    }
    if (id == kMaskNoticeTimer) {
        if (titleNotReady)
            return;
        KillTimer(kMaskNoticeTimer);
        ShowMaskNotice();
        SetTimer(kWelcomeTimer, kStartTimerMs);
        return;
    }
    if (m_stageLink)
        m_stageLink->OnTimer(id);
}

void CMainGameDlg::OnSysCommand(unsigned command, LPARAM lParam)
{
    switch (command & 0xFFF0) {
    case kAboutCommand: {
        CAboutDlg about(this);
        about.DoModal();
        break;
    }
    case kWelcomeCommand:
        ShowWelcome(lParam != kAutomaticWelcome);
        break;
    case SC_CLOSE:
    case SC_MINIMIZE:
        // What the window manager asks for is refused as the caption
        // buttons refuse it.
        if (m_maskOn) {
            ShowMaskMessage();
            break;
        }
        [[fallthrough]];
    default:
        Dialog::OnSysCommand(command, lParam);
        break;
    }
}

void CMainGameDlg::ShowWelcome(bool openedByUser)
{
    CWelcomeDlg welcome(this);
    welcome.SetOpenedByUser(openedByUser);
    welcome.DoModal();
}

void CMainGameDlg::OnClose()
{
    StopStage();
    EndDialog(IDCANCEL);
}

// Stops the stage, then takes down what hangs on it: the view and frame, the
// tooltip and the sound device. Runs once, on whichever way the game ends.
// A worker that would not stop may still draw and play: the view and the
// device stay for it, and the stage ends the process when it goes.
void CMainGameDlg::StopStage()
{
    if (m_stageStopped || !IsCreated())
        return;
    m_stageStopped = true;
    KillTimer(kWelcomeTimer);
    KillTimer(kMaskNoticeTimer);
    ShowWindow(SW_HIDE);
    m_stage.active = 0;
    m_stage.Wait(kStagePauseMs);
    m_stageLink = nullptr;
    m_view.SetStage(nullptr);
    m_stage.Shutdown();
    if (m_stage.IsWorkerRunning())
        return;
    m_view.DestroyWindow();
    m_frame.DestroyWindow();
    if (m_captionTip.IsCreated()) {
        m_captionTip.ShowWindow(SW_HIDE);
        m_captionTip.DestroyWindow();
    }
    CloseSoundDevice();
}

bool CMainGameDlg::DestroyWindow()
{
    UnLockKeyboard();
    StopStage();
    return Dialog::DestroyWindow();
}

void CMainGameDlg::ScrollToMouse(int x, int y)
{
    int width = m_clientRect.GetWidth();
    int height = m_clientRect.GetHeight();
    if (!m_scroller.ScrollToward(x, y, width, height))
        return;
    int nx = m_scroller.GetX();
    int ny = m_scroller.GetY();
    m_view.SetWindowPos(ZOrder::Top, nx, ny, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_view.ValidateRect(nullptr);
    if (m_stageLink)
        m_stageLink->RepaintRect(-nx, -ny, width - nx, height - ny);
}

}
