#pragma once

#include "tools/pictures/Canvas.h"

#include <memory>
#include <string_view>

namespace lumarra {

class Font;

// Japanese text on a canvas through the program's own text layer: the face
// that stands in for "ＭＳ ゴシック", at a pixel em size, optionally bold.
class Lettering {
public:
    // Null when no face can be loaded.
    static std::unique_ptr<Lettering> Create(int pixelSize, bool bold);

    // Pen starts at x on baseline y.
    void Draw(Canvas& canvas, std::string_view text, float x, float y, const Paint& paint) const;
    // Centred on (cx, cy) by the ink box of the text, which puts a single
    // kana visually in the middle of a circle.
    void DrawCentered(Canvas& canvas, std::string_view text, float cx, float cy, const Paint& paint) const;
    // As DrawCentered with a rim of `rim` pixels in `rimPaint` around every
    // stroke.
    void DrawCenteredRimmed(Canvas& canvas, std::string_view text, float cx, float cy, const Paint& paint, float rim,
        const Paint& rimPaint) const;

private:
    explicit Lettering(std::shared_ptr<const Font> font)
        : m_font(std::move(font))
    {
    }
    struct Box {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    Box InkBox(std::string_view text) const;

    std::shared_ptr<const Font> m_font;
};

}
