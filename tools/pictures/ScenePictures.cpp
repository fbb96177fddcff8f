#include "tools/pictures/ScenePictures.h"

#include "tools/pictures/CardPainter.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/Lettering.h"
#include "tools/pictures/PictureFiles.h"

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <sstream>

namespace lumarra {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Settings a painter reads, with the recipe line behind them.
struct Job {
    const RecipeLine& line;
    ScenePictures& pictures;
    int width;
    int height;

    Paint Color(std::string_view key, uint32_t fallback) const { return Paint::Hex(line.GetColor(key, fallback)); }
    uint32_t Rgb(std::string_view key, uint32_t fallback) const { return line.GetColor(key, fallback); }
    // Texts use '_' for a space, since spaces separate the settings.
    std::string Text(std::string_view key, std::string_view fallback = {}) const
    {
        std::string text = line.Get(key, fallback);
        for (char& c : text)
            if (c == '_')
                c = ' ';
        return text;
    }
    // Comma-separated list.
    std::vector<std::string> List(std::string_view key) const
    {
        std::vector<std::string> items;
        std::stringstream all(line.Get(key));
        std::string item;
        while (std::getline(all, item, ','))
            items.push_back(item);
        return items;
    }
    bool Emoji(Canvas& canvas, const std::string& name, float cx, float cy, float size) const
    {
        return DrawEmoji(canvas, pictures.GetEmoji(), name, cx, cy, size);
    }
    void Label(Canvas& canvas, std::string_view text, float cx, float cy, int px, const Paint& paint, float rim = 0,
        const Paint& rimPaint = {}) const
    {
        Lettering& letters = pictures.Letters(px, true);
        if (rim > 0)
            letters.DrawCenteredRimmed(canvas, text, cx, cy, paint, rim, rimPaint);
        else
            letters.DrawCentered(canvas, text, cx, cy, paint);
    }
};

// A fixed scatter of points over a w × h area (the same every build).
PointF Scatter(int i, float w, float h)
{
    uint32_t x = static_cast<uint32_t>(i) * 2654435761u + 12345u;
    uint32_t y = (x ^ (x >> 13)) * 2246822519u;
    return { (x >> 8) % 10000 / 10000.0f * w, (y >> 8) % 10000 / 10000.0f * h };
}

// A raised panel: soft shadow, gradient body and a light rim.
void RaisedPanel(Canvas& c, float x, float y, float w, float h, float radius, const Paint& top, const Paint& bottom,
    const Paint& border, float borderWidth = 2)
{
    c.FillRoundRect(x + 2, y + 3, w, h, radius, Paint::Hex(0, 0.25f));
    c.FillRoundRectGradient(x, y, w, h, radius, top, bottom);
    c.StrokeRoundRect(x, y, w, h, radius, borderWidth, border);
    c.StrokeRoundRect(x + borderWidth, y + borderWidth, w - 2 * borderWidth, h - 2 * borderWidth,
        std::max(0.0f, radius - borderWidth), 1, Paint::Hex(0xFFFFFF, 0.45f));
}

// A five-pointed star centred on (cx, cy).
void Star(Canvas& c, float cx, float cy, float r, const Paint& paint)
{
    std::vector<PointF> points;
    for (int i = 0; i < 10; ++i) {
        float a = -kPi / 2 + i * kPi / 5;
        float rr = i % 2 ? r * 0.45f : r;
        points.push_back({ cx + rr * std::cos(a), cy + rr * std::sin(a) });
    }
    c.FillPolygon(points, paint);
}

// Wave scales (seigaiha): rows of concentric arcs.
void Seigaiha(Canvas& c, float x0, float y0, float w, float h, float r, const Paint& back, const Paint& line)
{
    c.FillRect(x0, y0, w, h, back);
    for (int row = -1; row * r / 2 < h + r; ++row)
        for (int col = -1; col * r < w + r; ++col) {
            float cx = x0 + col * r * 2 / 2 + (row % 2 ? r / 2 : 0) * 2, cy = y0 + row * r / 2;
            for (float k = 1.0f; k > 0.2f; k -= 0.25f) {
                c.FillCircle(cx, cy, r * k, back);
                c.StrokeCircle(cx, cy, r * k - 1, 1.6f, line);
            }
        }
}

// Tiles: every pattern wraps at the tile's edges.
Canvas PaintTile(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint base = job.Color("base", 0x8FD3F4), accent = job.Color("accent", 0xFFFFFF);
    std::string pattern = job.line.Get("pattern", "dots");
    c.Clear(base);
    if (pattern == "tatami") {
        // Woven rush: fine horizontal strands with a darker weave every few.
        for (int y = 0; y < job.height; ++y) {
            float shade = 0.06f * std::sin(y * 2 * kPi / 4) + ((y % 16) == 0 ? -0.12f : 0);
            c.FillRect(0, static_cast<float>(y), w, 1,
                shade > 0 ? accent.WithAlpha(shade * 2.5f) : Paint::Hex(0, -shade * 1.5f));
        }
        for (int x = 0; x < job.width; x += job.width / 2)
            c.FillRect(static_cast<float>(x), 0, 1, h, Paint::Hex(0, 0.08f));
    } else {
        // Soft dots and little stars on a gentle sky.
        c.FillRoundRectGradient(0, 0, w, h, 0, base, base.Mix(accent, 0.15f));
        for (float cx : { 0.0f, w })
            for (float cy : { 0.0f, h })
                c.FillCircle(cx, cy, w * 0.12f, accent.WithAlpha(0.35f));
        c.FillCircle(w / 2, h / 2, w * 0.12f, accent.WithAlpha(0.35f));
        Star(c, w * 0.25f, h * 0.72f, w * 0.06f, job.Color("star", 0xFFF3A0).WithAlpha(0.8f));
        Star(c, w * 0.75f, h * 0.28f, w * 0.06f, job.Color("star", 0xFFF3A0).WithAlpha(0.8f));
    }
    return c;
}

// Side panel of the play and study screens, 180 × 600.
Canvas PaintSidePanel(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint wood = job.Color("base", 0x6B3E1F), light = job.Color("light", 0x8C5630);
    c.FillRoundRectGradient(0, 0, w, h, 0, light, wood);
    for (int y = 3; y < job.height; y += 7)
        c.FillRect(0, static_cast<float>(y), w, 1, Paint::Hex(0, 0.05f + 0.03f * std::sin(y * 0.7f)));
    // Score plate (labels and counts), reading tray, name plate and the
    // quit button's place.
    RaisedPanel(c, 8, 92, w - 16, 52, 8, Paint::Hex(0x243B6E), Paint::Hex(0x162648), Paint::Hex(0xE8C46A));
    // The reading tray is black inside: the panel slide-in fills it with
    // black around the card it brings.
    RaisedPanel(c, 6, 198, w - 12, 231, 6, Paint::Hex(0), Paint::Hex(0), Paint::Hex(0xE8C46A));
    RaisedPanel(c, 8, 440, w - 16, 70, 8, Paint::Hex(0x243B6E), Paint::Hex(0x162648), Paint::Hex(0xE8C46A));
    // The heading.
    RaisedPanel(c, 10, 10, w - 20, 72, 12, Paint::Hex(0xFFF6DC), Paint::Hex(0xF3DFAE), Paint::Hex(0xE8C46A), 3);
    job.Label(c, job.Text("title", "かるた"), w / 2 + 14, 46, 26, Paint::Hex(0xC8322B), 2, Paint::Hex(0xFFFFFF));
    job.Emoji(c, job.line.Get("emoji", "🎴"), 36, 46, 36);
    for (float x : { 30.0f, 90.0f, 150.0f })
        Star(c, x, 540, 7, Paint::Hex(0xE8C46A, 0.6f));
    return c;
}

// The reading tray of the side panel as the panel strip shows it: the left
// 165 columns are the slide-in's own work area.
Canvas PaintPanelStrip(const Job& job)
{
    Job panelJob { job.line, job.pictures, 180, 600 };
    Canvas panel = PaintSidePanel(panelJob);
    Canvas c(job.width, job.height);
    c.Clear(Paint::Hex(0));
    Canvas tray = panel.Crop(10, 201, 158, 225);
    c.DrawCanvas(tray, 165, 0, 158, 225);
    return c;
}

// Title logo: the game's name in big rimmed letters with a few emoji.
Canvas PaintLogo(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    std::string title = job.Text("text", "Lumarra");
    job.Label(c, title, w / 2 + 3, h * 0.42f + 4, 72, Paint::Hex(0, 0.35f), 7, Paint::Hex(0, 0.35f));
    job.Label(c, title, w / 2, h * 0.42f, 72, job.Color("color", 0xE8412E), 7, Paint::Hex(0xFFFFFF));
    job.Label(c, job.Text("sub", "ことわざかるた"), w / 2, h * 0.84f, 26, Paint::Hex(0x23418C), 4,
        Paint::Hex(0xFFFFFF));
    std::vector<std::string> emoji = job.List("emoji");
    for (size_t i = 0; i < emoji.size(); ++i) {
        float x = i % 2 ? w - 45 : 45;
        job.Emoji(c, emoji[i], x, h * 0.45f + (i / 2) * 10.0f, 64);
    }
    return c;
}

// The title's five choices, each under its hot spot: x offsets and widths in
// the picture, 100 pixels high. A choice with a kana reading (its label is
// kanji a child may not read yet) shows it on the paper under a smaller
// picture.
Canvas PaintChoices(const Job& job)
{
    constexpr float kPictureY = 38, kPictureSize = 56;
    constexpr float kReadPictureY = 31, kReadPictureSize = 44;
    constexpr float kKanaY = 62;
    constexpr int kKanaPixels = 13;
    Canvas c(job.width, job.height);
    std::vector<std::string> xs = job.List("xs"), ws = job.List("ws"), colors = job.List("colors"),
                             emoji = job.List("emoji"), labels = job.List("labels"), kana = job.List("kana");
    for (size_t i = 0; i < xs.size() && i < ws.size() && i < colors.size() && i < emoji.size() && i < labels.size();
         ++i) {
        float x = static_cast<float>(ParseInt(xs[i]).value_or(0)), w = static_cast<float>(ParseInt(ws[i]).value_or(70));
        Paint frame = Paint::Hex(ParseColor(colors[i]).value_or(0x808080));
        RaisedPanel(c, x + 1, 1, w - 4, 96, 8, frame.Mix(Paint::Hex(0xFFFFFF), 0.2f), frame,
            frame.Mix(Paint::Hex(0), 0.4f));
        c.FillRoundRectGradient(x + 5, 5, w - 12, 66, 5, Paint::Hex(0xFFFCF2), Paint::Hex(0xF7EBCF));
        bool read = i < kana.size() && !kana[i].empty();
        job.Emoji(c, emoji[i], x + w / 2 - 1, read ? kReadPictureY : kPictureY,
            std::min(w - 18, read ? kReadPictureSize : kPictureSize));
        if (read)
            job.Label(c, kana[i], x + w / 2 - 1, kKanaY, kKanaPixels, frame.Mix(Paint::Hex(0), 0.3f));
        int px = labels[i].size() > 9 ? 12 : 15;
        job.Label(c, labels[i], x + w / 2 - 1, 84, px, Paint::Hex(0xFFFFFF), 2, frame.Mix(Paint::Hex(0), 0.5f));
    }
    return c;
}

// The win or lose screen: rays or a night sky, with emoji around the middle,
// where "お わ り" is faded in and the score frame drawn.
Canvas PaintEndScreen(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint inner = job.Color("inner", 0xF08A24), outer = job.Color("outer", 0xC2410C);
    c.FillRoundRectGradient(0, 0, w, h, 0, outer, outer.Mix(Paint::Hex(0), 0.2f));
    float cx = w / 2, cy = h / 2;
    if (job.line.Get("rays") == "1") {
        for (int i = 0; i < 24; i += 2) {
            float a0 = i * kPi / 12, a1 = (i + 1) * kPi / 12;
            std::vector<PointF> ray { { cx, cy }, { cx + 900 * std::cos(a0), cy + 900 * std::sin(a0) },
                { cx + 900 * std::cos(a1), cy + 900 * std::sin(a1) } };
            c.FillPolygon(ray, inner.WithAlpha(0.55f));
        }
    } else {
        for (int i = 0; i < 60; ++i) {
            PointF p = Scatter(i, w, h);
            Star(c, p.x, p.y, 3.0f + (i % 4), Paint::Hex(0xFFF7C0, 0.75f));
        }
    }
    c.FillEllipse(cx, cy, 300, 190, inner.Mix(outer, 0.3f).WithAlpha(0.9f));
    std::vector<std::string> emoji = job.List("emoji");
    const PointF places[] = { { 110, 110 }, { 870, 110 }, { 110, 490 }, { 870, 490 }, { 490, 80 }, { 490, 530 } };
    for (size_t i = 0; i < emoji.size() && i < std::size(places); ++i)
        job.Emoji(c, emoji[i], places[i].x, places[i].y, i < 4 ? 150 : 90);
    return c;
}

// Six 32 × 32 icons in a row.
Canvas PaintIconStrip(const Job& job)
{
    Canvas c(job.width, job.height);
    c.Clear(Paint::Hex(0));
    std::vector<std::string> colors = job.List("colors"), marks = job.List("marks");
    for (size_t i = 0; i < colors.size() && i < marks.size(); ++i) {
        float x = 32.0f * i;
        Paint color = Paint::Hex(ParseColor(colors[i]).value_or(0x808080));
        c.FillCircle(x + 16, 16, 15.5f, Paint::Hex(0xFFFFFF));
        c.FillCircle(x + 16, 16, 14, color);
        c.StrokeCircle(x + 16, 16, 13.5f, 1.2f, color.Mix(Paint::Hex(0), 0.4f));
        c.FillEllipse(x + 16, 10, 9, 5, Paint::Hex(0xFFFFFF, 0.3f));
        const std::string& mark = marks[i];
        Paint white = Paint::Hex(0xFFFFFF);
        if (mark == "maru") {
            c.StrokeCircle(x + 16, 16, 7.5f, 3.5f, white);
        } else if (mark == "batsu") {
            c.StrokeLine({ x + 10, 10 }, { x + 22, 22 }, 3.5f, white);
            c.StrokeLine({ x + 22, 10 }, { x + 10, 22 }, 3.5f, white);
        } else if (mark == "star") {
            Star(c, x + 16, 17, 10, white);
        } else if (mark == "play") {
            std::vector<PointF> tri { { x + 12, 8 }, { x + 25, 16 }, { x + 12, 24 } };
            c.FillPolygon(tri, white);
        } else {
            job.Emoji(c, mark, x + 16, 16, 20);
        }
    }
    return c;
}

// A plain paper panel with a colored border, optionally with a title band.
Canvas PaintPaperPanel(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint border = job.Color("border", 0xC8322B);
    c.FillRoundRect(0, 0, w, h, 14, border);
    c.FillRoundRectGradient(6, 6, w - 12, h - 12, 10, job.Color("paper", 0xFFFCF2), job.Color("paper2", 0xF7EBCF));
    c.StrokeRoundRect(9, 9, w - 18, h - 18, 8, 1.5f, border.WithAlpha(0.5f));
    if (std::string title = job.Text("title"); !title.empty())
        job.Label(c, title, w / 2, 22, 18, border.Mix(Paint::Hex(0), 0.2f));
    std::vector<std::string> emoji = job.List("emoji");
    for (size_t i = 0; i < emoji.size(); ++i)
        job.Emoji(c, emoji[i], i % 2 ? w - 24 : 24, i < 2 ? 26 : h - 26, 32);
    return c;
}

// A ribbon with a headline.
Canvas PaintRibbon(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint color = job.Color("color", 0xD92B2B);
    std::vector<PointF> band { { 0, 0 }, { w, 0 }, { w - 10, h / 2 }, { w, h }, { 0, h }, { 10, h / 2 } };
    c.FillPolygon(band, color);
    c.FillRect(12, 2, w - 24, 1.5f, Paint::Hex(0xFFFFFF, 0.5f));
    c.FillRect(12, h - 3.5f, w - 24, 1.5f, Paint::Hex(0xFFFFFF, 0.5f));
    job.Label(c, job.Text("text"), w / 2, h / 2, static_cast<int>(h * 0.6f), Paint::Hex(0xFFFFFF), 1.5f,
        color.Mix(Paint::Hex(0), 0.45f));
    return c;
}

// Reading-card face (blank paper) and backs (a wave pattern with a badge).
Canvas PaintCardBack(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint frame = job.Color("frame", 0x2B4C9B);
    c.FillRect(0, 0, w, h, frame);
    c.StrokeRoundRect(0, 0, w, h, 0, 1.5f, frame.Mix(Paint::Hex(0), 0.45f));
    if (job.line.Get("face") == "1") {
        c.FillRoundRectGradient(5, 5, w - 10, h - 10, 6, Paint::Hex(0xFFFEF8), Paint::Hex(0xFBF4E2));
        c.StrokeRoundRect(8, 8, w - 16, h - 16, 4, 1, frame.WithAlpha(0.35f));
        return c;
    }
    Seigaiha(c, 6, 6, w - 12, h - 12, 14, frame.Mix(Paint::Hex(0xFFFFFF), 0.1f),
        frame.Mix(Paint::Hex(0xFFFFFF), 0.45f));
    c.StrokeRoundRect(6, 6, w - 12, h - 12, 4, 2, Paint::Hex(0xE8C46A));
    c.FillCircle(w / 2, h / 2, 40, Paint::Hex(0xE8C46A));
    c.FillCircle(w / 2, h / 2, 36, Paint::Hex(0xFFFCF2));
    if (!job.Emoji(c, job.line.Get("emoji", "🎴"), w / 2, h / 2, 48))
        return {};
    return c;
}

// Result panel of a take: a banner for the two lines, a tray for the card.
Canvas PaintResult(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint border = job.Color("border", 0xE8412E), paper = job.Color("paper", 0xFFF1E6);
    c.FillRoundRect(0, 0, w, h, 16, border);
    c.FillRoundRectGradient(5, 5, w - 10, h - 10, 12, paper, paper.Mix(border, 0.18f));
    c.FillRoundRect(12, 12, w - 24, 46, 10, border.WithAlpha(0.85f));
    c.FillRoundRect(93, 60, 164, 224, 6, Paint::Hex(0, 0.18f));
    std::vector<std::string> emoji = job.List("emoji");
    for (size_t i = 0; i < emoji.size(); ++i)
        job.Emoji(c, emoji[i], i % 2 ? w - 46 : 46, 150 + 70.0f * (i / 2), 56);
    return c;
}

// The fault mark: a big red cross over the card, the rest see-through.
Canvas PaintFault(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint white = Paint::Hex(0xFFFFFF), red = job.Color("color", 0xE02020);
    for (auto [width, paint] : { std::pair { 30.0f, white }, std::pair { 22.0f, red } }) {
        c.StrokeLine({ 22, 40 }, { w - 22, h - 40 }, width, paint);
        c.StrokeLine({ w - 22, 40 }, { 22, h - 40 }, width, paint);
    }
    return c;
}

// A board or frame: a rounded panel whose inside is either paper or left
// see-through (`hollow=1`).
Canvas PaintBoard(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    Paint border = job.Color("border", 0x8C5630), fill = job.Color("fill", 0xFFF6DC);
    int inset = job.line.GetInt("inset", 12);
    RaisedPanel(c, 0, 0, w - 3, h - 4, 18, border.Mix(Paint::Hex(0xFFFFFF), 0.15f), border,
        border.Mix(Paint::Hex(0), 0.35f), 3);
    c.FillRoundRectGradient(static_cast<float>(inset), static_cast<float>(inset), w - 3 - 2.0f * inset,
        h - 4 - 2.0f * inset, 10, fill, fill.Mix(Paint::Hex(0xE8D6A8), 0.5f));
    std::vector<std::string> emoji = job.List("emoji");
    for (size_t i = 0; i < emoji.size(); ++i)
        job.Emoji(c, emoji[i], i % 2 ? w - 30 : 26, i < 2 ? 26 : h - 30, 34);
    return c;
}

// One emoji, optionally on a round badge, with an optional caption below.
Canvas PaintEmojiPicture(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    std::string caption = job.Text("text");
    float pictureH = caption.empty() ? h : h - 34;
    if (job.line.Get("badge") == "1")
        c.FillCircle(w / 2, pictureH / 2, std::min(w, pictureH) / 2 - 0.5f, job.Color("color", 0xFFFFFF));
    float size = std::min(w, pictureH) * (job.line.Get("badge") == "1" ? 0.72f : 0.96f);
    if (!job.Emoji(c, job.line.Get("emoji"), w / 2, pictureH / 2, size))
        return {};
    if (!caption.empty()) {
        RaisedPanel(c, 2, h - 32, w - 6, 28, 10, Paint::Hex(0xFFFFFF), Paint::Hex(0xFFF1C8), Paint::Hex(0xE8912A));
        job.Label(c, caption, w / 2 - 1, h - 18, 15, Paint::Hex(0x8C3B12));
    }
    return c;
}

// The New Year greeting.
Canvas PaintGreeting(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    RaisedPanel(c, 0, 0, w - 3, h - 4, 20, Paint::Hex(0xFFFDF5), Paint::Hex(0xFFF0D0), Paint::Hex(0xC8322B), 6);
    c.FillCircle(w / 2, h * 0.34f, 48, Paint::Hex(0xE8412E));
    job.Label(c, job.Text("text"), w / 2, h * 0.70f, 34, Paint::Hex(0xC8322B), 3, Paint::Hex(0xFFFFFF));
    job.Label(c, job.Text("sub"), w / 2, h * 0.86f, 20, Paint::Hex(0x5A3A1A));
    std::vector<std::string> emoji = job.List("emoji");
    for (size_t i = 0; i < emoji.size(); ++i)
        job.Emoji(c, emoji[i], i % 2 ? w - 60 : 58, h * 0.32f, 84);
    return c;
}

// A push button; `pressed=1` sinks it.
Canvas PaintButton(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    bool pressed = job.line.Get("pressed") == "1";
    Paint color = job.Color("color", 0xE8412E);
    Paint top = pressed ? color.Mix(Paint::Hex(0), 0.25f) : color.Mix(Paint::Hex(0xFFFFFF), 0.25f);
    Paint bottom = pressed ? color.Mix(Paint::Hex(0), 0.1f) : color.Mix(Paint::Hex(0), 0.15f);
    c.FillRoundRect(0, 0, w, h, h / 2, color.Mix(Paint::Hex(0), 0.5f));
    c.FillRoundRectGradient(1.5f, 1.5f, w - 3, h - 3, h / 2 - 1.5f, top, bottom);
    float shift = pressed ? 1.5f : 0;
    job.Label(c, job.Text("text"), w / 2 + shift, h / 2 + shift, static_cast<int>(h * 0.55f), Paint::Hex(0xFFFFFF),
        1.2f, color.Mix(Paint::Hex(0), 0.5f));
    return c;
}

// The strength choice: six 98 × 138 pictures from gentle to fast.
Canvas PaintLevels(const Job& job)
{
    Canvas c(job.width, job.height);
    Paint frame = job.Color("frame", 0x2B4C9B);
    std::vector<std::string> emoji = job.List("emoji"), labels = job.List("labels");
    for (size_t i = 0; i < 6 && i < emoji.size() && i < labels.size(); ++i) {
        float x = 98.0f * i;
        c.FillRect(x, 0, 98, 138, frame);
        c.StrokeRoundRect(x, 0, 98, 138, 0, 1.2f, frame.Mix(Paint::Hex(0), 0.45f));
        c.FillRoundRectGradient(x + 5, 5, 88, 100, 6, Paint::Hex(0xFFFCF2), Paint::Hex(0xF7EBCF));
        job.Emoji(c, emoji[i], x + 49, 54, 72);
        // Speed lines grow with the strength.
        for (size_t k = 1; k < i + 1 && i > 1; ++k)
            c.StrokeLine({ x + 12, 30 + 12.0f * k }, { x + 24, 30 + 12.0f * k }, 2, frame.WithAlpha(0.6f));
        int px = labels[i].size() > 15 ? 12 : 15;
        job.Label(c, labels[i], x + 49, 121, px, Paint::Hex(0xFFFFFF), 1.5f, frame.Mix(Paint::Hex(0), 0.5f));
    }
    return c;
}

// Caption buttons: six 16 × 14 columns (close, maximise, minimise, mode,
// mask, music) in eight rows of 14: active, active and on, inactive,
// inactive and on, then the same four greyed.
Canvas PaintCaptionButtons(const Job& job)
{
    Canvas c(job.width, job.height);
    const uint32_t faces[4][2]
        = { { 0x4C7D8C, 0xF2D16B }, { 0x4C7D8C, 0xF2D16B }, { 0x9A9A9A, 0xD8D8D8 }, { 0x9A9A9A, 0xD8D8D8 } };
    for (int row = 0; row < 8; ++row) {
        int state = row % 4;
        bool greyed = row >= 4, on = state % 2 == 1, active = state < 2;
        float y = 14.0f * row;
        for (int col = 0; col < 6; ++col) {
            float x = 16.0f * col;
            Paint face = Paint::Hex(active ? 0x2E5560 : 0x7A7A7A);
            if (on)
                face = Paint::Hex(faces[state][1]).Mix(Paint::Hex(0), 0.15f);
            c.FillRect(x, y, 16, 14, Paint::Hex(active ? 0x375F6C : 0x808080));
            c.FillRoundRectGradient(x + 1, y + 1, 14, 12, 3, face.Mix(Paint::Hex(0xFFFFFF), 0.25f), face);
            Paint ink = Paint::Hex(greyed ? 0xA8A8A8 : on ? 0x3A2A00 : 0xFFFFFF);
            float cx = x + 8, cy = y + 7;
            switch (col) {
            case 0:
                c.StrokeLine({ cx - 3.5f, cy - 3.5f }, { cx + 3.5f, cy + 3.5f }, 1.8f, ink);
                c.StrokeLine({ cx + 3.5f, cy - 3.5f }, { cx - 3.5f, cy + 3.5f }, 1.8f, ink);
                break;
            case 1:
                c.StrokeRoundRect(cx - 4, cy - 4, 8, 8, 0, 1.4f, Paint::Hex(0xA8A8A8));
                break;
            case 2:
                c.StrokeLine({ cx - 4, cy + 3 }, { cx + 4, cy + 3 }, 1.8f, ink);
                break;
            case 3:
                // An arrow pointer; with a click mark when on.
                c.FillPolygon(std::vector<PointF> { { cx - 3, cy - 5 }, { cx + 3, cy + 1 }, { cx, cy + 1 },
                                  { cx + 1.5f, cy + 5 }, { cx, cy + 5.5f }, { cx - 1.5f, cy + 1.5f },
                                  { cx - 3, cy + 3 } },
                    ink);
                if (on)
                    c.StrokeCircle(cx - 3, cy - 5, 2.5f, 1, ink);
                break;
            case 4:
                c.StrokeRoundRect(cx - 2.5f, cy - 5, 5, 6, 2.5f, 1.3f, ink);
                c.FillRoundRect(cx - 4, cy - 1, 8, 6, 1, ink);
                break;
            default:
                c.FillEllipse(cx - 2, cy + 3, 2.2f, 1.7f, ink);
                c.StrokeLine({ cx, cy + 3 }, { cx, cy - 4.5f }, 1.2f, ink);
                c.StrokeLine({ cx, cy - 4.5f }, { cx + 3.5f, cy - 2.5f }, 1.4f, ink);
                break;
            }
        }
    }
    return c;
}

// The caption's program icon: a small card, bright when active and grey
// when not.
Canvas PaintCaptionIcon(const Job& job)
{
    Canvas c(job.width, job.height);
    for (int row = 0; row < 2; ++row) {
        float y = 16.0f * row;
        c.FillRect(0, y, 16, 16, Paint::Hex(row ? 0x808080 : 0x375F6C));
        Paint frame = Paint::Hex(row ? 0xB0B0B0 : 0x2B4C9B);
        c.FillRoundRect(2.5f, y + 1, 11, 14, 1.5f, frame);
        c.FillRoundRect(3.8f, y + 2.3f, 8.4f, 11.4f, 1, Paint::Hex(row ? 0xE0E0E0 : 0xFFFCF2));
        c.FillCircle(6.5f, y + 5, 2.3f, Paint::Hex(row ? 0x9A9A9A : 0xE0342C));
    }
    return c;
}

// A calm full-screen backdrop for the desktop mask.
Canvas PaintBackdrop(const Job& job)
{
    Canvas c(job.width, job.height);
    float w = static_cast<float>(job.width), h = static_cast<float>(job.height);
    c.FillRoundRectGradient(0, 0, w, h, 0, job.Color("top", 0x3E6FB0), job.Color("bottom", 0x9BD0EE));
    for (int i = 0; i < 40; ++i) {
        PointF p = Scatter(i, w, h * 0.6f);
        Star(c, p.x, p.y, 2.5f + i % 3, Paint::Hex(0xFFFFFF, 0.5f));
    }
    for (int i = 0; i < 5; ++i) {
        float x = std::fmod(i * 211.0f + 60, w), y = h * 0.7f + 20 * (i % 2);
        c.FillEllipse(x, y, 70, 26, Paint::Hex(0xFFFFFF, 0.7f));
        c.FillEllipse(x + 30, y - 14, 40, 24, Paint::Hex(0xFFFFFF, 0.7f));
    }
    return c;
}

// An icon or cursor: one emoji at each size, or (`card=1`) a little card
// with the head-kana disc.
std::vector<Canvas> PaintIconImages(const Job& job)
{
    std::vector<Canvas> images;
    for (const std::string& sizeText : job.List("sizes")) {
        int size = ParseInt(sizeText).value_or(32);
        Canvas c(size, size);
        float s = size / 32.0f;
        if (job.line.Get("card") == "1") {
            c.FillRoundRect(5 * s, 1 * s, 22 * s, 30 * s, 3 * s, Paint::Hex(0x2B4C9B));
            c.FillRoundRect(7 * s, 3 * s, 18 * s, 26 * s, 2 * s, Paint::Hex(0xFFFCF2));
            c.FillCircle(12 * s, 8.5f * s, 4.2f * s, Paint::Hex(0xE0342C));
            DrawEmoji(c, job.pictures.GetEmoji(), job.line.Get("emoji", "🐕"), 16.5f * s, 20 * s, 13 * s);
        } else {
            Canvas emoji(size, size);
            if (!DrawEmoji(emoji, job.pictures.GetEmoji(), job.line.Get("emoji"), size / 2.0f, size / 2.0f,
                    size * 0.9f))
                return {};
            // A white rim keeps the picture visible on any background.
            c.DrawCanvas(emoji.Halo(1.2f * s, Paint::Hex(0xFFFFFF)), 0, 0, static_cast<float>(size),
                static_cast<float>(size));
            c.DrawCanvas(emoji, 0, 0, static_cast<float>(size), static_cast<float>(size));
        }
        images.push_back(std::move(c));
    }
    return images;
}

using Painter = Canvas (*)(const Job&);

const std::map<std::string, Painter, std::less<>>& Painters()
{
    static const std::map<std::string, Painter, std::less<>> painters = {
        { "tile", PaintTile },
        { "sidepanel", PaintSidePanel },
        { "panelstrip", PaintPanelStrip },
        { "logo", PaintLogo },
        { "choices", PaintChoices },
        { "endscreen", PaintEndScreen },
        { "iconstrip", PaintIconStrip },
        { "paper", PaintPaperPanel },
        { "ribbon", PaintRibbon },
        { "cardback", PaintCardBack },
        { "result", PaintResult },
        { "fault", PaintFault },
        { "board", PaintBoard },
        { "emoji", PaintEmojiPicture },
        { "greeting", PaintGreeting },
        { "button", PaintButton },
        { "levels", PaintLevels },
        { "captionbuttons", PaintCaptionButtons },
        { "captionicon", PaintCaptionIcon },
        { "backdrop", PaintBackdrop },
    };
    return painters;
}

// Largest picture a recipe may ask for.
constexpr int kMaxSide = 4096;

}

