#pragma once

#include "tools/pictures/Canvas.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

class EmojiFont;
class Lettering;

// What one picture card shows: its head kana, the emoji that make up its
// illustration (the first is the main one) and its deck's frame color. Kana
// cards keep a plain band at the bottom, where the study screen writes the
// card's word.
struct CardDesign {
    std::string kana;
    std::vector<std::string> emoji;
    uint32_t frame = 0;
    bool wordBand = false;
};

// Paints card faces in one style for every deck and size: a frame in the
// deck's color around warm paper, the head kana white in a red disc at the
// top left, and the illustration composed from color emoji.
class CardPainter {
public:
    explicit CardPainter(EmojiFont& emoji);
    ~CardPainter();

    // A card of `width` × `height`. `compact` draws the kana disc and the
    // illustration larger, for cards that are shown small.
    Canvas Paint(const CardDesign& design, int width, int height, bool compact);
    // Emoji of the design that the face has no picture for.
    std::vector<std::string> Missing(const CardDesign& design);

private:
    Lettering& KanaLettering(int pixelSize);

    EmojiFont& m_emoji;
    std::map<int, std::unique_ptr<Lettering>> m_letterings;
};

// The picture called `name`: an emoji, or one of our own drawings when the
// name starts with '@'; nullopt when there is none of that name.
std::optional<Canvas> RenderPicture(EmojiFont& font, std::string_view name);

// The picture `name` drawn centred on (cx, cy) and fitted into a square of
// `size`, keeping its proportions; false when the face lacks it.
bool DrawEmoji(Canvas& canvas, EmojiFont& font, const std::string& name, float cx, float cy, float size);

}
