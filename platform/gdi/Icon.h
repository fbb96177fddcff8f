#pragma once

#include "platform/gdi/Bitmap.h"

#include <memory>

namespace lumarra {

// An icon or cursor picture: a colour image drawn where its 1-bit mask is 0,
// leaving the background where the mask is 1.
class Icon {
public:
    Icon(std::unique_ptr<Bitmap> colour, std::unique_ptr<Bitmap> mask)
        : m_colour(std::move(colour)), m_mask(std::move(mask)) { }

    const Bitmap* Colour() const { return m_colour.get(); }
    const Bitmap* Mask() const { return m_mask.get(); }
    int Width() const { return m_colour ? m_colour->Width() : 0; }
    int Height() const { return m_colour ? m_colour->Height() : 0; }

private:
    std::unique_ptr<Bitmap> m_colour;
    std::unique_ptr<Bitmap> m_mask;
};

}
