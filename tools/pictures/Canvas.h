#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace lumarra {

// A color with straight (not premultiplied) alpha, components 0..1.
struct Paint {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 1;

    // 0xRRGGBB, as the recipes write colors.
    static Paint Hex(uint32_t rgb, float alpha = 1);
    Paint WithAlpha(float a) const { return { red, green, blue, a }; }
    Paint Mix(const Paint& other, float t) const;
};

struct PointF {
    float x = 0;
    float y = 0;
};

// An anti-aliased picture under construction: premultiplied RGBA floats, so
// that shapes, glyphs and scaled emoji compose without fringes. Shapes are
// drawn from signed distances (coverage ramps over one pixel); coordinates
// are in pixels with pixel centres at +0.5.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }

    // Premultiplied pixel access.
    struct Pixel {
        float r = 0, g = 0, b = 0, a = 0;
    };
    Pixel& At(int x, int y) { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const Pixel& At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    // Straight color of a pixel as 0xRRGGBB and its alpha 0..255.
    uint32_t RgbAt(int x, int y) const;
    int AlphaAt(int x, int y) const;

    void Clear(const Paint& paint);
    // Blends `paint` over pixel (x, y) with extra coverage 0..1.
    void Blend(int x, int y, const Paint& paint, float coverage);

    // Fills where `distance` (negative inside) says, within the box.
    void FillDistance(float left, float top, float right, float bottom,
        const std::function<float(float, float)>& distance, const std::function<Paint(float, float)>& paint);

    void FillRect(float x, float y, float w, float h, const Paint& paint);
    void FillRoundRect(float x, float y, float w, float h, float radius, const Paint& paint);
    // Top-to-bottom gradient.
    void FillRoundRectGradient(float x, float y, float w, float h, float radius, const Paint& top, const Paint& bottom);
    void StrokeRoundRect(float x, float y, float w, float h, float radius, float width, const Paint& paint);
    void FillCircle(float cx, float cy, float r, const Paint& paint);
    void StrokeCircle(float cx, float cy, float r, float width, const Paint& paint);
    void FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint);
    // A line with round ends.
    void StrokeLine(PointF from, PointF to, float width, const Paint& paint);
    void StrokePolyline(std::span<const PointF> points, float width, const Paint& paint);
    // Even-odd polygon fill, 4 × 4 samples per pixel.
    void FillPolygon(std::span<const PointF> points, const Paint& paint);

    // Draws `source` scaled into (x, y, w, h) by area averaging, with an
    // overall opacity.
    void DrawCanvas(const Canvas& source, float x, float y, float w, float h, float opacity = 1);
    // Blends a coverage mask (0..255, `maskWidth` per row) at (x, y).
    void DrawMask(const uint8_t* mask, int maskWidth, int maskHeight, int x, int y, const Paint& paint);

    // A copy of part of the picture.
    Canvas Crop(int x, int y, int w, int h) const;
    // The smallest part holding every pixel with some alpha (the whole
    // picture when none has any).
    Canvas TrimmedToInk() const;
    // Every pixel's alpha grown by `radius` pixels and painted in `paint`: a
    // halo that lifts a shape off a busy background.
    Canvas Halo(float radius, const Paint& paint) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Pixel> m_pixels;
};

}
