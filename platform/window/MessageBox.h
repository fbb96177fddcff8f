#pragma once

#include <string_view>

namespace lumarra {

class Window;

// Message box types.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// Shows `text` (CP932, "\n" breaks lines) under `caption` with the buttons
// and icon `type` names, modally over `owner`, or centred on the screen
// when `owner` is null. Returns IDOK, IDYES or IDNO; 0 when no box could be
// shown. Enter presses the default (first) button; Escape and the close
// box answer IDOK in an MB_OK box and do nothing in an MB_YESNO box, which
// has no close box; Y and N answer it.
int MessageBox(Window* owner, std::string_view text, std::string_view caption, unsigned type);

}
