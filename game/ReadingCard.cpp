#include "game/ReadingCard.h"

#include "graphics/DibSurface.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace lumarra {

namespace {

// Room for the characters' tops: 170 pixels, or 190 when the lines are
// long enough that 170 would squeeze them below the usual cell.
constexpr int kFitHeight = 170;
constexpr int kRetryHeight = 190;

// One column: a step of more than 39 is capped at 40 with 30-pixel cells.
constexpr int kOneColumnMaxStep = 40;
constexpr int kOneColumnCell = 30;
constexpr int kOneColumnCentre = 75;

// Two and three columns: the step is capped at 30 with 20-pixel cells; a
// step of 20 or less is fitted again into the taller room.
constexpr int kColumnsMaxStep = 30;
constexpr int kColumnsCell = 20;
constexpr int kRetryBelowStep = 21;

// Centres of the columns, right to left, and where a hanging column starts.
constexpr int kTwoColumnRight = 100;
constexpr int kTwoColumnLeft = 50;
constexpr int kThreeColumnRight = 115;
constexpr int kThreeColumnMiddle = 75;
constexpr int kThreeColumnLeft = 35;
constexpr int kHangingTop = 30;
// At most this much space stays under the last column.
constexpr int kLastColumnMaxGap = 30;

// A character's cell reaches 4 pixels above and left of it and 8 beyond
// its size to the right and below.
constexpr int kCellBefore = 4;
constexpr int kCellAfter = 8;

constexpr char kSpace = ' ';

const std::string& LongVowelMark()
{
    static const std::string mark = Sjis("ー");
    return mark;
}

const std::string& VerticalLongVowelMark()
{
    static const std::string mark = Sjis("｜");
    return mark;
}

const std::string& CardFace()
{
    static const std::string face = Sjis("ＭＳ ゴシック");
    return face;
}

// The text's characters, split into lines at the first two spaces; empty
// lines are dropped, so stray spaces never leave a column without
// characters.
std::vector<std::vector<std::string>> SplitLines(std::string_view text)
{
    std::vector<std::vector<std::string>> lines(1);
    for (size_t pos = 0; pos < text.size();) {
        size_t length = CharLength(text, pos, CodePage::Cp932);
        std::string character(text.substr(pos, length));
        pos += length;
        if (character.size() == 1 && character[0] == kSpace && lines.size() < 3) {
            lines.emplace_back();
            continue;
        }
        lines.back().push_back(character == LongVowelMark() ? VerticalLongVowelMark() : character);
    }
    std::erase_if(lines, [](const auto& line) { return line.empty(); });
    return lines;
}

int CountOf(const std::vector<std::string>& line)
{
    return static_cast<int>(line.size());
}

// Top of a column centred on the card.
int CentredTop(int n, int step, int size)
{
    return ((1 - n) * step - size + ReadingCard::kHeight) / 2;
}

// Top of the last column, low on the card with at most 30 pixels below.
int LowTop(int n, int step, int size)
{
    int rest = (1 - n) * step - size + ReadingCard::kHeight;
    return ReadingCard::kHeight - size + (1 - n) * step - std::min(kLastColumnMaxGap, rest / 4);
}

}

ReadingCard ReadingCard::Layout(std::string_view text)
{
    ReadingCard card;
    card.Place(SplitLines(text));
    return card;
}

void ReadingCard::Place(const std::vector<Line>& lines)
{
    m_columns = static_cast<int>(lines.size());
    if (m_columns == 0)
        return;
    if (m_columns == 1) {
        int n = CountOf(lines[0]);
        FitOneColumn(n);
        AddLine(lines[0], kOneColumnCentre - m_size / 2, CentredTop(n, m_step, m_size));
        return;
    }
    FitColumns(lines);
    if (m_columns == 2) {
        AddLine(lines[0], kTwoColumnRight - (m_size + 1) / 2, kHangingTop);
        AddLine(lines[1], kTwoColumnLeft - (m_size + 1) / 2, LowTop(CountOf(lines[1]), m_step, m_size));
        return;
    }
    AddLine(lines[0], kThreeColumnRight - m_size / 2, kHangingTop);
    AddLine(lines[1], kThreeColumnMiddle - m_size / 2, CentredTop(CountOf(lines[1]), m_step, m_size));
    AddLine(lines[2], kThreeColumnLeft - m_size / 2, LowTop(CountOf(lines[2]), m_step, m_size));
}

void ReadingCard::FitOneColumn(int n)
{
    m_step = kFitHeight / n;
    if (m_step >= kOneColumnMaxStep) {
        m_step = kOneColumnMaxStep;
        m_size = kOneColumnCell;
    } else {
        m_size = m_step > kOneColumnCell ? kOneColumnCell : m_step - 2;
    }
}

void ReadingCard::FitColumns(const std::vector<Line>& lines)
{
    auto fit = [&](int room) {
        int step = room;
        for (const Line& line : lines)
            step = std::min(step, room / CountOf(line));
        return step;
    };
    m_step = fit(kFitHeight);
    m_size = kColumnsCell;
    if (m_step >= kColumnsMaxStep) {
        m_step = kColumnsMaxStep;
        return;
    }
    if (m_step >= kRetryBelowStep)
        return;
    m_step = fit(kRetryHeight);
    if (m_step >= kColumnsMaxStep)
        m_step = kColumnsMaxStep;
    else if (m_step < kRetryBelowStep)
        m_size = m_step - 2;
}

void ReadingCard::AddLine(const Line& line, int x, int top)
{
    if (m_size <= 0)
        return;
    const Rect card = Rect::FromSize(0, 0, kWidth, kHeight);
    for (size_t k = 0; k < line.size(); ++k) {
        int y = top + m_step * static_cast<int>(k);
        Rect cell
            = Rect { x - kCellBefore, y - kCellBefore, x + m_size + kCellAfter, y + m_size + kCellAfter }.Intersect(
                card);
        if (cell.IsEmpty())
            continue;
        m_characters.push_back({ line[k], x, y, m_size, cell });
    }
}

void ReadingCard::DrawCharacter(DibSurface& face, const Character& character)
{
    face.DrawOutlinedTextPlain(character.text, character.x, character.y, character.size, character.size, CardFace(),
        character.size, kTextColor, kNoColor);
}

void ReadingCard::Draw(DibSurface& face) const
{
    for (const Character& character : m_characters)
        DrawCharacter(face, character);
}

}
