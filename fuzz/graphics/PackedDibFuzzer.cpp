// Attaching and creating surfaces from arbitrary packed DIBs.

#include "graphics/DibSurface.h"
#include "platform/gdi/BmpDecoder.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lumarra;
    std::span<const uint8_t> dib(data, size);

    DibSurface attached;
    if (attached.AttachBitmap(dib, RGB(255, 0, 255))) {
        DibSurface target(24, 32, 32, kNoColor);
        target.DrawSurface(attached, 0, 0, 0, 0, 0, 0, SRCCOPY);
    } else if (attached.IsValid()) {
        __builtin_trap();
    }

    DibSurface created;
    if (created.CreateFromPackedDib(dib, RGB(0, 0, 0))) {
        DibSurface target(16, 32, 32, kNoColor);
        target.DrawSurfaceStretched(created, 0, 0, 32, 32, 0, 0, 0, 0, SRCCOPY);
        created.GetPixel(0, 0);
    }
    return 0;
}
