#pragma once

#include "platform/gdi/Bitmap.h"

#include <memory>

namespace lumarra {

// An icon or cursor picture: a color image drawn where its 1-bit mask is 0,
// leaving the background where the mask is 1.
class Icon {
public:
    Icon(std::unique_ptr<Bitmap> color, std::unique_ptr<Bitmap> mask)
        : m_color(std::move(color))
        , m_mask(std::move(mask))
    {
    }

    const Bitmap* GetColor() const { return m_color.get(); }
    const Bitmap* GetMask() const { return m_mask.get(); }
    int GetWidth() const { return m_color ? m_color->GetWidth() : 0; }
    int GetHeight() const { return m_color ? m_color->GetHeight() : 0; }

private:
    std::unique_ptr<Bitmap> m_color;
    std::unique_ptr<Bitmap> m_mask;
};

}
