#pragma once

#include "platform/window/StaticControl.h"

#include <cstdint>
#include <memory>

namespace lumarra {

class Bitmap;

// A picture control: shows a bitmap stretched (with area averaging) over
// the whole control, so resizing the control resizes the picture.
class PictureControl : public StaticControl {
public:
    PictureControl();
    ~PictureControl() override;

    // A "BITMAP" resource (packed DIB or .bmp file); false when missing or
    // damaged, which leaves the control empty.
    bool LoadBitmapResource(uint32_t id);
    void SetBitmap(std::unique_ptr<Bitmap> bitmap);
    const Bitmap* GetBitmap() const { return m_bitmap.get(); }

protected:
    void OnPaint(DrawContext& dc) override;

private:
    std::unique_ptr<Bitmap> m_bitmap;
};

}
