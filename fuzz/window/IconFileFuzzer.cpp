// Feeds any bytes to the .ico/.cur reader at several wanted sizes, and turns
// what it accepts into a cursor picture.
#include "platform/gdi/Icon.h"
#include "platform/window/Cursor.h"
#include "platform/window/IconFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (int wanted : { 16, 32, 48 }) {
        lumarra::Point hotSpot;
        auto icon = lumarra::DecodeIconFile({ data, size }, wanted, &hotSpot);
        if (icon)
            lumarra::Cursor::CreateFromIcon(*icon, hotSpot);
    }
    return 0;
}
