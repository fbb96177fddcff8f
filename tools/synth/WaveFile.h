#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumarra {

// The bytes of a RIFF WAVE file holding mono 16-bit PCM.
std::string EncodeWaveFile(const std::vector<int16_t>& samples, int rate);

}
