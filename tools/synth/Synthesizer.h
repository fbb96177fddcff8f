#pragma once

#include "tools/synth/Score.h"

#include <cstdint>
#include <vector>

namespace lumarra {

// Renders a score to mono 16-bit samples at the score's rate, its loudest
// sample at the score's peak level. The first sample is 0 and the sound fades
// to 0 at its end, so a looping score joins without a click.
std::vector<int16_t> RenderScore(const Score& score);

}
