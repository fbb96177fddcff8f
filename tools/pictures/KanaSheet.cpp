#include "tools/pictures/KanaSheet.h"

#include "game/KanaStrokeSpelling.h"
#include "tools/pictures/PictureFiles.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace lumarra {

namespace {

constexpr float kBrushWidth = 8.5f;
constexpr uint32_t kInk = 0x202020;
constexpr uint32_t kBoxBorder = 0xC8A060;
constexpr uint32_t kBoxGuide = 0xF2C4C4;
constexpr uint32_t kBoxPaper = 0xFFFFFF;
// Ink weaker than this stays blank; stronger ink is laid over the box's
// white paper, so edges stay smooth where the sheet is drawn.
constexpr float kInkThreshold = 0.04f;
// The first and last pixel a sweep may mark: row and column 0 hold the marks.
constexpr int kFirstSweep = 1;
// Path points keep the brush off the mark row and column and the box border.
constexpr int kFirstPoint = 6;
constexpr int kLastPoint = 94;
constexpr int kLastSweep = 99;
constexpr int kBoxColumn = 9;

std::vector<std::string> Tokens(std::string_view text)
{
    std::vector<std::string> tokens;
    std::istringstream in { std::string(text) };
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

bool Horizontal(char direction)
{
    return direction == 'R' || direction == 'L';
}

std::optional<PointF> ParsePoint(const std::string& text)
{
    size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    std::optional<int> x = ParseInt(std::string_view(text).substr(0, comma));
    std::optional<int> y = ParseInt(std::string_view(text).substr(comma + 1));
    if (!x || !y || *x < kFirstPoint || *y < kFirstPoint || *x > kLastPoint || *y > kLastPoint)
        return std::nullopt;
    return PointF { static_cast<float>(*x), static_cast<float>(*y) };
}

// The inked range of a canvas along one axis, or {-1, -1}.
std::pair<int, int> InkRange(const Canvas& ink, bool columns)
{
    int first = -1, last = -1;
    for (int i = 0; i < KanaSheet::kCell; ++i)
        for (int j = 0; j < KanaSheet::kCell; ++j) {
            float a = columns ? ink.At(i, j).a : ink.At(j, i).a;
            if (a > kInkThreshold) {
                if (first < 0)
                    first = i;
                last = i;
                break;
            }
        }
    return { first, last };
}

// A Catmull-Rom curve through the path's points, so that brush strokes bend
// rather than kink.
std::vector<PointF> Smooth(const std::vector<PointF>& path)
{
    constexpr int steps = 8;
    if (path.size() < 3)
        return path;
    std::vector<PointF> out;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        PointF p0 = path[i ? i - 1 : 0], p1 = path[i], p2 = path[i + 1], p3 = path[std::min(i + 2, path.size() - 1)];
        for (int s = 0; s < steps; ++s) {
            float t = static_cast<float>(s) / steps, t2 = t * t, t3 = t2 * t;
            auto blend = [&](float a, float b, float c, float d) {
                return 0.5f * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
            };
            out.push_back({ blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y) });
        }
    }
    out.push_back(path.back());
    return out;
}

void DrawBox(std::vector<uint32_t>& sheet, int cellX, int cellY)
{
    constexpr int width = KanaSheet::kCell * KanaSheet::kColumns;
    for (int y = 0; y < KanaSheet::kCell; ++y)
        for (int x = 0; x < KanaSheet::kCell; ++x) {
            bool border = x < 2 || y < 2 || x >= KanaSheet::kCell - 2 || y >= KanaSheet::kCell - 2;
            bool guide = (x == 49 || y == 49) && (x + y) % 6 < 3;
            sheet[static_cast<size_t>(cellY + y) * width + cellX + x] = border ? kBoxBorder
                : guide                                                        ? kBoxGuide
                                                                               : kBoxPaper;
        }
}

}

std::string_view KanaSheet::StrokeTable(int cardCode)
{
    for (const KanaStrokeSpelling& row : kKanaStrokeSpellings)
        if (row.cardCode == cardCode)
            return row.records;
    return {};
}

KanaSheet::KanaSheet(const Recipe& recipe)
    : m_errors(recipe.errors)
{
    for (const RecipeLine& line : recipe.lines) {
        std::string where = "line " + std::to_string(line.number) + ": ";
        if (line.command == "kana") {
            std::optional<int> code = line.args.empty() ? std::nullopt : ParseInt(line.args[0]);
            if (!code || StrokeTable(*code).empty()) {
                m_errors.push_back(where + "expected kana <CardCode of a kana button> <kana>");
                continue;
            }
            m_kanas.push_back({ *code, line.args.size() > 1 ? line.args[1] : "", {} });
            continue;
        }
        std::string_view word = line.command;
        Record record;
        record.delayed = word.starts_with('+');
        if (record.delayed)
            word.remove_prefix(1);
        if (m_kanas.empty() || word.size() != 1 || std::string_view("RLDU").find(word[0]) == std::string_view::npos) {
            m_errors.push_back(where + "expected a kana line or a record R, L, D or U");
            continue;
        }
        record.direction = word[0];
        for (const std::string& text : line.args) {
            std::optional<PointF> point = ParsePoint(text);
            if (!point) {
                m_errors.push_back(where + "bad point " + text + " (x,y from 6 to 94)");
                continue;
            }
            record.path.push_back(*point);
        }
        if (record.path.empty())
            m_errors.push_back(where + "a record needs a path");
        m_kanas.back().records.push_back(std::move(record));
    }
    Check();
}

