#include "tools/pictures/DrawnPictures.h"

#include <array>

namespace lumarra {

namespace {

// Every drawn picture is laid out on this square and trimmed to its ink; the
// card painter scales it like an emoji.
constexpr int kSide = 160;

Paint Hex(uint32_t rgb, float alpha = 1)
{
    return Paint::Hex(rgb, alpha);
}

// A block of tofu on a blue plate, seen from above the front edge.
void PaintTofu(Canvas& c)
{
    c.FillEllipse(80, 132, 76, 22, Hex(0x4F86B8));
    c.FillEllipse(80, 129, 66, 16, Hex(0xA9CCE3));
    constexpr std::array<PointF, 4> front = { { { 26, 72 }, { 112, 72 }, { 112, 128 }, { 26, 128 } } };
    constexpr std::array<PointF, 4> side = { { { 112, 72 }, { 140, 52 }, { 140, 106 }, { 112, 128 } } };
    constexpr std::array<PointF, 4> top = { { { 26, 72 }, { 54, 52 }, { 140, 52 }, { 112, 72 } } };
    c.FillPolygon(front, Hex(0xF8F4E6));
    c.FillPolygon(side, Hex(0xDCD4BC));
    c.FillPolygon(top, Hex(0xFFFFFF));
    Paint edge = Hex(0xA89F84);
    for (const auto* face : { &front, &side, &top }) {
        std::array<PointF, 5> ring = { (*face)[0], (*face)[1], (*face)[2], (*face)[3], (*face)[0] };
        c.StrokePolyline(ring, 2.5f, edge);
    }
}

// A ripe persimmon: a squat orange fruit under its four-leaved green cap.
void PaintPersimmon(Canvas& c)
{
    c.FillEllipse(80, 100, 70, 54, Hex(0xC8561A));
    c.FillEllipse(80, 97, 66, 50, Hex(0xF0801E));
    c.FillEllipse(56, 84, 18, 12, Hex(0xFFFFFF, 0.35f));
    constexpr std::array<std::array<PointF, 4>, 4> leaves = { {
        { { { 80, 52 }, { 58, 40 }, { 34, 52 }, { 60, 58 } } },
        { { { 80, 52 }, { 102, 40 }, { 126, 52 }, { 100, 58 } } },
        { { { 80, 52 }, { 66, 62 }, { 80, 76 }, { 94, 62 } } },
        { { { 80, 52 }, { 70, 38 }, { 80, 28 }, { 90, 38 } } },
    } };
    for (const auto& leaf : leaves)
        c.FillPolygon(leaf, Hex(0x3E6B2A));
    c.FillRoundRect(75, 18, 10, 30, 4, Hex(0x6B4226));
}

// A Buddhist temple hall: a deep tiled roof with upturned eaves over red
// pillars and white walls, on a stone base.
void PaintTemple(Canvas& c)
{
    c.FillRect(14, 134, 132, 14, Hex(0x8C8C8C));
    c.FillRect(24, 126, 112, 10, Hex(0xA8A8A8));
    c.FillRect(34, 88, 92, 40, Hex(0xF4ECD8));
    for (float x : { 34.f, 62.f, 90.f, 118.f })
        c.FillRect(x, 88, 8, 40, Hex(0x9B2D20));
    c.FillRect(34, 88, 92, 6, Hex(0x9B2D20));
    constexpr std::array<PointF, 11> roof = { {
        { 2, 92 },
        { 26, 84 },
        { 46, 70 },
        { 58, 50 },
        { 102, 50 },
        { 114, 70 },
        { 134, 84 },
        { 158, 92 },
        { 140, 96 },
        { 80, 94 },
        { 20, 96 },
    } };
    c.FillPolygon(roof, Hex(0x34404E));
    c.StrokeLine({ 8, 92 }, { 152, 92 }, 2.5f, Hex(0x5A6B7E));
    c.FillRoundRect(52, 42, 56, 10, 3, Hex(0x26303B));
    c.FillRoundRect(50, 34, 8, 14, 3, Hex(0xC9A227));
    c.FillRoundRect(102, 34, 8, 14, 3, Hex(0xC9A227));
}

// A seated Buddha in gold before a halo, on a lotus.
void PaintBuddha(Canvas& c)
{
    c.FillCircle(80, 60, 46, Hex(0xFFF4D6));
    c.StrokeCircle(80, 60, 46, 4, Hex(0xE0A526));
    c.StrokeCircle(80, 60, 38, 1.5f, Hex(0xF0C75E));
    for (float x : { 34.f, 58.f, 80.f, 102.f, 126.f })
        c.FillEllipse(x, 142, 20, 12, Hex(0xF1948A));
    c.FillEllipse(80, 134, 60, 10, Hex(0xE8786C));
    Paint gold = Hex(0xC9921A), shade = Hex(0x9E700C);
    c.FillEllipse(80, 120, 50, 18, shade);
    constexpr std::array<PointF, 4> torso = { { { 50, 122 }, { 110, 122 }, { 100, 80 }, { 60, 80 } } };
    c.FillPolygon(torso, gold);
    c.FillEllipse(80, 82, 26, 10, gold);
    c.FillEllipse(80, 112, 16, 7, Hex(0xDDAA30));
    c.FillEllipse(63, 60, 5, 9, gold);
    c.FillEllipse(97, 60, 5, 9, gold);
    c.FillCircle(80, 58, 17, gold);
    c.FillCircle(80, 38, 9, Hex(0x3B2A14));
    c.FillEllipse(80, 46, 17, 7, Hex(0x3B2A14));
    Paint line = Hex(0x6B4E12);
    c.StrokeLine({ 70, 59 }, { 76, 60 }, 1.8f, line);
    c.StrokeLine({ 84, 60 }, { 90, 59 }, 1.8f, line);
    c.StrokeLine({ 77, 68 }, { 83, 68 }, 1.6f, line);
    c.FillCircle(80, 51, 1.6f, line);
}

// A wooden pestle standing in its ridged mortar bowl.
void PaintPestle(Canvas& c)
{
    c.StrokeLine({ 72, 104 }, { 124, 16 }, 18, Hex(0x8E5A2B));
    c.StrokeLine({ 72, 104 }, { 124, 16 }, 13, Hex(0xD9B27C));
    constexpr std::array<PointF, 4> bowl = { { { 18, 96 }, { 142, 96 }, { 118, 146 }, { 42, 146 } } };
    c.FillPolygon(bowl, Hex(0xB9773A));
    c.FillEllipse(80, 96, 62, 12, Hex(0x8E5A2B));
    c.FillEllipse(80, 97, 54, 8, Hex(0x5E3A1C));
    for (float x : { 50.f, 66.f, 82.f, 98.f, 114.f })
        c.StrokeLine({ x, 106 }, { x + (80 - x) * 0.25f, 140 }, 1.5f, Hex(0x8E5A2B));
    c.FillRoundRect(40, 144, 80, 6, 3, Hex(0x7A4A22));
}

struct Drawing {
    std::string_view name;
    void (*paint)(Canvas&);
};

constexpr Drawing kDrawings[] = {
    { "tofu", PaintTofu },
    { "persimmon", PaintPersimmon },
    { "temple", PaintTemple },
    { "buddha", PaintBuddha },
    { "pestle", PaintPestle },
};

}

std::optional<Canvas> PaintDrawnPicture(std::string_view name)
{
    for (const Drawing& drawing : kDrawings) {
        if (drawing.name == name) {
            Canvas canvas(kSide, kSide);
            drawing.paint(canvas);
            return canvas.TrimmedToInk();
        }
    }
    return std::nullopt;
}

}
