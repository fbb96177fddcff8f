// The program's dialogs. Sizes are in dialog units of each dialog's font.
#include "platform/window/DialogTemplate.h"
#include "platform/window/WindowTypes.h"

#include <array>

namespace lumarra {

namespace {

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";
constexpr int kDialogPoints = 9;
constexpr uint32_t kModalStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
constexpr uint32_t kPushButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr uint32_t kDefaultButton = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr uint32_t kProgramIcon = 128;
constexpr uint32_t kNoticeIcon = 244;
constexpr uint32_t kBackdropBitmap = 316;

// The version box.
constexpr std::array kAboutControls {
    ControlTemplate { ControlKind::Icon, IDC_STATIC, "", 11, 10, 21, 20, SS_ICON, kProgramIcon },
    ControlTemplate { ControlKind::Static, 1025, "Velmora\nLumarra Version", 42, 10, 130, 20, SS_LEFT },
    ControlTemplate { ControlKind::Static, 1026, "", 42, 34, 186, 44, SS_LEFT },
    ControlTemplate { ControlKind::Static, 1027, "", 42, 80, 186, 10, SS_LEFT },
    ControlTemplate { ControlKind::Static, 1035, "https://lumarra.example.org/", 42, 94, 120, 10, SS_LEFT | SS_NOTIFY },
    ControlTemplate { ControlKind::Button, IDOK, "OK", 178, 10, 50, 14, kDefaultButton },
};

// The welcome dialog.
constexpr std::array kWelcomeControls {
    ControlTemplate { ControlKind::Icon, IDC_STATIC, "", 10, 8, 21, 20, SS_ICON, kProgramIcon },
    ControlTemplate { ControlKind::Static, 1016, "", 40, 8, 272, 200, SS_LEFT | SS_SUNKEN },
    ControlTemplate { ControlKind::CheckBox, 1014, "今後このメッセージを表示しない。", 40, 214, 170, 10,
        BS_AUTOCHECKBOX | WS_TABSTOP },
    ControlTemplate { ControlKind::Static, 1015, "Orvellaホームページはこちら", 40, 230, 120, 10, SS_LEFT | SS_NOTIFY },
    ControlTemplate { ControlKind::Button, IDOK, "閉じる", 262, 226, 50, 14, kDefaultButton },
};

// The caption tooltip: one line of text on a borderless popup.
constexpr std::array kTooltipControls {
    ControlTemplate { ControlKind::Static, 1003, "", 0, 1, 40, 10, SS_LEFT | SS_LEFTNOWORDWRAP },
};

// The desktop mask's backdrop picture.
constexpr std::array kBackdropControls {
    ControlTemplate { ControlKind::Picture, 1021, "", 0, 0, 32, 32, SS_BITMAP, kBackdropBitmap },
};

// The release prompt.
constexpr std::array kInputKeyControls {
    ControlTemplate { ControlKind::Icon, IDC_STATIC, "", 10, 10, 21, 20, SS_ICON, kNoticeIcon },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "デスクトップマスクを解除しますか？", 40, 10, 185, 10, SS_LEFT },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "デスクトップマスクを解除する場合は、", 40, 26, 185, 10,
        SS_LEFT },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "「ZEP」と入力してから、OKボタンを押してください。", 40, 38, 190,
        10, SS_LEFT },
    ControlTemplate { ControlKind::Edit, 1023, "", 80, 54, 80, 14,
        ES_CENTER | ES_UPPERCASE | ES_AUTOHSCROLL | WS_TABSTOP },
    ControlTemplate { ControlKind::Button, IDOK, "OK", 64, 78, 50, 14, kDefaultButton },
    ControlTemplate { ControlKind::Button, IDCANCEL, "キャンセル", 126, 78, 50, 14, kPushButton },
};

// The notice after the mask went on.
constexpr std::array kStartMaskControls {
    ControlTemplate { ControlKind::Icon, IDC_STATIC, "", 10, 10, 21, 20, SS_ICON, kNoticeIcon },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "デスクトップマスクをONにしました。", 40, 12, 205, 10, SS_LEFT },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "元にもどす場合は、もう一度このボタンを押してください。", 40, 28,
        215, 10, SS_LEFT },
    ControlTemplate { ControlKind::CheckBox, 1024, "次回、起動時からデスクトップマスクを自動的にONする。", 40, 50, 215,
        10, BS_AUTOCHECKBOX | WS_TABSTOP },
    ControlTemplate { ControlKind::Button, IDOK, "OK", 105, 72, 50, 14, kDefaultButton },
};

constexpr std::array kTemplates {
    DialogTemplate { 100, kModalStyle, 0, 0, 236, 112, "Lumarra（Velmora）のバージョン情報", kDialogFont, kDialogPoints,
        kAboutControls },
    // The main window: borderless; it sizes itself.
    DialogTemplate { 102, WS_POPUP | WS_SYSMENU | DS_SETFONT, 0, 0, 656, 400, "Lumarra（Velmora）", kDialogFont,
        kDialogPoints, {} },
    // Shown while the stage loads.
    DialogTemplate { 220, WS_POPUP | WS_VISIBLE | WS_BORDER | DS_CENTER | DS_SETFONT, 0, 0, 187, 93, "", kDialogFont,
        kDialogPoints, {} },
    DialogTemplate { 263, kModalStyle, 0, 0, 320, 248, "ようこそLumarra（Velmora）へ", kDialogFont, kDialogPoints,
        kWelcomeControls },
    // The stage view inside the frame.
    DialogTemplate { 264, WS_CHILD | DS_SETFONT, 0, 0, 653, 369, "", kDialogFont, kDialogPoints, {} },
    DialogTemplate { 308, WS_POPUP | DS_SETFONT, 0, 0, 40, 12, "", kDialogFont, kDialogPoints, kTooltipControls,
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE },
    DialogTemplate { 309, WS_POPUP | DS_SETFONT, 0, 0, 100, 100, "", "MS Shell Dlg", 8, kBackdropControls },
    // The frame around the stage view.
    DialogTemplate { 313, WS_CHILD | DS_SETFONT, 0, 0, 653, 369, "", kDialogFont, kDialogPoints, {} },
    DialogTemplate { 317, kModalStyle, 0, 0, 236, 100, " Lumarra（Velmora）", kDialogFont, kDialogPoints,
        kInputKeyControls },
    DialogTemplate { 32234, kModalStyle, 0, 0, 262, 94, "Lumarra（Velmora）", kDialogFont, kDialogPoints,
        kStartMaskControls },
};

}

const DialogTemplate* FindDialogTemplate(uint32_t id)
{
    for (const DialogTemplate& dialogTemplate : kTemplates) {
        if (dialogTemplate.id == id)
            return &dialogTemplate;
    }
    return nullptr;
}

}