ScenePictures::ScenePictures(EmojiFont& emoji)
    : m_emoji(emoji)
{
}

ScenePictures::~ScenePictures() = default;

Lettering& ScenePictures::Letters(int pixelSize, bool bold)
{
    for (auto& [key, lettering] : m_letterings)
        if (key == std::pair { pixelSize, bold })
            return *lettering;
    m_letterings.emplace_back(std::pair { pixelSize, bold }, Lettering::Create(pixelSize, bold));
    return *m_letterings.back().second;
}

Canvas ScenePictures::Paint(const RecipeLine& line, std::vector<std::string>& errors)
{
    std::string where = "line " + std::to_string(line.number) + ": ";
    if (line.args.size() < 2) {
        errors.push_back(where + "expected <id> <painter>");
        return {};
    }
    auto painter = Painters().find(line.args[1]);
    if (painter == Painters().end()) {
        errors.push_back(where + "unknown painter " + line.args[1]);
        return {};
    }
    int w = line.GetInt("w", 0), h = line.GetInt("h", 0);
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        errors.push_back(where + "needs a size w= h= from 1 to " + std::to_string(kMaxSide));
        return {};
    }
    Canvas canvas = painter->second(Job { line, *this, w, h });
    if (canvas.Empty())
        errors.push_back(where + "an emoji of the recipe is missing");
    return canvas;
}

