// Arbitrary bytes as CP932 text through DrawText layout, the text renderer
// and the outlined-text renderer. Input: two bytes of format flags, one byte
// of box width, then the text.
#include "graphics/OutlinedText.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/TextLayout.h"
#include "platform/gdi/TextRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

constexpr size_t kHeaderBytes = 3;
constexpr size_t kMaxTextBytes = 256;
constexpr int kCanvasWidth = 160;
constexpr int kCanvasHeight = 120;

struct Canvas {
    std::unique_ptr<lumarra::Bitmap> bitmap;
    std::shared_ptr<const lumarra::Font> font;

    Canvas()
    {
        lumarra::BitmapInfo info;
        std::memset(&info, 0, sizeof(info));
        info.bmiHeader.biSize = sizeof(lumarra::BitmapInfoHeader);
        info.bmiHeader.biWidth = kCanvasWidth;
        info.bmiHeader.biHeight = kCanvasHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        bitmap = lumarra::Bitmap::CreateDibSection(info, sizeof(info));
        lumarra::LogFont logFont;
        logFont.height = -14;
        logFont.faceName = "MS Shell Dlg";
        font = lumarra::Font::Create(logFont);
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Canvas canvas;
    if (size < kHeaderBytes || !canvas.bitmap || !canvas.font)
        return 0;
    unsigned format = (data[0] | data[1] << 8) & 0x0FFF;
    int width = data[2];
    std::string_view text(reinterpret_cast<const char*>(data + kHeaderBytes),
        std::min(size - kHeaderBytes, kMaxTextBytes));

    lumarra::Rect rect { 4, 4, 4 + width, 100 };
    lumarra::TextRun run;
    lumarra::TextLayout::LayoutDrawText(canvas.font, text, rect, format, run);
    lumarra::RenderText(*canvas.bitmap, run, lumarra::RGB(0, 0, 0), lumarra::OPAQUE, lumarra::RGB(255, 255, 255));

    lumarra::DrawContext dc(canvas.bitmap.get());
    lumarra::RenderOutlinedText(dc, static_cast<lumarra::OutlinedTextStyle>(data[0] % 3), text.substr(0, 24), -8, 0,
        width, 40, "MS Shell Dlg", 8 + data[1] % 40, 400, lumarra::RGB(0, 0, 0),
        data[2] & 1 ? lumarra::kNoColor : 0x808080);
    return 0;
}
