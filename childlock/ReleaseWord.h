#pragma once

#include <string_view>

namespace lumarra {

// The word an adult types into the release prompt to switch the desktop
// mask off: upper-case ASCII letters only. The keyboard lock lets exactly
// these letters through, so it must stay typeable.
inline constexpr std::string_view kReleaseWord = "ZEP";

}
