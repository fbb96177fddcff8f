#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

// The colors of a caption we draw and of the frame around it, the same for
// the window layer's own captions and for a window that draws its caption
// itself, so that every window looks alike.
struct CaptionColors {
    COLORREF frame;
    COLORREF band;
    COLORREF text;

    static constexpr CaptionColors For(bool active);
};

inline constexpr CaptionColors kActiveCaptionColors { 0x808080, 0x375F6C, 0xFFFFFF };
inline constexpr CaptionColors kInactiveCaptionColors { 0xAAAAAA, 0x808080, 0xC0C0C0 };

constexpr CaptionColors CaptionColors::For(bool active)
{
    return active ? kActiveCaptionColors : kInactiveCaptionColors;
}

}
