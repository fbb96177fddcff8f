#include "app/CGameApp.h"

#include "app/CMainGameDlg.h"
#include "childlock/CMaskBackDlg.h"
#include "graphics/PictureCache.h"
#include "platform/CodePage.h"
#include "platform/NativePath.h"
#include "platform/window/MessageBox.h"
#include "platform/window/QuitSignals.h"
#include "platform/window/SystemMetrics.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumarra {

namespace {

constexpr std::string_view kRegistSwitch = "/REGIST";
constexpr int kExitFailure = 1;

}

bool CGameApp::HasRegistSwitch(std::string_view commandLine)
{
    std::string upper = UpperCaseAscii(commandLine, GetSystemCodePage());
    return upper.find(kRegistSwitch) != std::string::npos;
}

bool CGameApp::InitInstance()
{
    if (HasRegistSwitch(m_commandLine)) {
        m_exitCode = PrebuildCache();
        return false;
    }
    if (!IsReady()) {
        // Nothing could be shown: say so rather than run unseen.
        std::fprintf(stderr,
            "lumarra: no display to show the game on (DISPLAY or WAYLAND_DISPLAY names no running display)\n");
        m_exitCode = kExitFailure;
        return false;
    }
    // From here on a quit signal closes the game the orderly way; the cache
    // prebuild above ends at the signal as any program does.
    CatchQuitSignals();
    if (GetScreenSize().width < kMinimumScreenWidth && !ConfirmSmallScreen())
        return false;
    try {
        RunGame();
    } catch (...) {
        // The windows are gone with the stack; the program ends normally.
    }
    return false;
}

int CGameApp::PrebuildCache()
{
    std::vector<PictureCacheFailure> failures;
    PrebuildPictureCache(&failures);
    for (const PictureCacheFailure& failure : failures)
        std::fprintf(stderr, "lumarra: could not write %s: %s\n", ToNativePath(failure.path).c_str(),
            std::strerror(failure.error));
    return failures.empty() ? 0 : kExitFailure;
}

bool CGameApp::ConfirmSmallScreen()
{
    int answer = MessageBox(nullptr,
        Sjis("本製品は１０２４×７６８以上の画面サイズでお楽しみください。\n\n[ｺﾝﾄﾛｰﾙﾊﾟﾈﾙ]の[画面]を起動し[設定]タブの["
             "画面の領域]を変更してください。\nこのままでゲームを始めますか？"),
        Sjis("Lumarra（Velmora）"), MB_YESNO | MB_ICONINFORMATION);
    return answer != IDNO;
}

void CGameApp::RunGame()
{
    CMaskBackDlg backdrop;
    backdrop.Create();
    {
        CMainGameDlg game(&backdrop);
        SetMainWindow(&game);
        game.Create(&backdrop);
        if (game.IsCreated())
            game.RunModalLoop(0);
        game.DestroyWindow();
        SetMainWindow(nullptr);
        backdrop.ShowWindow(SW_HIDE);
        backdrop.DestroyWindow();
    }
}

}
