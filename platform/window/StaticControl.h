#pragma once

#include "platform/window/Window.h"

namespace lumarra {

// A static text control: left, centred or right aligned, word-wrapped
// unless SS_LEFTNOWORDWRAP, with a sunken edge for SS_SUNKEN. Clicks go
// through to the parent unless SS_NOTIFY, which sends STN_CLICKED instead.
// Colors come from the parent's OnCtlColor, else from CtlColor; a null
// brush with TRANSPARENT mode shows the parent through.
class StaticControl : public Window {
protected:
    void OnPaint(DrawContext& dc) override;
    bool OnEraseBkgnd(DrawContext&) override { return true; }
    int OnNcHitTest(Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;

    // Fills the background as the control colors say; false when nothing
    // was filled because the parent shows through.
    void PaintBackground(DrawContext& dc, unsigned type);
};

}
