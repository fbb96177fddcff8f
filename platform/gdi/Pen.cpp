#include "platform/gdi/Pen.h"

namespace lumarra {

const Pen& Pen::Black()
{
    static constexpr Pen pen(PS_SOLID, RGB(0, 0, 0));
    return pen;
}

const Pen& Pen::White()
{
    static constexpr Pen pen(PS_SOLID, RGB(255, 255, 255));
    return pen;
}

const Pen& Pen::Null()
{
    static constexpr Pen pen(PS_NULL, RGB(0, 0, 0));
    return pen;
}

}
