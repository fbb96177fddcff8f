#include "platform/window/StockIcons.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DrawContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/TextLayout.h"
#include "platform/window/IconFile.h"

namespace lumarra {

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kDisc = RGB(0x1E, 0x6F, 0xD9);
constexpr COLORREF kDiscEdge = RGB(0x10, 0x4E, 0xA8);
constexpr COLORREF kGlyph = RGB(255, 255, 255);
constexpr int kGlyphHeight = -24;

std::shared_ptr<const Icon> DrawDiscIcon(std::string_view glyph)
{
    std::unique_ptr<Bitmap> color = Bitmap::CreateCompatible(kIconSize, kIconSize);
    BitmapInfo maskInfo {};
    maskInfo.bmiHeader = { sizeof(BitmapInfoHeader), kIconSize, kIconSize, 1, 1, BI_RGB, 0, 0, 0, 2, 0 };
    struct {
        BitmapInfoHeader header;
        RgbQuad table[2];
    } info { maskInfo.bmiHeader, { { 0, 0, 0, 0 }, { 255, 255, 255, 0 } } };
    std::unique_ptr<Bitmap> mask = Bitmap::CreateDibSection(*reinterpret_cast<const BitmapInfo*>(&info), sizeof info);
    if (!color || !mask)
        return nullptr;
    DrawContext dc(color.get());
    dc.FillSolidRect({ 0, 0, kIconSize, kIconSize }, kKey);
    Pen edge(PS_SOLID, kDiscEdge);
    Brush fill(kDisc);
    dc.SelectPen(&edge);
    dc.SelectBrush(&fill);
    dc.Ellipse(1, 1, kIconSize - 1, kIconSize - 1);
    LogFont logFont;
    logFont.height = kGlyphHeight;
    logFont.weight = kFontWeightBold;
    logFont.faceName = "DejaVu Serif";
    dc.SelectFont(Font::Create(logFont));
    dc.SetTextColor(kGlyph);
    dc.SetBkMode(TRANSPARENT);
    Rect area { 0, 0, kIconSize, kIconSize };
    dc.DrawText(glyph, area, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    // Where the mask keeps the background the color image must be black:
    // icons are drawn as (background AND mask) XOR color.
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            bool outside = color->GetPixel(x, y) == kKey;
            mask->SetRaw(x, y, outside ? 1 : 0);
            if (outside)
                color->SetPixel(x, y, RGB(0, 0, 0));
        }
    }
    return std::make_shared<Icon>(std::move(color), std::move(mask));
}

}

std::shared_ptr<const Icon> GetInformationIcon()
{
    static const std::shared_ptr<const Icon> icon = DrawDiscIcon("i");
    return icon;
}

std::shared_ptr<const Icon> GetQuestionIcon()
{
    static const std::shared_ptr<const Icon> icon = DrawDiscIcon("?");
    return icon;
}

}
