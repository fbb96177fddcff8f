#pragma once

#include "graphics/DibSurface.h"

namespace lumarra {

// One drawing session on a surface: its lock and one open device context
// (BeginDraw … EndDraw), so that pen, font, colors and background mode set
// inside the scope carry from one call to the next.
class SurfaceDrawing {
public:
    explicit SurfaceDrawing(DibSurface& surface)
        : m_surface(surface)
    {
        m_surface.Lock();
        m_surface.BeginDraw();
    }
    ~SurfaceDrawing()
    {
        m_surface.EndDraw();
        m_surface.Unlock();
    }
    SurfaceDrawing(const SurfaceDrawing&) = delete;
    SurfaceDrawing& operator=(const SurfaceDrawing&) = delete;

    DibSurface* operator->() { return &m_surface; }

private:
    DibSurface& m_surface;
};

}
