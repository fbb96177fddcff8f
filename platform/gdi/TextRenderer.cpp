#include "platform/gdi/TextRenderer.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/TextLayout.h"

namespace lumarra {

namespace {

constexpr int kFullCoverage = 255;

uint8_t BlendChannel(uint8_t under, uint8_t ink, int coverage)
{
    return static_cast<uint8_t>(
        (under * (kFullCoverage - coverage) + ink * coverage + kFullCoverage / 2) / kFullCoverage);
}

}

COLORREF BlendCoverage(COLORREF under, COLORREF ink, uint8_t coverage)
{
    return RGB(BlendChannel(GetRValue(under), GetRValue(ink), coverage),
        BlendChannel(GetGValue(under), GetGValue(ink), coverage),
        BlendChannel(GetBValue(under), GetBValue(ink), coverage));
}

bool RenderText(Bitmap& bitmap, const TextRun& run, COLORREF textColor, int backgroundMode, COLORREF backgroundColor,
    const Rect* clip)
{
    Rect bounds { 0, 0, bitmap.GetWidth(), bitmap.GetHeight() };
    if (clip)
        bounds = bounds.Intersect(*clip);
    if (bounds.IsEmpty())
        return false;
    if (backgroundMode == OPAQUE) {
        Rect limit = run.clipped ? bounds.Intersect(run.clip) : bounds;
        for (const Rect& cell : run.cells) {
            Rect fill = cell.Intersect(limit);
            for (int y = fill.top; y < fill.bottom; ++y)
                for (int x = fill.left; x < fill.right; ++x)
                    bitmap.SetPixel(x, y, backgroundColor);
        }
    }
    run.ForEachPixel(bounds, [&](int x, int y, uint8_t coverage) {
        COLORREF color
            = coverage == kFullCoverage ? textColor : BlendCoverage(bitmap.GetPixel(x, y), textColor, coverage);
        bitmap.SetPixel(x, y, color);
    });
    return true;
}

}
