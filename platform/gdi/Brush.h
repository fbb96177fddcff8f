#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

inline constexpr int BS_SOLID = 0;
inline constexpr int BS_NULL = 1;

// A solid brush, or a null (hollow) brush that fills nothing.
class Brush {
public:
    constexpr Brush(int style, COLORREF color)
        : m_style(style)
        , m_color(color)
    {
    }
    explicit constexpr Brush(COLORREF color)
        : m_style(BS_SOLID)
        , m_color(color)
    {
    }

    int GetStyle() const { return m_style; }
    COLORREF GetColor() const { return m_color; }
    bool IsNull() const { return m_style == BS_NULL; }

    static const Brush& White();
    static const Brush& Black();
    static const Brush& Null();

private:
    int m_style;
    COLORREF m_color;
};

}
