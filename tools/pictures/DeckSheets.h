#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/Recipe.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumarra {

class EmojiFont;

// One sheet size of a deck: cell size and the resource id it is packed as.
struct SheetSize {
    const char* name;
    int cellWidth;
    int cellHeight;
    bool compact;
};

inline constexpr SheetSize kLargeSheet { "large", 150, 210, false };
inline constexpr SheetSize kTableSheet { "table", 128, 180, false };
inline constexpr SheetSize kSmallSheet { "small", 50, 70, true };

// "ID<TAB>text" lines of a string table (UTF-8); ids it cannot read are
// left out.
std::map<int, std::string> LoadStringTable(const std::filesystem::path& path);

// Builds a deck's three sheets from its recipe:
//   deck <name> frame=RRGGBB format=img|bitmap [colors=N] large=ID table=ID small=ID
//   card <ReadIndex> <emoji> [<emoji> ...]
// Each card is painted in its cell (CardCode order); cells without a card
// stay black. IMG sheets are reduced to `colors` colors.
class DeckSheets {
public:
    DeckSheets(EmojiFont& emoji, const Recipe& recipe, std::map<int, std::string> strings);

    // Problems found in the recipe (unknown deck, cards without a picture,
    // emoji the face lacks); empty when the sheets can be built.
    const std::vector<std::string>& GetErrors() const { return m_errors; }

    Canvas PaintSheet(const SheetSize& size);
    // Writes the three resources and a contact picture of each into
    // `outDir`; false on any error.
    bool Write(const std::filesystem::path& outDir, const std::filesystem::path& contactDir);

private:
    EmojiFont& m_emoji;
    const RecipeLine* m_deck = nullptr;
    std::map<int, std::vector<std::string>> m_cards;
    std::map<int, std::string> m_strings;
    std::vector<std::string> m_errors;
};

}
