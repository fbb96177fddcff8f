#include "platform/window/PictureControl.h"

#include "platform/Resources.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/BmpDecoder.h"
#include "platform/gdi/DrawContext.h"

namespace lumarra {

PictureControl::PictureControl() = default;
PictureControl::~PictureControl() = default;

bool PictureControl::LoadBitmapResource(uint32_t id)
{
    ResourceData data = FindResource(kResourceBitmap, id);
    if (!data)
        return false;
    std::span<const uint8_t> bytes(data.data, data.size);
    bool file = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    std::unique_ptr<Bitmap> bitmap = file ? BmpDecoder::DecodeFile(bytes) : BmpDecoder::DecodePackedDib(bytes);
    if (!bitmap)
        return false;
    SetBitmap(std::move(bitmap));
    return true;
}

void PictureControl::SetBitmap(std::unique_ptr<Bitmap> bitmap)
{
    m_bitmap = std::move(bitmap);
    Invalidate();
}

void PictureControl::OnPaint(DrawContext& dc)
{
    PaintBackground(dc, CTLCOLOR_STATIC);
    if (!m_bitmap)
        return;
    Rect client = GetClientRect();
    DrawContext source(m_bitmap.get());
    dc.SetStretchBltMode(HALFTONE);
    dc.StretchBlt(0, 0, client.GetWidth(), client.GetHeight(), &source, 0, 0, m_bitmap->GetWidth(),
        m_bitmap->GetHeight(), SRCCOPY);
}

}
