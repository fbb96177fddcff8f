#pragma once

#include "game/Decks.h"
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace lumarra {

class DibSurface;

// The pictures every game screen shares: the card sheets of the deck last
// started, held in four global sheet objects that the drawing operations
// fetch by sheet number, and the reading-card and result images.

// Sheet numbers. 285/288/291, 283/286/289 and 284/287/290 are synonyms of
// the table, small and large sheet.
inline constexpr int kTableSheet = 280;
inline constexpr int kSmallSheet = 281;
inline constexpr int kLargeSheet = 282;
inline constexpr int kHighlightSheet = 800;

// Card cells on the sheets.
inline constexpr Size kLargeCard = { 150, 210 };
inline constexpr Size kTableCard = { 128, 180 };
inline constexpr Size kSmallCard = { 50, 70 };

// Loads the deck's large, table and small sheets and its highlight sheet;
// DeckId 0 means the Aiueo deck. A picture that cannot be had leaves its
// sheet empty. 1 when all four were loaded.
int LoadDeckPictures(DeckId deck);

// The sheet of a sheet number; unknown numbers give one fixed empty image.
DibSurface& SheetFor(int sheetNumber);

// The card's cell on a sheet whose cells are `cell` large; empty for a
// number outside 1–51.
Rect CardCellOnSheet(CardCode card, Size cell);

// What the title screen loads at start for all the game screens: the fault
// mark (217), the blank reading-card face (205), the reading-card back
// (208), the two result panels (214, 215) and the Aiueo deck's three sheets.
void LoadSharedPictures();

DibSurface& FaultMark();
DibSurface& BlankCardFace();
DibSurface& ReadingCardBack();
DibSurface& ChildResultPanel();
DibSurface& ComputerResultPanel();

}
