#pragma once

#include <array>
#include <string_view>

namespace lumarra {

// How each kana is written, spelled one letter per record of its writing
// animation: R left to right, L right to left, D top to bottom, U bottom to
// top; a leading '+' pauses before the record. The game's animation and the
// tool that paints the kana sheet both read this one table, so the painted
// strokes and the animation always agree.
struct KanaStrokeSpelling {
    int cardCode;
    std::string_view records;
};

inline constexpr std::array<KanaStrokeSpelling, 46> kKanaStrokeSpellings = { {
    { 1, "R +D +D U R D L" },
    { 2, "D +U +D" },
    { 3, "R +R D L" },
    { 4, "R +R +D +R D R" },
    { 5, "R +D U D L +D" },
    { 6, "R D L +D +D" },
    { 7, "R +R +D +L D R" },
    { 8, "D D" },
    { 9, "D +R +D" },
    { 10, "R +D R" },
    { 11, "R +D +L D R" },
    { 12, "D R U" },
    { 13, "R +D U D L" },
    { 14, "R +D L +D R" },
    { 15, "R +L +R +L D R" },
    { 16, "R +D +R +D R" },
    { 17, "R +D R D L" },
    { 18, "R D L" },
    { 19, "R +L D R" },
    { 20, "D +L D R" },
    { 21, "R +D +R +D L U R" },
    { 22, "D +R +D R" },
    { 23, "D +D U R D L U R" },
    { 24, "D +R +D +R D L U R" },
    { 25, "D U R D L" },
    { 26, "D +R +D L U R" },
    { 27, "R +D R U +D" },
    { 28, "R +D L +D +D" },
    { 29, "U +D" },
    { 30, "D +R +R +D L U R" },
    { 31, "R +R +D L U R" },
    { 32, "R +D U R +D L" },
    { 33, "R +D L U R D R U +D" },
    { 34, "D +D U R D L" },
    { 35, "D R U +R +R" },
    { 36, "R D L +D +D" },
    { 38, "D +U R D L U +D L" },
    { 40, "R +D L U R" },
    { 41, "R +D +R D L" },
    { 42, "D +U D L" },
    { 43, "R +L +R D L U R" },
    { 44, "D +R +D +R D U" },
    { 45, "R +L +R D L" },
    { 46, "D +R +D +U R D L" },
    { 50, "R +D +R D +L D R" },
    { 51, "D +R D U" },
} };

}
