// A small program that shows every part of the window layer at once: a
// borderless window with its own caption, a tooltip popup, a modal dialog
// with every kind of control and a Japanese message box. It then answers
// them itself and exits 0 when every answer came back as expected.
//
//   window_demo [--hold MS]
//
// With --hold it prints "READY" once everything is on screen and waits MS
// milliseconds before answering, so a screenshot can be taken.

#include "graphics/LinkLabel.h"
#include "platform/CodePage.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/Application.h"
#include "platform/window/CaptionColors.h"
#include "platform/window/CheckBox.h"
#include "platform/window/ClientDC.h"
#include "platform/window/DataExchange.h"
#include "platform/window/Dialog.h"
#include "platform/window/DialogTemplate.h"
#include "platform/window/IconControl.h"
#include "platform/window/MessageBox.h"
#include "platform/window/PictureControl.h"
#include "platform/window/PopupMenu.h"
#include "platform/window/StockIcons.h"
#include "tests/window/WindowTestSupport.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace lumarra;

namespace {

constexpr int kCaption = 26;
constexpr COLORREF kTipColor = 0xE8FFFF;
constexpr int kEdit = 20;
constexpr int kCheck = 21;
constexpr int kLink = 22;
constexpr int kPicture = 23;
constexpr int kIcon = 24;

constexpr std::array kControls {
    ControlTemplate { ControlKind::Icon, kIcon, "", 8, 8, 21, 20, SS_ICON },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "左寄せの文字です。長い文は折り返して表示されます。", 36, 8, 120,
        20, SS_LEFT },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "中央の文字", 36, 32, 120, 10, SS_CENTER },
    ControlTemplate { ControlKind::Static, IDC_STATIC, "くぼんだ枠の中の文字", 36, 46, 120, 16, SS_LEFT | SS_SUNKEN },
    ControlTemplate { ControlKind::Picture, kPicture, "", 164, 8, 48, 40, SS_BITMAP },
    ControlTemplate { ControlKind::Edit, kEdit, "", 36, 68, 90, 14, ES_CENTER | ES_UPPERCASE | WS_TABSTOP },
    ControlTemplate { ControlKind::CheckBox, kCheck, "次回も表示する。", 36, 88, 120, 10,
        BS_AUTOCHECKBOX | WS_TABSTOP },
    ControlTemplate { ControlKind::Static, kLink, "Orvellaホームページはこちら", 36, 104, 120, 10, SS_NOTIFY },
    ControlTemplate { ControlKind::Button, IDOK, "OK", 104, 122, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP },
    ControlTemplate { ControlKind::Button, IDCANCEL, "キャンセル", 160, 122, 50, 14, WS_TABSTOP },
};
constexpr DialogTemplate kDemoTemplate { 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 220, 144,
    "すべてのコントロール", "ＭＳ Ｐゴシック", 9, kControls };

// A small picture for the picture control: a sunset of stripes.
std::unique_ptr<Bitmap> MakePicture()
{
    std::unique_ptr<Bitmap> bitmap = Bitmap::CreateCompatible(24, 20);
    DrawContext dc(bitmap.get());
    for (int y = 0; y < 20; ++y)
        dc.FillSolidRect({ 0, y, 24, y + 1 }, RGB(255, static_cast<uint8_t>(80 + y * 8), static_cast<uint8_t>(y * 10)));
    dc.FillSolidRect({ 8, 12, 16, 20 }, RGB(40, 40, 120));
    return bitmap;
}

class DemoDialog : public Dialog {
public:
    std::string word = "zep";
    int again = 0;

    int Show(Window* owner) { return DoModalIndirect(kDemoTemplate, owner); }

protected:
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        SetWindowPos(ZOrder::Top, 690, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        static_cast<IconControl*>(GetDlgItem(kIcon))->SetIcon(GetQuestionIcon());
        static_cast<PictureControl*>(GetDlgItem(kPicture))->SetBitmap(MakePicture());
        m_link.SubclassDlgItem(kLink, this);
        m_link.SetLabelTextColor(0xFF0000);
        m_link.SetLabelFont(Sjis("ＭＳ ゴシック"), 90, Sjis("標準|下線"));
        m_link.SetHandCursor(1);
        return true;
    }
    void DoDataExchange(DataExchange& dx) override
    {
        DDX_Text(dx, kEdit, word);
        DDX_Check(dx, kCheck, again);
    }

private:
    LinkLabel m_link;
};

// The tooltip: template 308 on a light-yellow face.
class Tip : public Dialog {
protected:
    const Brush* OnCtlColor(DrawContext& dc, Window*, unsigned) override
    {
        dc.SetBkColor(kTipColor);
        return &m_face;
    }

private:
    Brush m_face { kTipColor };
};

class MainWindow : public Window {
public:
    MainWindow() { SetBackgroundColor(RGB(0xF4, 0xEE, 0xDC)); }

    ~MainWindow() override
    {
        m_stop = true;
        if (m_worker.joinable())
            m_worker.join();
    }