bool ScenePictures::Build(const RecipeLine& line, const std::filesystem::path& out,
    const std::filesystem::path& contactDir, std::vector<std::string>& errors)
{
    std::string name = line.command + (line.args.empty() ? "" : line.args[0]);
    std::vector<uint8_t> bytes;
    Canvas look;
    if (line.command == "icon" || line.command == "cursor") {
        Job job { line, *this, 0, 0 };
        std::vector<Canvas> images = PaintIconImages(job);
        if (images.empty()) {
            errors.push_back("line " + std::to_string(line.number) + ": no icon images");
            return false;
        }
        bytes = EncodeIconFile(images, line.command == "cursor", line.GetInt("hotx", 0), line.GetInt("hoty", 0));
        look = images.back();
    } else if (line.command == "bitmap") {
        look = Paint(line, errors);
        if (look.Empty())
            return false;
        bool keyed = line.Get("key") == "1";
        // Unkeyed pictures are laid over the color they are shown on.
        bytes = EncodeBitmapResource(look.GetWidth(), look.GetHeight(), Flatten(look, keyed, line.GetColor("bg", 0)));
    } else {
        errors.push_back("line " + std::to_string(line.number) + ": unknown kind " + line.command);
        return false;
    }
    // Contact pictures show see-through parts as magenta, as the game sees them.
    bool opaque = line.command == "bitmap" && line.Get("key") != "1";
    std::vector<uint32_t> rgb = Flatten(look, !opaque, line.GetColor("bg", 0));
    return !bytes.empty() && WriteBytes(out, bytes)
        && WriteBytes(contactDir / (name + ".png"), EncodePng(look.GetWidth(), look.GetHeight(), rgb));
}

bool ScenePictures::BuildThemeIcons(const RecipeLine& line, const std::string& sizes,
    const std::filesystem::path& outDir, const std::string& name, std::vector<std::string>& errors)
{
    if (line.command != "icon") {
        errors.push_back("line " + std::to_string(line.number) + ": not an icon");
        return false;
    }
    RecipeLine resized = line;
    resized.settings["sizes"] = sizes;
    std::vector<Canvas> images = PaintIconImages(Job { resized, *this, 0, 0 });
    if (images.empty()) {
        errors.push_back("line " + std::to_string(line.number) + ": no icon images");
        return false;
    }
    for (const Canvas& image : images) {
        std::string side = std::to_string(image.GetWidth());
        if (!WriteBytes(outDir / (side + "x" + side) / "apps" / (name + ".png"), EncodePngWithAlpha(image))) {
            errors.push_back("cannot write the " + side + " pixel icon");
            return false;
        }
    }
    return true;
}

}
