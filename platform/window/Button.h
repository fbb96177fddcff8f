#pragma once

#include "platform/window/Window.h"

namespace lumarra {

// A push button. A click (press and release inside, or Space while it has
// the focus) sends WM_COMMAND with BN_CLICKED to the parent.
class Button : public Window {
public:
    // Presses the button as a click would.
    virtual void Click();
    // Push buttons take Enter in a dialog; check boxes do not.
    virtual bool IsPushButton() const { return true; }

protected:
    void OnPaint(DrawContext& dc) override;
    bool OnEraseBkgnd(DrawContext&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnMouseMove(unsigned flags, Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;
    void OnKeyDown(unsigned key, unsigned repeatCount, unsigned keyData) override;
    void OnSetFocus() override { Invalidate(); }
    void OnKillFocus() override { Invalidate(); }

    // Fills the background as the control colors say and returns the text
    // color to use.
    COLORREF PaintBackground(DrawContext& dc);
    bool IsPressed() const { return m_pressed; }
    bool HasFocus() const { return GetFocus() == this; }

private:
    void SetPressed(bool pressed);

    bool m_tracking = false;
    bool m_pressed = false;
};

}
