// Writes a contact sheet of the reading cards of every card of one deck or
// of all four, laid out as the game writes them, to look at:
//   lumarra_reading_cards <out-dir>
// One PNG per deck, "reading-cards-<deck>.png", cards in the deck's order,
// eight to a row.

#include "game/Decks.h"
#include "game/ReadingCard.h"
#include "graphics/DibSurface.h"
#include "platform/Resources.h"
#include "tools/pictures/PictureFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace lumarra;

namespace {

constexpr int kCardsPerRow = 8;
constexpr int kGap = 8;
constexpr COLORREF kSheetColor = 0x404040;
// Stands in for the blank face where the program carries no pictures.
constexpr COLORREF kPlainFace = 0xE8F4FC;
constexpr uint32_t kBlankFaceBitmap = 205;

const char* const kDeckFileNames[] = { "edo", "kamigata", "owari", "aiueo" };

void PaintFace(DibSurface& card, DibSurface& blankFace)
{
    if (blankFace.IsValid())
        card.DrawSurface(blankFace, 0, 0, ReadingCard::kWidth, ReadingCard::kHeight, 0, 0, SRCCOPY);
    else
        card.FillSolidRect(0, 0, ReadingCard::kWidth, ReadingCard::kHeight, kPlainFace);
}

std::vector<uint32_t> ToRgb(DibSurface& sheet)
{
    std::vector<uint32_t> rgb;
    rgb.reserve(static_cast<size_t>(sheet.GetWidth()) * static_cast<size_t>(sheet.GetHeight()));
    for (int y = 0; y < sheet.GetHeight(); ++y) {
        for (int x = 0; x < sheet.GetWidth(); ++x) {
            COLORREF c = sheet.GetPixel(x, y);
            rgb.push_back(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
        }
    }
    return rgb;
}

bool WriteDeckSheet(const DeckInfo& deck, DibSurface& blankFace, const std::filesystem::path& outDir)
{
    int rows = (deck.cardCount + kCardsPerRow - 1) / kCardsPerRow;
    int width = kGap + kCardsPerRow * (ReadingCard::kWidth + kGap);
    int height = kGap + rows * (ReadingCard::kHeight + kGap);
    DibSurface sheet(24, width, height, kNoColor);
    DibSurface card(24, ReadingCard::kWidth, ReadingCard::kHeight, kNoColor);
    sheet.FillSolidRect(0, 0, width, height, kSheetColor);
    for (int i = 0; i < deck.cardCount; ++i) {
        CardCode code = deck.cards[static_cast<size_t>(i)];
        PaintFace(card, blankFace);
        ReadingCard::Layout(LoadString(ReadingTextId(deck.id, code))).Draw(card);
        int x = kGap + (i % kCardsPerRow) * (ReadingCard::kWidth + kGap);
        int y = kGap + (i / kCardsPerRow) * (ReadingCard::kHeight + kGap);
        sheet.DrawSurface(card, x, y, ReadingCard::kWidth, ReadingCard::kHeight, 0, 0, SRCCOPY);
    }
    std::filesystem::path file = outDir / ("reading-cards-" + std::string(kDeckFileNames[deck.id - 1]) + ".png");
    std::vector<uint32_t> rgb = ToRgb(sheet);
    if (!WriteBytes(file, EncodePng(width, height, rgb)))
        return false;
    std::printf("%s\n", file.string().c_str());
    return true;
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: lumarra_reading_cards <out-dir>\n", stderr);
        return 2;
    }
    std::filesystem::path outDir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    DibSurface blankFace(kBlankFaceBitmap, kNoColor);
    bool ok = true;
    for (DeckId deck = kDeckEdo; deck <= kDeckAiueo; ++deck)
        ok = WriteDeckSheet(*FindDeck(deck), blankFace, outDir) && ok;
    return ok ? 0 : 1;
}
