#pragma once

#include "app/CCaptionTipDlg.h"
#include "app/CStageView.h"
#include "app/GameStage.h"
#include "app/WindowSizing.h"
#include "graphics/DibSurface.h"
#include "platform/window/Dialog.h"

#include <array>
#include <memory>
#include <string>

namespace lumarra {

class CMaskBackDlg;
class Font;
class Icon;

// The game's window (template 102): a borderless dialog that draws its own
// caption with six small buttons, holds the frame and in it the stage view,
// owns the stage, and scrolls the view on screens too small for it.
class CMainGameDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 102;
    static constexpr uint32_t kFrameTemplate = 313;
    static constexpr uint32_t kLoadingTemplate = 220;
    static constexpr uintptr_t kWelcomeTimer = 121212;
    static constexpr uintptr_t kMaskNoticeTimer = 131313;
    static constexpr uint32_t kStartTimerMs = 1000;
    static constexpr unsigned kAboutCommand = 16;
    static constexpr unsigned kWelcomeCommand = 32;
    static constexpr LPARAM kAutomaticWelcome = 1234;
    static constexpr int kStageWidth = 980;
    static constexpr int kStageHeight = 600;
    static constexpr int kCaptionHeight = 26;
    static constexpr int kBorder = 2;

    // The caption buttons, as their tooltips number them.
    enum CaptionButton {
        kCloseButton,
        kMaximiseButton,
        kMinimiseButton,
        kModeButton,
        kMaskButton,
        kMusicButton,
        kButtonCount,
    };

    explicit CMainGameDlg(CMaskBackDlg* backdrop = nullptr);
    ~CMainGameDlg() override;

    bool Create(Window* owner);
    // Unlocks the keyboard, then stops the stage, whichever way the game
    // ends.
    bool DestroyWindow() override;

    // Called by the view on every pointer move, in view coordinates.
    void ScrollToMouse(int x, int y);
    void RelayToCaptionTip(const Message& message);

    GameStage& GetStage() { return m_stage; }
    CStageView& GetView() { return m_view; }
    CCaptionTipDlg& GetCaptionTip() { return m_captionTip; }
    const ViewScroller& GetScroller() const { return m_scroller; }
    // A caption button's rectangle in window coordinates.
    Rect GetButtonRect(CaptionButton button) const { return m_buttonRects[button]; }
    bool IsMaskOn() const { return m_maskOn; }

    // The desktop mask: on covers the screen with the backdrop, locks the
    // keyboard and shows the notice (left out at start-up, where a timer
    // shows it once the title is up); off asks for the release word first.
    void MaskOn(bool showNotice);
    void MaskOff();

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(Message& message) override;
    void OnPaint(DrawContext& dc) override;
    void OnLButtonUp(unsigned flags, Point point) override;
    void OnTimer(uintptr_t id) override;
    void OnClose() override;
    void OnSysCommand(unsigned command, LPARAM lParam) override;
    bool OnNcActivate(bool active) override;
    int OnNcHitTest(Point point) override;
    // Below the caption icon, so the menu never covers the caption.
    Point GetSystemMenuAnchor() const override { return ClientToScreen({ m_iconRect.left, kCaptionHeight }); }
    // Enter and Escape do not end the game.
    void OnOK() override { }
    void OnCancel() override { }

private:
    void BuildSystemMenu();
    void ApplySizing();
    void CreateChildren();
    void LayoutCaption();
    void AddCloseTools();
    void PaintCaption(DrawContext& dc);
    void PaintButton(DrawContext& dc, CaptionButton button, int row);
    void ToggleClickMode();
    void ToggleMusic();
    void StopStage();
    void ShowMaskMessage();
    void ShowMaskNotice();
    void ShowWelcome(bool openedByUser);

    Dialog m_frame;
    CMaskBackDlg* m_backdrop;
    CStageView m_view;
    GameStage* m_stageLink = nullptr;
    GameStage m_stage;
    CCaptionTipDlg m_captionTip;
    Rect m_clientRect;
    ViewScroller m_scroller;
    bool m_captionActive = true;
    bool m_maskOn = false;
    bool m_stageStopped = false;
    Rect m_iconRect;
    std::array<Rect, kButtonCount> m_buttonRects;
    std::string m_title;
    std::unique_ptr<Icon> m_icon;
    std::shared_ptr<const Font> m_titleFont;
    DibSurface m_buttonSheet;
    DibSurface m_iconSheet;
};

}
