#pragma once

#include "platform/window/Dialog.h"

namespace lumarra {

// The desktop mask's backdrop (template 309): a captionless popup holding one
// stretched picture (control 1021, bitmap 316). Made hidden at start-up; it
// owns the main window, so the game always lies above it. While the mask is
// on it covers the whole screen with a margin on every side.
class CMaskBackDlg : public Dialog {
public:
    static constexpr uint32_t kTemplateId = 309;
    static constexpr int kPictureId = 1021;
    // How far the mask reaches past each edge of the screen.
    static constexpr int kOverhang = 100;

    CMaskBackDlg()
        : Dialog(kTemplateId)
    {
    }

    // Modeless with no owner, over the screen and hidden.
    bool Create();
    // Shows the backdrop over the screen and the margin, above the other
    // windows but without taking the focus, the picture stretched over it.
    void CoverScreen();
    void Uncover() { ShowWindow(SW_HIDE); }
};

}
