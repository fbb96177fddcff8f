#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;

// A cosmetic pen: solid and one pixel wide, or null (draws nothing).
class Pen {
public:
    constexpr Pen(int style, COLORREF color)
        : m_style(style)
        , m_color(color)
    {
    }

    int GetStyle() const { return m_style; }
    COLORREF GetColor() const { return m_color; }
    bool IsNull() const { return m_style == PS_NULL; }

    static const Pen& Black();
    static const Pen& White();
    static const Pen& Null();

private:
    int m_style;
    COLORREF m_color;
};

}
