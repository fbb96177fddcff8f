#pragma once

#include "platform/gdi/DrawContext.h"

#include <memory>

namespace lumarra {

class DibSurface;

// The device context a DibSurface draws through for one call: either its own
// memory context with the surface's bitmap selected, or the handle borrowed
// from the context that BeginDraw opened (given back on Close). Selections
// made through it record what the context held before, so that closing an
// own context puts everything back.
class SurfaceDC {
public:
    // An own context on `surface`.
    explicit SurfaceDC(DibSurface& surface);
    // Borrows the handle of `lender`, which is left without one until Close.
    explicit SurfaceDC(SurfaceDC& lender);
    SurfaceDC(const SurfaceDC&) = delete;
    SurfaceDC& operator=(const SurfaceDC&) = delete;
    ~SurfaceDC();

    DrawContext* Get() const { return m_dc; }
    DrawContext& operator*() const { return *m_dc; }
    DrawContext* operator->() const { return m_dc; }

    Bitmap* SelectBitmap(Bitmap* bitmap);
    const Pen* SelectPen(const Pen* pen);
    const Brush* SelectBrush(const Brush* brush);
    std::shared_ptr<const Font> SelectFont(std::shared_ptr<const Font> font);
    Bitmap* GetSavedBitmap() const { return m_savedBitmap; }

    void Close();

private:
    std::unique_ptr<DrawContext> m_ownDC;
    DrawContext* m_dc = nullptr;
    int m_savedState = 0;
    bool m_ownsDC = false;
    SurfaceDC* m_lender = nullptr;
    const Pen* m_savedPen = nullptr;
    const Brush* m_savedBrush = nullptr;
    std::shared_ptr<const Font> m_savedFont;
    Bitmap* m_savedBitmap = nullptr;
    bool m_penRecorded = false;
    bool m_brushRecorded = false;
    bool m_fontRecorded = false;
    bool m_bitmapRecorded = false;
};

}
