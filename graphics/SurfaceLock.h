#pragma once

#include "graphics/DibSurface.h"

namespace lumarra {

// Holds a surface's re-entrant lock for one scope.
class SurfaceLock {
public:
    explicit SurfaceLock(DibSurface& surface)
        : m_surface(surface)
    {
        m_surface.Lock();
    }
    ~SurfaceLock() { m_surface.Unlock(); }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

private:
    DibSurface& m_surface;
};

}
