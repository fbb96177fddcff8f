#include "app/StageTransitions.h"

#include "app/GameStage.h"
#include "platform/window/ClientDC.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace lumarra {

namespace {

// The side panel the transitions bring in.
constexpr uint32_t kPanelBitmap = 135;
constexpr uint32_t kCurtainBitmap = 171;
constexpr int kPanelWidth = 325;
constexpr int kPanelHeight = 225;
constexpr int kPanelSourceX = 165;
constexpr int kPanelShownWidth = 158;
constexpr int kPanelImageWidth = 164;
constexpr int kPanelViewX = 810;
constexpr int kPanelViewY = 201;
constexpr int kTransitionStep = 8;
constexpr int kTransitionPauseMs = 10;
constexpr int kCurtainPauseMs = 5;
// How far the rising rows run past the top, so that both halves cover the
// whole height.
constexpr int kCurtainTravel = 980;

}

void StageTransitions::Curtain()
{
    m_stage.LoadPicture(kCurtainBitmap);
    Window* view = m_stage.GetView();
    DibSurface& spare = m_stage.GetSpare();
    if (view && spare.IsValid()) {
        int width = spare.GetWidth();
        int bottom = spare.GetHeight() - 1;
        // Even rows come down from the top while odd rows rise from the
        // bottom; the pair crosses once the top has passed the middle.
        for (int top = 0, row = bottom; row >= bottom - kCurtainTravel; top += 2, row -= 2) {
            {
                ClientDC dc(*view);
                if (dc.IsValid()) {
                    spare.Draw(*dc, 0, top, width, 1, 0, top, SRCCOPY);
                    spare.Draw(*dc, 0, row, width, 1, 0, row, SRCCOPY);
                    dc.MarkDirty(Rect::FromSize(0, top, width, 1));
                    dc.MarkDirty(Rect::FromSize(0, row, width, 1));
                }
            }
            m_stage.Wait(kCurtainPauseMs);
        }
    }
    m_stage.StopSound(0);
}

void StageTransitions::WipePanel()
{
    DibSurface panel(kPanelBitmap, kNoColor);
    if (!panel.IsValid())
        return;
    int width = kTransitionStep;
    for (int x = 960; x >= 816; x -= kTransitionStep, width += kTransitionStep) {
        m_stage.Wait(kTransitionPauseMs);
        m_stage.DrawSurfaceDirect(panel, x, kPanelViewY, width, kPanelHeight, kPanelSourceX, 0);
    }
    m_stage.DrawSurface(panel, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, kPanelSourceX, 0);
}

void StageTransitions::SlidePanelIn(DibSurface* image, int x, int y)
{
    DibSurface work(24, kPanelWidth, kPanelHeight, kNoColor);
    if (!work.IsValid())
        return;
    DibSurface panel(kPanelBitmap, kNoColor);
    if (panel.IsValid())
        work.DrawSurface(panel, 0, 0, kPanelWidth, kPanelHeight, 0, 0, SRCCOPY);
    // The image is kept inside the left area whatever its size.
    auto buildLeftArea = [&] {
        work.FillSolidRect(0, 0, kPanelImageWidth, kPanelHeight, RGB(0, 0, 0));
        if (image && image->IsValid()) {
            int w = std::min(image->GetWidth(), kPanelImageWidth - x);
            int h = std::min(image->GetHeight(), kPanelHeight - y);
            if (w > 0 && h > 0)
                work.DrawSurface(*image, x, y, w, h, 0, 0, SRCCOPY);
        }
    };
    buildLeftArea();
    for (int n = kPanelSourceX; n >= 5; n -= kTransitionStep) {
        m_stage.Wait(kTransitionPauseMs);
        buildLeftArea();
        m_stage.DrawSurfaceDirect(work, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, n, 0);
    }
    m_stage.DrawSurface(work, kPanelViewX, kPanelViewY, kPanelShownWidth, kPanelHeight, 0, 0);
}

}
