// Picture recipes and kana stroke recipes: parsing, every setting accessor
// and the stroke checks must cope with any bytes.

#include "tools/pictures/EmojiFont.h"
#include "tools/pictures/KanaSheet.h"
#include "tools/pictures/Recipe.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lumarra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Recipe recipe = Recipe::Parse(text);
    for (const RecipeLine& line : recipe.lines) {
        line.GetInt("w", 0);
        line.GetColor("base", 0);
        line.Get("text");
    }
    KanaSheet sheet(recipe);
    DecodeUtf8(text);
    return 0;
}