    void StartDrawing()
    {
        m_worker = std::thread([this] {
            // Draws from a worker thread, as the stage does.
            for (int frame = 0; !m_stop; ++frame) {
                {
                    ClientDC dc(*this);
                    Rect band { 20, kCaption + 300, 620, kCaption + 330 };
                    dc->FillSolidRect(band, RGB(0xF4, 0xEE, 0xDC));
                    int x = 20 + (frame * 6) % 560;
                    dc->FillSolidRect({ x, band.top, x + 40, band.bottom }, RGB(0xE0, 0x60, 0x30));
                    dc.MarkDirty(band);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(16));
            }
        });
    }

protected:
    void OnPaint(DrawContext& dc) override
    {
        Rect client = GetClientRect();
        bool active = IsCaptionActive();
        dc.FillSolidRect({ 0, 0, client.right, kCaption }, CaptionColors::For(active).band);
        dc.DrawIcon(6, -3, *GetInformationIcon());
        dc.SelectFont(Font::CreatePoint(90, Sjis("ＭＳ 明朝")));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(active ? 0xFFFFFF : 0xC0C0C0);
        Rect title { 44, 0, client.right, kCaption };
        dc.DrawText(Sjis("Lumarra（Velmora）　窓のデモ"), title, DT_SINGLELINE | DT_VCENTER);
        dc.SelectFont(Font::CreatePoint(160, Sjis("ＭＳ ゴシック")));
        dc.SetTextColor(RGB(0x40, 0x30, 0x20));
        Rect body { 20, kCaption + 20, client.right - 20, kCaption + 200 };
        dc.DrawText(Sjis("いろはにほへと　ちりぬるを\nわかよたれそ　つねならむ"), body, DT_WORDBREAK);
    }
    int OnNcHitTest(Point point) override
    {
        Point local = ScreenToClient(point);
        if (local.y >= 0 && local.y < kCaption)
            return local.x < 28 ? HTMENU : HTCAPTION;
        return Window::OnNcHitTest(point);
    }
    bool OnNcActivate(bool active) override
    {
        bool result = Window::OnNcActivate(active);
        Invalidate(false);
        return result;
    }

private:
    std::thread m_worker;
    std::atomic<bool> m_stop { false };
};

bool Check(bool ok, const char* what)
{
    if (!ok)
        std::fprintf(stderr, "window_demo: %s\n", what);
    return ok;
}

}

int main(int argc, char** argv)
{
    int holdMs = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--hold") == 0)
            holdMs = std::atoi(argv[i + 1]);
    }
    Application app;
    if (!Check(app.IsReady(), "no video"))
        return 1;

    MainWindow main;
    if (!Check(main.Create(WS_POPUP | WS_VISIBLE, 0, { 10, 10, 650, 430 }, nullptr), "main window"))
        return 1;
    app.SetMainWindow(&main);
    main.GetSystemMenu().AppendMenu(MF_SEPARATOR);
    main.GetSystemMenu().AppendMenu(MF_STRING, 16, Sjis("Lumarra（Velmora）のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    main.StartDrawing();

    Tip tip;
    if (!Check(tip.Create(308, &main), "tooltip"))
        return 1;
    Window* tipText = tip.GetDlgItem(1003);
    tipText->SetWindowText(Sjis("デスクトップマスク ON/OFF"));
    tip.SetWindowPos(ZOrder::Top, 470, 40, 150, 18, SWP_NOZORDER | SWP_NOACTIVATE);
    tipText->SetWindowPos(ZOrder::Top, 0, 1, 150, 16, SWP_NOZORDER);
    tip.ShowWindow(SW_SHOWNA);

    bool ok = true;
    DemoDialog dialog;
    int boxAnswer = 0;
    int step = 0;
    uint64_t readyAt = 0;
    test::Driver driver([&] {
        Window* box = Window::GetActiveWindow();
        switch (step) {
        case 0:
            // Once the dialog is up, open the message box from inside it.
            if (!dialog.IsWindowVisible())
                return false;
            ++step;
            boxAnswer = MessageBox(&main, Sjis("デスクトップマスクをOFFにして下さい。　　"), Sjis("Lumarra（Velmora）"),
                MB_OK | MB_ICONINFORMATION);
            return false;
        case 1:
            // Everything is up: let it paint, then tell the screenshot taker.
            if (!box || box == &dialog || !box->IsWindowVisible())
                return false;
            if (readyAt == 0) {
                readyAt = SDL_GetTicks64();
                return false;
            }
            if (SDL_GetTicks64() - readyAt < 300)
                return false;
            std::printf("READY\n");
            std::fflush(stdout);
            readyAt = SDL_GetTicks64();
            ++step;
            return false;
        case 2:
            if (SDL_GetTicks64() - readyAt < static_cast<uint64_t>(holdMs))
                return false;
            test::PressKey(SDLK_RETURN);
            ++step;
            return false;
        case 3:
            if (box != &dialog)
                return false;
            test::TypeText("abc");
            test::PressKey(SDLK_TAB);
            test::PressKey(SDLK_SPACE);
            test::PressKey(SDLK_RETURN);
            return true;
        default:
            return true;
        }
    });
    int result = dialog.Show(&main);
    ok &= Check(boxAnswer == IDOK, "message box answer");
    ok &= Check(result == IDOK, "dialog result");
    ok &= Check(dialog.word == "ZEPABC", "typed word");
    ok &= Check(dialog.again == 1, "check box");
    tip.DestroyWindow();
    main.PostMessage(WM_CLOSE);
    app.PumpUntil([&] { return !main.IsCreated(); }, 2000);
    ok &= Check(!main.IsCreated(), "main window closed");
    return ok ? 0 : 1;
}
