// Builds the game's pictures from the recipes in resources/pictures:
//
//   lumarra_pictures deck <recipe> <string-table> <out-dir> <contact-dir>
//       a deck's three card sheets (IMG or BITMAP resources)
//   lumarra_pictures picture <recipe-line-file> <out-file> <contact-dir>
//       one other picture, icon or cursor
//   lumarra_pictures strokes <stroke-recipe> <out-file> <contact-dir>
//       the kana writing sheet
//   lumarra_pictures theme-icons <icon-line-file> <sizes> <out-dir> <name>
//       an icon at the sizes of a desktop icon theme, as PNG files
//
// Every run writes contact pictures (PNG) to look at what it made.

#include "tools/pictures/DeckSheets.h"
#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/KanaSheet.h"
#include "tools/pictures/ScenePictures.h"

#include <cstdio>
#include <string>

using namespace lumarra;

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "lumarra_pictures: %s\n", message.c_str());
    return 1;
}

int ReportErrors(const std::string& where, const std::vector<std::string>& errors)
{
    for (const std::string& error : errors)
        std::fprintf(stderr, "%s: %s\n", where.c_str(), error.c_str());
    return 1;
}

int BuildDeck(char** argv)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    if (!emoji)
        return Fail("no colour emoji face installed");
    std::optional<Recipe> recipe = Recipe::Load(argv[2]);
    if (!recipe)
        return Fail(std::string("cannot read ") + argv[2]);
    DeckSheets sheets(*emoji, *recipe, LoadStringTable(argv[3]));
    if (!sheets.GetErrors().empty())
        return ReportErrors(argv[2], sheets.GetErrors());
    return sheets.Write(argv[4], argv[5]) ? 0 : Fail(std::string("cannot write the sheets of ") + argv[2]);
}

int BuildPicture(char** argv)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    if (!emoji)
        return Fail("no colour emoji face installed");
    std::optional<Recipe> recipe = Recipe::Load(argv[2]);
    if (!recipe || recipe->lines.size() != 1)
        return Fail(std::string("expected one picture line in ") + argv[2]);
    ScenePictures pictures(*emoji);
    std::vector<std::string> errors;
    if (!pictures.Build(recipe->lines[0], argv[3], argv[4], errors))
        return ReportErrors(argv[2], errors);
    return 0;
}

int BuildThemeIcons(char** argv)
{
    std::unique_ptr<EmojiFont> emoji = EmojiFont::Open();
    if (!emoji)
        return Fail("no colour emoji face installed");
    std::optional<Recipe> recipe = Recipe::Load(argv[2]);
    if (!recipe || recipe->lines.size() != 1)
        return Fail(std::string("expected one icon line in ") + argv[2]);
    ScenePictures pictures(*emoji);
    std::vector<std::string> errors;
    if (!pictures.BuildThemeIcons(recipe->lines[0], argv[3], argv[4], argv[5], errors))
        return ReportErrors(argv[2], errors);
    return 0;
}

int BuildStrokes(char** argv)
{
    std::optional<Recipe> recipe = Recipe::Load(argv[2]);
    if (!recipe)
        return Fail(std::string("cannot read ") + argv[2]);
    KanaSheet sheet(*recipe);
    if (!sheet.GetErrors().empty())
        return ReportErrors(argv[2], sheet.GetErrors());
    return sheet.Write(argv[3], argv[4]) ? 0 : Fail(std::string("cannot write ") + argv[3]);
}

}

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "deck" && argc == 6)
        return BuildDeck(argv);
    if (command == "picture" && argc == 5)
        return BuildPicture(argv);
    if (command == "strokes" && argc == 5)
        return BuildStrokes(argv);
    if (command == "theme-icons" && argc == 6)
        return BuildThemeIcons(argv);
    return Fail("usage: lumarra_pictures deck <recipe> <strings> <out-dir> <contact-dir>\n"
                "       lumarra_pictures picture <recipe-line> <out-file> <contact-dir>\n"
                "       lumarra_pictures strokes <strokes> <out-file> <contact-dir>\n"
                "       lumarra_pictures theme-icons <icon-line> <sizes> <out-dir> <name>");
}
