#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumarra {

// Measures CP932 program text the way the screens lay it out: in the game's
// fixed-pitch font a double-byte character is a full cell, a single byte half.

// The characters of `text`, each as its CP932 bytes.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// True when every character is double-byte, or the ASCII space if allowed.
bool IsDoubleByteText(std::string_view text, bool allowAsciiSpace);

// Lines that `text` takes when wrapped at `bytesPerLine` (each '\n' starts a
// line; an empty line still counts).
size_t WrappedLineCount(std::string_view text, size_t bytesPerLine);

// Pixel width of `text` in a fixed-pitch font `height` pixels high.
size_t TextWidth(std::string_view text, size_t height);

// The explanation screen's area, in the 10-point font at 96 dpi (13 pixels):
// 340 × 230 pixels hold 26 full-width characters on each of 17 lines.
inline constexpr size_t kExplanationBytesPerLine = 52;
inline constexpr size_t kExplanationLines = 17;

}
