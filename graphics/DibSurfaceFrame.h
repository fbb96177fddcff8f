#pragma once

// The frame every drawing operation of DibSurface runs in; included only by
// the surface's own sources.

#include "graphics/DibSurface.h"
#include "graphics/SurfaceDC.h"

#include <optional>

namespace lumarra {

template <typename Result, typename Step>
Result DibSurface::Guarded(Result failure, Step&& step)
{
    Lock();
    Result result = failure;
    {
        std::optional<SurfaceDC> dc;
        if (m_openDC)
            dc.emplace(*m_openDC);
        else
            dc.emplace(*this);
        if (dc->Get()) {
            try {
                result = step(*dc);
            } catch (...) {
                result = failure;
            }
        }
        dc->Close();
    }
    Unlock();
    return result;
}

// Copies out of this surface with its bitmap free of the open context: a
// bitmap is selected into one context at a time.
template <typename Step>
int DibSurface::DrawOut(Step&& step)
{
    Lock();
    if (m_openDC)
        m_openDC->SelectBitmap(m_openDC->GetSavedBitmap());
    int result = 0;
    try {
        result = step();
    } catch (...) {
        result = 0;
    }
    if (m_openDC)
        m_openDC->SelectBitmap(m_storage.GetBitmap());
    Unlock();
    return result;
}

}
