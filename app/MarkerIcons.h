#pragma once

#include "platform/gdi/GdiTypes.h"

#include <array>
#include <mutex>

namespace lumarra {

class GameStage;

// The four blinking marker icons (the yes and no buttons among them). Each
// shown icon is drawn on the view only, is also a hot spot, and blinks with
// the stage's timer 1 on the interface thread.
//
// Showing, hiding and the blink step are serialised: a blink step that has
// seen an icon as shown finishes drawing it before a hide can restore its
// place, so a hidden icon is never drawn again.
class MarkerIcons {
public:
    static constexpr int kCount = 4;
    // Marker k's class bit, which is also the value of its hot spot, and the
    // key of that spot.
    static constexpr std::array<int, kCount> kValue = { 0x8000, 0x4000, 0x2000, 0x1000 };
    static constexpr std::array<int, kCount> kKey = { 0x8800, 0x4800, 0x2800, 0x1800 };
    static constexpr int kSize = 32;
    static constexpr int kAllMarkers = 0xF000;

    explicit MarkerIcons(GameStage& stage)
        : m_stage(stage)
    {
    }

    // `kind` is 0–3 or the marker's class bit.
    void Show(int x, int y, int kind);
    // `kind` 0–3 names one marker; otherwise every marker whose class bit it
    // has (0xF000: all four).
    void Hide(int kind);
    void BlinkStep();
    void Reset();

    // The hot-spot index of a shown marker, -1 when hidden.
    int GetSpot(int marker) const;

private:
    struct Marker {
        int spot = -1;
        Point at;
    };

    static bool Names(int kind, size_t marker);
    void DrawMarker(size_t marker);
    void RestorePlace(size_t marker);

    GameStage& m_stage;
    mutable std::mutex m_lock;
    std::array<Marker, kCount> m_markers;
    bool m_blinkOn = false;
};

}
