#include "game/DeckPictures.h"

#include "graphics/DibSurface.h"
#include "graphics/PictureCache.h"
#include "support/FileIo.h"

#include <array>

namespace lumarra {

namespace {

constexpr COLORREF kColorKey = 0xFF00FF;

// The highlighted table sheet is the plain one with green and blue lowered,
// a slightly darker, reddish card.
constexpr int kTintRed = 0;
constexpr int kTintGreen = -10;
constexpr int kTintBlue = -10;

constexpr uint32_t kFaultMarkBitmap = 217;
constexpr uint32_t kBlankFaceBitmap = 205;
constexpr uint32_t kCardBackBitmap = 208;
constexpr uint32_t kChildPanelBitmap = 214;
constexpr uint32_t kComputerPanelBitmap = 215;

enum SheetIndex : size_t { kLarge, kTable, kSmall, kHighlight, kSheetCount };

struct GamePictures {
    std::array<DibSurface, kSheetCount> sheets;
    DibSurface unknownSheet;
    DibSurface faultMark;
    DibSurface blankFace;
    DibSurface cardBack;
    DibSurface childPanel;
    DibSurface computerPanel;
};

// Built on first use, so no other global's start-up order matters; lives
// until the program ends.
GamePictures& Pictures()
{
    static GamePictures pictures;
    return pictures;
}

int LoadBitmap(DibSurface& surface, uint32_t id, COLORREF key)
{
    surface.Release();
    return surface.LoadFromResource(id, key);
}

int LoadImgPicture(DibSurface& surface, uint32_t id)
{
    surface.Release();
    return LoadPicture(surface, id);
}

int LoadSheet(DibSurface& surface, const DeckInfo& deck, uint32_t id)
{
    return deck.sheetsAreBitmaps ? LoadBitmap(surface, id, kNoColor) : LoadImgPicture(surface, id);
}

int LoadPlainSheets(const DeckInfo& deck)
{
    GamePictures& pictures = Pictures();
    int large = LoadSheet(pictures.sheets[kLarge], deck, deck.largeSheet);
    int table = LoadSheet(pictures.sheets[kTable], deck, deck.tableSheet);
    int small = LoadSheet(pictures.sheets[kSmall], deck, deck.smallSheet);
    return large && table && small;
}

// The tinted sheet comes from the picture cache, which the program
// normally builds ahead of time; a cache that lacks it gets it now. The
// file is looked for first: loading a missing tinted id would decode the
// plain sheet and keep it under the tinted name, and the computer's pointer
// would never show.
int LoadHighlightSheet(const DeckInfo& deck)
{
    DibSurface& sheet = Pictures().sheets[kHighlight];
    if (!FileExists(GetPictureCachePath(deck.highlightSheet))) {
        if (deck.sheetsAreBitmaps)
            BuildTintedBitmapCache(deck.tableSheet, deck.highlightSheet, kTintRed, kTintGreen, kTintBlue);
        else
            BuildTintedImgCache(deck.tableSheet, deck.highlightSheet, kTintRed, kTintGreen, kTintBlue);
    }
    return LoadImgPicture(sheet, deck.highlightSheet);
}

}

int LoadDeckPictures(DeckId deck)
{
    const DeckInfo* info = FindDeck(deck == 0 ? kDeckAiueo : deck);
    if (!info)
        return 0;
    int plain = LoadPlainSheets(*info);
    int highlight = LoadHighlightSheet(*info);
    return plain && highlight;
}

DibSurface& SheetFor(int sheetNumber)
{
    GamePictures& pictures = Pictures();
    switch (sheetNumber) {
    case kTableSheet:
    case 285:
    case 288:
    case 291:
        return pictures.sheets[kTable];
    case kSmallSheet:
    case 283:
    case 286:
    case 289:
        return pictures.sheets[kSmall];
    case kLargeSheet:
    case 284:
    case 287:
    case 290:
        return pictures.sheets[kLarge];
    case kHighlightSheet:
        return pictures.sheets[kHighlight];
    default:
        return pictures.unknownSheet;
    }
}

Rect CardCellOnSheet(CardCode card, Size cell)
{
    if (card < 1 || card > kLastCardCode)
        return {};
    int column = (card - 1) % kSheetColumns;
    int row = (card - 1) / kSheetColumns;
    return Rect::FromSize(column * cell.width, row * cell.height, cell.width, cell.height);
}

void LoadSharedPictures()
{
    GamePictures& pictures = Pictures();
    LoadBitmap(pictures.faultMark, kFaultMarkBitmap, kColorKey);
    LoadBitmap(pictures.blankFace, kBlankFaceBitmap, kNoColor);
    LoadBitmap(pictures.cardBack, kCardBackBitmap, kNoColor);
    LoadBitmap(pictures.childPanel, kChildPanelBitmap, kNoColor);
    LoadBitmap(pictures.computerPanel, kComputerPanelBitmap, kNoColor);
    LoadPlainSheets(*FindDeck(kDeckAiueo));
}

DibSurface& FaultMark()
{
    return Pictures().faultMark;
}

DibSurface& BlankCardFace()
{
    return Pictures().blankFace;
}

DibSurface& ReadingCardBack()
{
    return Pictures().cardBack;
}

DibSurface& ChildResultPanel()
{
    return Pictures().childPanel;
}

DibSurface& ComputerResultPanel()
{
    return Pictures().computerPanel;
}

}
