#pragma once

#include "tools/pictures/Canvas.h"
#include "tools/pictures/Recipe.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lumarra {

class EmojiFont;
class Lettering;

// Paints the pictures of the screens (backgrounds, panels, buttons, icons,
// cursors), each from one recipe line:
//   bitmap|icon|cursor <id> <painter> [key=value ...]
// The painter names a drawing routine; the settings give its size, colors,
// emoji and texts.
class ScenePictures {
public:
    explicit ScenePictures(EmojiFont& emoji);
    ~ScenePictures();

    // Paints the picture of `line`; an empty canvas and a message in `errors`
    // when the line is not understood.
    Canvas Paint(const RecipeLine& line, std::vector<std::string>& errors);
    // Paints and writes the resource file and its contact picture.
    bool Build(const RecipeLine& line, const std::filesystem::path& out, const std::filesystem::path& contactDir,
        std::vector<std::string>& errors);

    // Paints an icon line again at each of `sizes` (comma-separated) and
    // writes the pictures as <outDir>/<n>x<n>/apps/<name>.png, the layout of
    // a desktop icon theme.
    bool BuildThemeIcons(const RecipeLine& line, const std::string& sizes, const std::filesystem::path& outDir,
        const std::string& name, std::vector<std::string>& errors);

    // Painters need these.
    EmojiFont& GetEmoji() { return m_emoji; }
    Lettering& Letters(int pixelSize, bool bold);

private:
    EmojiFont& m_emoji;
    std::vector<std::pair<std::pair<int, bool>, std::unique_ptr<Lettering>>> m_letterings;
};

}
