#include "game/WritingAnimation.h"

#include "game/StrokeTable.h"
#include "graphics/DibSurface.h"

namespace lumarra {

namespace {

constexpr COLORREF kBlank = 0xFF00FF;
constexpr int kBoxColumn = 9;
constexpr int kBoxShownMs = 1000;
// Each column or row of a stroke appears after the one before.
constexpr int kLineMs = 10;

}

bool WritingAnimation::IsBlank(int x, int y)
{
    return m_sheet.GetPixel(x, y) == kBlank;
}

int WritingAnimation::Play(CardCode card, Point at)
{
    std::span<const StrokeRecord> records = StrokesOf(card);
    int cellY = kCellSize * (card - 1);
    if (records.empty() || !m_sheet.IsValid() || m_sheet.GetWidth() < kCellSize * (kBoxColumn + 1)
        || m_sheet.GetHeight() < cellY + kCellSize)
        return 1;

    m_draw(Rect::FromSize(kCellSize * kBoxColumn, 0, kCellSize, kCellSize), at);
    if (!m_pause(kBoxShownMs))
        return 0;
    for (size_t k = 0; k < records.size(); ++k) {
        const StrokeRecord& record = records[k];
        if (record.delayMs != 0 && !m_pause(record.delayMs))
            return 0;
        int cellX = kCellSize * static_cast<int>(k);
        if (!Reveal(cellX, cellY, record, at))
            return 0;
    }
    m_draw(Rect::FromSize(kCellSize * static_cast<int>(records.size()), cellY, kCellSize, kCellSize), at);
    return 1;
}

// Sweeps from start + step while inside the cell, copying one column (or
// row) at a time. Blank columns before the stroke are passed over; the first
// blank one after it ends the record.
int WritingAnimation::Reveal(int cellX, int cellY, const StrokeRecord& record, Point at)
{
    bool columns = record.stepX != 0;
    int step = columns ? record.stepX : record.stepY;
    int start = columns ? record.startX : record.startY;
    bool drawn = false;
    for (int i = start + step; i >= 0 && i < kCellSize; i += step) {
        bool blank = columns ? IsBlank(cellX + i, cellY) : IsBlank(cellX, cellY + i);
        if (blank) {
            if (drawn)
                break;
            continue;
        }
        if (columns)
            m_draw(Rect::FromSize(cellX + i, cellY, 1, kCellSize), { at.x + i, at.y });
        else
            m_draw(Rect::FromSize(cellX, cellY + i, kCellSize, 1), { at.x, at.y + i });
        drawn = true;
        if (!m_pause(kLineMs))
            return 0;
    }
    return 1;
}

}
