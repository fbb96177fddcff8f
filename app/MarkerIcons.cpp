#include "app/MarkerIcons.h"

#include "app/GameStage.h"
#include "platform/window/Window.h"

namespace lumarra {

namespace {

// Icons 2–5 of the stage's icon sheet are the markers.
constexpr int kFirstMarkerIcon = 2;

}

bool MarkerIcons::Names(int kind, size_t marker)
{
    return kind == static_cast<int>(marker) || (kind & kValue[marker]) != 0;
}

void MarkerIcons::Show(int x, int y, int kind)
{
    for (size_t k = 0; k < kCount; ++k) {
        if (kind != static_cast<int>(k) && kind != kValue[k])
            continue;
        std::lock_guard guard(m_lock);
        m_markers[k].at = { x, y };
        DrawMarker(k);
        m_markers[k].spot = m_stage.AddHotSpot(x, y, kSize, kSize, kValue[k], kKey[k]);
        m_blinkOn = true;
        if (Window* view = m_stage.GetView())
            view->SetTimer(GameStage::kBlinkTimer, GameStage::kBlinkPeriodMs);
        return;
    }
}

void MarkerIcons::Hide(int kind)
{
    std::lock_guard guard(m_lock);
    for (size_t k = 0; k < kCount; ++k) {
        if (!Names(kind, k) || m_markers[k].spot == -1)
            continue;
        if (Window* view = m_stage.GetView())
            view->KillTimer(GameStage::kBlinkTimer);
        RestorePlace(k);
        m_markers[k].spot = -1;
        m_stage.RemoveHotSpotsByValue(kValue[k]);
    }
}

void MarkerIcons::BlinkStep()
{
    std::lock_guard guard(m_lock);
    bool any = false;
    for (size_t k = 0; k < kCount; ++k) {
        if (m_markers[k].spot == -1)
            continue;
        any = true;
        if (m_blinkOn)
            DrawMarker(k);
        else
            RestorePlace(k);
    }
    if (any)
        m_blinkOn = !m_blinkOn;
}

void MarkerIcons::Reset()
{
    std::lock_guard guard(m_lock);
    m_markers.fill({});
}

int MarkerIcons::GetSpot(int marker) const
{
    if (marker < 0 || marker >= kCount)
        return -1;
    std::lock_guard guard(m_lock);
    return m_markers[static_cast<size_t>(marker)].spot;
}

void MarkerIcons::DrawMarker(size_t marker)
{
    const Point& at = m_markers[marker].at;
    m_stage.DrawSurfaceDirect(m_stage.Icon(kFirstMarkerIcon + static_cast<int>(marker)), at.x, at.y, kSize, kSize, 0,
        0);
}

void MarkerIcons::RestorePlace(size_t marker)
{
    const Point& at = m_markers[marker].at;
    m_stage.CopyToView(at.x, at.y, kSize, kSize);
}

}
