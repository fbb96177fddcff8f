#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstring>
#include <memory>

namespace lumarra {

// A bottom-up 24-bit bitmap filled with one color, for text to draw on.
inline std::unique_ptr<Bitmap> MakeBitmap24(int width, int height, COLORREF fill)
{
    BitmapInfo info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BitmapInfoHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    auto bitmap = Bitmap::CreateDibSection(info, sizeof(info));
    for (int y = 0; bitmap && y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixel(x, y, fill);
    return bitmap;
}

}
