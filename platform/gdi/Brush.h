#pragma once

#include "platform/gdi/GdiTypes.h"

namespace lumarra {

inline constexpr int BS_SOLID = 0;
inline constexpr int BS_NULL = 1;

// A solid brush, or a null (hollow) brush that fills nothing.
class Brush {
public:
    constexpr Brush(int style, COLORREF colour) : m_style(style), m_colour(colour) { }
    explicit constexpr Brush(COLORREF colour) : m_style(BS_SOLID), m_colour(colour) { }

    int Style() const { return m_style; }
    COLORREF Color() const { return m_colour; }
    bool IsNull() const { return m_style == BS_NULL; }

    static const Brush& White();
    static const Brush& Black();
    static const Brush& Null();

private:
    int m_style;
    COLORREF m_colour;
};

}
