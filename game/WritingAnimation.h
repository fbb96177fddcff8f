#pragma once

#include "game/Decks.h"
#include "platform/gdi/GdiTypes.h"

#include <functional>

namespace lumarra {

class DibSurface;
struct StrokeRecord;

// Shows how a kana is written, from the stroke sheet (BITMAP 298): a grid of
// 100 × 100 cells, row v − 1 for CardCode v, column k holding what record k
// of the stroke table reveals and the column after the last record the
// finished kana; cell (9, 0) is the empty writing box. Magenta pixels are
// blank.
class WritingAnimation {
public:
    static constexpr uint32_t kSheetBitmap = 298;
    static constexpr int kCellSize = 100;

    // Copies the part `source` of the sheet to `to` on the stage.
    using DrawPart = std::function<void(const Rect& source, Point to)>;
    // Pauses; 0 when the animation is to end at once.
    using Pause = std::function<int(int ms)>;

    WritingAnimation(DibSurface& sheet, DrawPart draw, Pause pause)
        : m_sheet(sheet)
        , m_draw(std::move(draw))
        , m_pause(std::move(pause))
    {
    }

    // Animates CardCode v in the writing box whose top-left corner is `at`.
    // Nothing is drawn for a kana without records or when the sheet lacks
    // its row. 0 when a pause ended it early.
    int Play(CardCode card, Point at);

private:
    int Reveal(int cellX, int cellY, const StrokeRecord& record, Point at);
    bool IsBlank(int x, int y);

    DibSurface& m_sheet;
    DrawPart m_draw;
    Pause m_pause;
};

}
