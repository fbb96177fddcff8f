#include "graphics/SurfaceDC.h"

#include "graphics/DibSurface.h"

namespace lumarra {

SurfaceDC::SurfaceDC(DibSurface& surface)
    : m_ownDC(std::make_unique<DrawContext>())
    , m_dc(m_ownDC.get())
    , m_ownsDC(true)
{
    m_savedState = m_dc->SaveDC();
    m_savedBitmap = m_dc->SelectBitmap(surface.GetBitmap());
    m_bitmapRecorded = true;
    m_dc->SetMapMode(MM_TEXT);
}

SurfaceDC::SurfaceDC(SurfaceDC& lender)
    : m_dc(lender.m_dc)
    , m_lender(&lender)
{
    lender.m_dc = nullptr;
    if (m_dc)
        m_dc->SetMapMode(MM_TEXT);
}

SurfaceDC::~SurfaceDC()
{
    Close();
}

Bitmap* SurfaceDC::SelectBitmap(Bitmap* bitmap)
{
    if (!m_dc)
        return nullptr;
    if (m_bitmapRecorded)
        m_dc->SelectBitmap(m_savedBitmap);
    m_savedBitmap = m_dc->SelectBitmap(bitmap);
    m_bitmapRecorded = true;
    return m_savedBitmap;
}

const Pen* SurfaceDC::SelectPen(const Pen* pen)
{
    if (!m_dc)
        return nullptr;
    if (m_penRecorded)
        m_dc->SelectPen(m_savedPen);
    m_savedPen = m_dc->SelectPen(pen);
    m_penRecorded = true;
    return m_savedPen;
}

const Brush* SurfaceDC::SelectBrush(const Brush* brush)
{
    if (!m_dc)
        return nullptr;
    if (m_brushRecorded)
        m_dc->SelectBrush(m_savedBrush);
    m_savedBrush = m_dc->SelectBrush(brush);
    m_brushRecorded = true;
    return m_savedBrush;
}

std::shared_ptr<const Font> SurfaceDC::SelectFont(std::shared_ptr<const Font> font)
{
    if (!m_dc)
        return nullptr;
    if (m_fontRecorded)
        m_dc->SelectFont(m_savedFont);
    m_savedFont = m_dc->SelectFont(std::move(font));
    m_fontRecorded = true;
    return m_savedFont;
}

void SurfaceDC::Close()
{
    if (!m_ownsDC) {
        // A borrowed handle goes back to its lender untouched.
        if (m_lender && m_dc)
            m_lender->m_dc = m_dc;
        m_dc = nullptr;
        m_lender = nullptr;
        return;
    }
    if (!m_dc)
        return;
    if (m_bitmapRecorded)
        m_dc->SelectBitmap(m_savedBitmap);
    if (m_penRecorded)
        m_dc->SelectPen(m_savedPen);
    if (m_brushRecorded)
        m_dc->SelectBrush(m_savedBrush);
    if (m_fontRecorded)
        m_dc->SelectFont(m_savedFont);
    m_dc->RestoreDC(m_savedState);
    m_dc = nullptr;
    m_ownDC.reset();
    m_savedFont.reset();
}

}