void KanaSheet::Check()
{
    for (const Kana& kana : m_kanas) {
        std::string where = "kana " + std::to_string(kana.cardCode) + ": ";
        std::vector<std::string> want = Tokens(StrokeTable(kana.cardCode));
        if (want.size() != kana.records.size()) {
            m_errors.push_back(where + std::to_string(kana.records.size()) + " records, the stroke table has "
                + std::to_string(want.size()));
            continue;
        }
        for (size_t k = 0; k < want.size(); ++k) {
            const Record& record = kana.records[k];
            std::string got = std::string(record.delayed ? "+" : "") + record.direction;
            if (got != want[k])
                m_errors.push_back(
                    where + "record " + std::to_string(k) + " is " + got + ", the table says " + want[k]);
            if (record.path.empty())
                continue;
            // The path must run the way its record sweeps.
            const PointF &a = record.path.front(), &b = record.path.back();
            float along = record.direction == 'R' ? b.x - a.x
                : record.direction == 'L'         ? a.x - b.x
                : record.direction == 'D'         ? b.y - a.y
                                                  : a.y - b.y;
            if (record.path.size() > 1 && along < 0)
                m_errors.push_back(where + "record " + std::to_string(k) + " runs against its direction");
        }
    }
    for (const KanaStrokeSpelling& row : kKanaStrokeSpellings)
        if (std::none_of(m_kanas.begin(), m_kanas.end(), [&](const Kana& k) { return k.cardCode == row.cardCode; }))
            m_errors.push_back("kana " + std::to_string(row.cardCode) + " has no strokes");
}

std::vector<uint32_t> KanaSheet::Paint() const
{
    constexpr int width = kCell * kColumns;
    std::vector<uint32_t> sheet(static_cast<size_t>(width) * kCell * kRows, kKeyMagenta);
    DrawBox(sheet, kBoxColumn * kCell, 0);
    const lumarra::Paint ink = lumarra::Paint::Hex(kInk);
    for (const Kana& kana : m_kanas) {
        int cellY = (kana.cardCode - 1) * kCell;
        Canvas written(kCell, kCell);
        for (size_t k = 0; k <= kana.records.size() && k < kColumns; ++k) {
            int cellX = static_cast<int>(k) * kCell;
            std::pair<int, int> sweep { -1, -1 };
            bool horizontal = false;
            if (k < kana.records.size()) {
                const Record& record = kana.records[k];
                Canvas stroke(kCell, kCell);
                std::vector<PointF> path = Smooth(record.path);
                stroke.StrokePolyline(path, kBrushWidth, ink);
                written.StrokePolyline(path, kBrushWidth, ink);
                horizontal = Horizontal(record.direction);
                sweep = InkRange(stroke, horizontal);
            }
            for (int y = 0; y < kCell; ++y)
                for (int x = 0; x < kCell; ++x) {
                    float a = written.At(x, y).a;
                    if (a <= kInkThreshold)
                        continue;
                    int level = static_cast<int>(std::lround(255 - (255 - 0x20) * std::min(1.0f, a)));
                    sheet[static_cast<size_t>(cellY + y) * width + cellX + x]
                        = static_cast<uint32_t>(level) * 0x010101u;
                }
            // The marks: columns (top row) or rows (left column) this record
            // sweeps, in the box's border color so they vanish into it.
            if (sweep.first >= 0)
                for (int i = std::max(kFirstSweep, sweep.first); i <= std::min(kLastSweep, sweep.second); ++i) {
                    size_t at = horizontal ? static_cast<size_t>(cellY) * width + cellX + i
                                           : static_cast<size_t>(cellY + i) * width + cellX;
                    sheet[at] = kBoxBorder;
                }
        }
    }
    return sheet;
}

bool KanaSheet::Write(const std::filesystem::path& out, const std::filesystem::path& contactDir) const
{
    if (!m_errors.empty())
        return false;
    std::vector<uint32_t> sheet = Paint();
    constexpr int width = kCell * kColumns, height = kCell * kRows;
    std::vector<uint8_t> bytes = EncodeBitmapResource(width, height, sheet);
    return !bytes.empty() && WriteBytes(out, bytes)
        && WriteBytes(contactDir / "kana-strokes.png", EncodePng(width, height, sheet));
}

}
