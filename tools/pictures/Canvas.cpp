#include "tools/pictures/Canvas.h"

#include <algorithm>
#include <cmath>

namespace lumarra {

namespace {

// Samples per axis for polygon coverage.
constexpr int kPolygonSamples = 4;

float Clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

float RoundBoxDistance(float px, float py, float cx, float cy, float halfW, float halfH, float radius)
{
    float qx = std::fabs(px - cx) - (halfW - radius);
    float qy = std::fabs(py - cy) - (halfH - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SegmentDistance(float px, float py, PointF a, PointF b)
{
    float dx = b.x - a.x, dy = b.y - a.y;
    float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? Clamp01(((px - a.x) * dx + (py - a.y) * dy) / length2) : 0;
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

// Source taps and weights for each destination pixel along one axis: area
// averaging when shrinking, linear interpolation when growing.
struct Tap {
    int index;
    float weight;
};

std::vector<std::vector<Tap>> AxisTaps(int sourceSize, float destStart, float destSize, int destLimit, int& first)
{
    std::vector<std::vector<Tap>> taps;
    float scale = sourceSize / destSize;
    first = std::max(0, static_cast<int>(std::floor(destStart)));
    int last = std::min(destLimit, static_cast<int>(std::ceil(destStart + destSize)));
    for (int d = first; d < last; ++d) {
        std::vector<Tap> list;
        float coverStart = std::max(static_cast<float>(d), destStart);
        float coverEnd = std::min(static_cast<float>(d + 1), destStart + destSize);
        float coverage = std::max(0.0f, coverEnd - coverStart);
        if (scale > 1) {
            float s0 = (coverStart - destStart) * scale, s1 = (coverEnd - destStart) * scale;
            for (int s = static_cast<int>(s0); s < sourceSize && s < s1; ++s) {
                float w = std::min<float>(s + 1, s1) - std::max<float>(s, s0);
                if (w > 0)
                    list.push_back({ s, w / scale });
            }
        } else {
            float centre = ((coverStart + coverEnd) / 2 - destStart) * scale - 0.5f;
            int s0 = static_cast<int>(std::floor(centre));
            float t = centre - s0;
            list.push_back({ std::clamp(s0, 0, sourceSize - 1), (1 - t) * coverage });
            list.push_back({ std::clamp(s0 + 1, 0, sourceSize - 1), t * coverage });
        }
        taps.push_back(std::move(list));
    }
    return taps;
}

}

Paint Paint::Hex(uint32_t rgb, float alpha)
{
    return { ((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha };
}

Paint Paint::Mix(const Paint& other, float t) const
{
    return { red + (other.red - red) * t, green + (other.green - green) * t, blue + (other.blue - blue) * t,
        alpha + (other.alpha - alpha) * t };
}

Canvas::Canvas(int width, int height)
    : m_width(width)
    , m_height(height)
    , m_pixels(static_cast<size_t>(width) * height)
{
}

uint32_t Canvas::RgbAt(int x, int y) const
{
    const Pixel& p = At(x, y);
    if (p.a <= 0)
        return 0;
    auto channel = [&](float v) { return static_cast<uint32_t>(std::lround(Clamp01(v / p.a) * 255)); };
    return channel(p.r) << 16 | channel(p.g) << 8 | channel(p.b);
}

int Canvas::AlphaAt(int x, int y) const
{
    return static_cast<int>(std::lround(Clamp01(At(x, y).a) * 255));
}

void Canvas::Clear(const Paint& paint)
{
    Pixel p { paint.red * paint.alpha, paint.green * paint.alpha, paint.blue * paint.alpha, paint.alpha };
    std::fill(m_pixels.begin(), m_pixels.end(), p);
}

void Canvas::Blend(int x, int y, const Paint& paint, float coverage)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    float a = Clamp01(paint.alpha * coverage);
    if (a <= 0)
        return;
    Pixel& p = At(x, y);
    p.r = paint.red * a + p.r * (1 - a);
    p.g = paint.green * a + p.g * (1 - a);
    p.b = paint.blue * a + p.b * (1 - a);
    p.a = a + p.a * (1 - a);
}

void Canvas::FillDistance(float left, float top, float right, float bottom,
    const std::function<float(float, float)>& distance, const std::function<Paint(float, float)>& paint)
{
    int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
    int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
    int x1 = std::min(m_width, static_cast<int>(std::ceil(right)) + 1);
    int y1 = std::min(m_height, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = Clamp01(0.5f - distance(px, py));
            if (coverage > 0)
                Blend(x, y, paint(px, py), coverage);
        }
}

void Canvas::FillRect(float x, float y, float w, float h, const Paint& paint)
{
    FillRoundRect(x, y, w, h, 0, paint);
}

void Canvas::FillRoundRect(float x, float y, float w, float h, float radius, const Paint& paint)
{
    FillRoundRectGradient(x, y, w, h, radius, paint, paint);
}

void Canvas::FillRoundRectGradient(float x, float y, float w, float h, float radius, const Paint& top,
    const Paint& bottom)
{
    radius = std::min({ radius, w / 2, h / 2 });
    FillDistance(
        x, y, x + w, y + h,
        [=](float px, float py) { return RoundBoxDistance(px, py, x + w / 2, y + h / 2, w / 2, h / 2, radius); },
        [=](float, float py) { return top.Mix(bottom, Clamp01((py - y) / h)); });
}

void Canvas::StrokeRoundRect(float x, float y, float w, float h, float radius, float width, const Paint& paint)
{
    radius = std::min({ radius, w / 2, h / 2 });
    FillDistance(
        x, y, x + w, y + h,
        [=](float px, float py) {
            float d = RoundBoxDistance(px, py, x + w / 2, y + h / 2, w / 2, h / 2, radius);
            return std::max(d, -d - width);
        },
        [=](float, float) { return paint; });
}

void Canvas::FillCircle(float cx, float cy, float r, const Paint& paint)
{
    FillEllipse(cx, cy, r, r, paint);
}

void Canvas::StrokeCircle(float cx, float cy, float r, float width, const Paint& paint)
{
    FillDistance(
        cx - r - width, cy - r - width, cx + r + width, cy + r + width,
        [=](float px, float py) { return std::fabs(std::hypot(px - cx, py - cy) - r) - width / 2; },
        [=](float, float) { return paint; });
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint)
{
    float scale = std::min(rx, ry);
    FillDistance(
        cx - rx, cy - ry, cx + rx, cy + ry,
        [=](float px, float py) { return (std::hypot((px - cx) / rx, (py - cy) / ry) - 1) * scale; },
        [=](float, float) { return paint; });
}

void Canvas::StrokeLine(PointF from, PointF to, float width, const Paint& paint)
{
    float r = width / 2;
    FillDistance(
        std::min(from.x, to.x) - r, std::min(from.y, to.y) - r, std::max(from.x, to.x) + r, std::max(from.y, to.y) + r,
        [=](float px, float py) { return SegmentDistance(px, py, from, to) - r; }, [=](float, float) { return paint; });
}

void Canvas::StrokePolyline(std::span<const PointF> points, float width, const Paint& paint)
{
    if (points.empty())
        return;
    float r = width / 2;
    float left = points[0].x, right = left, top = points[0].y, bottom = top;
    for (PointF p : points) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    std::vector<PointF> copy(points.begin(), points.end());
    FillDistance(
        left - r, top - r, right + r, bottom + r,
        [copy, r](float px, float py) {
            float best = SegmentDistance(px, py, copy[0], copy[0]);
            for (size_t i = 1; i < copy.size(); ++i)
                best = std::min(best, SegmentDistance(px, py, copy[i - 1], copy[i]));
            return best - r;
        },
        [=](float, float) { return paint; });
}

void Canvas::FillPolygon(std::span<const PointF> points, const Paint& paint)
{
    if (points.size() < 3)
        return;
    float left = points[0].x, right = left, top = points[0].y, bottom = top;
    for (PointF p : points) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    auto inside = [&](float px, float py) {
        bool in = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            PointF a = points[i], b = points[j];
            if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x)
                in = !in;
        }
        return in;
    };
    int x0 = std::max(0, static_cast<int>(left)), x1 = std::min(m_width, static_cast<int>(std::ceil(right)) + 1);
    int y0 = std::max(0, static_cast<int>(top)), y1 = std::min(m_height, static_cast<int>(std::ceil(bottom)) + 1);
    constexpr float step = 1.0f / kPolygonSamples;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kPolygonSamples; ++sy)
                for (int sx = 0; sx < kPolygonSamples; ++sx)
                    hits += inside(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step);
            if (hits)
                Blend(x, y, paint, hits / float(kPolygonSamples * kPolygonSamples));
        }
}

void Canvas::DrawCanvas(const Canvas& source, float x, float y, float w, float h, float opacity)
{
    if (source.Empty() || w <= 0 || h <= 0)
        return;
    int firstX = 0, firstY = 0;
    auto xTaps = AxisTaps(source.m_width, x, w, m_width, firstX);
    auto yTaps = AxisTaps(source.m_height, y, h, m_height, firstY);
    // Horizontal pass over every source row, then the vertical pass.
    std::vector<Pixel> rows(xTaps.size() * source.m_height);
    for (int sy = 0; sy < source.m_height; ++sy)
        for (size_t dx = 0; dx < xTaps.size(); ++dx) {
            Pixel sum;
            for (const Tap& tap : xTaps[dx]) {
                const Pixel& p = source.At(tap.index, sy);
                sum.r += p.r * tap.weight, sum.g += p.g * tap.weight, sum.b += p.b * tap.weight;
                sum.a += p.a * tap.weight;
            }
            rows[sy * xTaps.size() + dx] = sum;
        }
    for (size_t dy = 0; dy < yTaps.size(); ++dy)
        for (size_t dx = 0; dx < xTaps.size(); ++dx) {
            Pixel sum;
            for (const Tap& tap : yTaps[dy]) {
                const Pixel& p = rows[tap.index * xTaps.size() + dx];
                sum.r += p.r * tap.weight, sum.g += p.g * tap.weight, sum.b += p.b * tap.weight;
                sum.a += p.a * tap.weight;
            }
            float a = Clamp01(sum.a * opacity);
            if (a <= 0)
                continue;
            Pixel& d = At(firstX + static_cast<int>(dx), firstY + static_cast<int>(dy));
            d.r = sum.r * opacity + d.r * (1 - a);
            d.g = sum.g * opacity + d.g * (1 - a);
            d.b = sum.b * opacity + d.b * (1 - a);
            d.a = a + d.a * (1 - a);
        }
}

void Canvas::DrawMask(const uint8_t* mask, int maskWidth, int maskHeight, int x, int y, const Paint& paint)
{
    for (int my = 0; my < maskHeight; ++my)
        for (int mx = 0; mx < maskWidth; ++mx)
            if (uint8_t m = mask[static_cast<size_t>(my) * maskWidth + mx])
                Blend(x + mx, y + my, paint, m / 255.0f);
}

Canvas Canvas::Crop(int x, int y, int w, int h) const
{
    Canvas out(w, h);
    for (int cy = 0; cy < h; ++cy)
        for (int cx = 0; cx < w; ++cx)
            if (x + cx >= 0 && y + cy >= 0 && x + cx < m_width && y + cy < m_height)
                out.At(cx, cy) = At(x + cx, y + cy);
    return out;
}

Canvas Canvas::TrimmedToInk() const
{
    constexpr float kInk = 0.01f;
    int left = m_width, top = m_height, right = -1, bottom = -1;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (At(x, y).a > kInk) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0)
        return *this;
    return Crop(left, top, right - left + 1, bottom - top + 1);
}

Canvas Canvas::Halo(float radius, const Paint& paint) const
{
    Canvas out(m_width, m_height);
    int reach = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            float best = 0;
            for (int dy = -reach; dy <= reach && best < 1; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= m_width || sy >= m_height)
                        continue;
                    float fall = Clamp01(radius + 0.5f - std::hypot(float(dx), float(dy)));
                    best = std::max(best, At(sx, sy).a * fall);
                }
            out.Blend(x, y, paint, best);
        }
    return out;
}

}
