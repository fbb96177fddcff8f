#include "platform/gdi/Brush.h"

namespace lumarra {

const Brush& Brush::White()
{
    static constexpr Brush brush(BS_SOLID, RGB(255, 255, 255));
    return brush;
}

const Brush& Brush::Black()
{
    static constexpr Brush brush(BS_SOLID, RGB(0, 0, 0));
    return brush;
}

const Brush& Brush::Null()
{
    static constexpr Brush brush(BS_NULL, RGB(0, 0, 0));
    return brush;
}

}
