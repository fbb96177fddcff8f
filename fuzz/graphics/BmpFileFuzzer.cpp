// LoadFromFile on arbitrary bytes: the surface either loads a picture whose
// sizes match its pixels, or stays empty.

#include "graphics/DibSurface.h"
#include "platform/NativePath.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// In memory-backed /dev/shm when there is one: every input is written out.
const std::string& ScratchFile()
{
    static const std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp")
        + "/lumarra_fuzz_bmp_" + std::to_string(::getpid()) + ".bmp";
    return path;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace lumarra;
    FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (!file)
        return 0;
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);

    DibSurface surface;
    struct Remove {
        ~Remove() { std::remove(ScratchFile().c_str()); }
    } remove;
    if (surface.LoadFromFile(ToInternalPath(ScratchFile()), RGB(255, 0, 255))) {
        size_t bytes = 0;
        uint8_t* bits = surface.GetBits(&bytes);
        if (!bits || bytes != surface.GetBitmap()->GetImageBytes())
            __builtin_trap();
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < bytes; i += 61)
            sum = static_cast<uint8_t>(sum + bits[i]);
        surface.GetPixel(surface.GetWidth() - 1, surface.GetHeight() - 1);
        surface.CreateRegion(RGB(0, 0, 0));
        surface.ToFileImage();
    } else if (surface.IsValid() || surface.GetInfo()) {
        __builtin_trap();
    }
    return 0;
}
