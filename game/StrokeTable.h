#pragma once

#include "game/Decks.h"

#include <span>

namespace lumarra {

// How each kana is written: for every CardCode with a kana, the records of
// its writing animation in order. A record reveals one part of the kana by
// sweeping across its 100 × 100 cell column by column (x step ±1) or row by
// row (y step ±1), after an optional pause.
struct StrokeRecord {
    CardCode card;
    int delayMs;
    int startX;
    int startY;
    int stepX;
    int stepY;
};

// The whole table, grouped by CardCode in ascending order and ended by an
// all-zero record.
std::span<const StrokeRecord> StrokeTable();

// The records of one kana; empty for a CardCode without any.
std::span<const StrokeRecord> StrokesOf(CardCode card);

}
