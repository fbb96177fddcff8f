#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <string_view>

namespace lumarra {

class DrawContext;

// The frame and caption we draw around a top-level window of a style with
// WS_BORDER or WS_CAPTION: what they take of the window, what a point on
// them hits, and how they look. Coordinates are the window's own, (0, 0) at
// its top-left corner.
class WindowFrame {
public:
    struct Insets {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    static Insets InsetsFor(uint32_t style);

    WindowFrame(uint32_t style, Size size)
        : m_style(style)
        , m_size(size)
    {
    }

    Insets GetInsets() const { return InsetsFor(m_style); }
    // An HT* code: HTNOWHERE outside the window, HTCLIENT inside the frame.
    int HitTest(Point point) const;
    // `title` is CP932.
    void Paint(DrawContext& dc, std::string_view title, bool active) const;

private:
    Rect GetCloseButtonRect() const;
    bool HasCaption() const;

    uint32_t m_style;
    Size m_size;
};

}
