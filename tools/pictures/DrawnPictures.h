#pragma once

#include "tools/pictures/Canvas.h"

#include <optional>
#include <string_view>

namespace lumarra {

// Objects that no emoji shows rightly for a Japanese child (a Buddhist temple,
// a seated Buddha, tofu, a persimmon, a pestle in its mortar), drawn with our
// own shapes. Recipes name them with a leading '@' where they would name an
// emoji ("@temple"); like an emoji, a picture comes trimmed to its ink.
std::optional<Canvas> PaintDrawnPicture(std::string_view name);

}
