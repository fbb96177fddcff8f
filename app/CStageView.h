#pragma once

#include "platform/window/Dialog.h"

namespace lumarra {

class CMainGameDlg;
class GameStage;

// The 980 × 600 child on which every screen is drawn (template 264). It
// hands its input, timers, cursor requests and paints to the stage the main
// window gave it, and pointer moves to the main window for scrolling.
class CStageView : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 264;

    CStageView()
        : Dialog(kTemplateId)
    {
    }

    bool Create(Window* frame);
    void SetStage(GameStage* stage) { m_stage = stage; }
    GameStage* GetStage() const { return m_stage; }

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(Message& message) override;
    void OnPaint(DrawContext& dc) override;
    bool OnEraseBkgnd(DrawContext&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;
    void OnMouseMove(unsigned flags, Point point) override;
    void OnRButtonDown(unsigned flags, Point point) override;
    void OnRButtonUp(unsigned flags, Point point) override;
    void OnKeyDown(unsigned, unsigned, unsigned) override { }
    void OnTimer(uintptr_t id) override;
    bool OnSetCursor(Window* window, int hitTest, uint32_t message) override;

private:
    GameStage* m_stage = nullptr;
    CMainGameDlg* m_owner = nullptr;
};

}
