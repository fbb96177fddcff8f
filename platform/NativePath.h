#pragma once

#include <string>
#include <string_view>

namespace lumarra {

// Maps between the program's internal paths (backslash separators, system
// code page) and native Linux paths ('/' separators, UTF-8). An absolute
// internal path is the native one with each '/' turned into '\', so
// "/home/a/x" is "\home\a\x"; relative paths stay relative to the working
// folder. In CP932 the name is converted whole before separators are swapped,
// so a trail byte of 0x5C never becomes a '/'.
std::string ToNativePath(std::string_view internalPath);
std::string ToInternalPath(std::string_view nativePath);

}
