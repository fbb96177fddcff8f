#pragma once

#include <cstdint>

namespace lumarra {

// The virtual-key code (VK_*, 'A'…'Z', '0'…'9') of an SDL key code, 0 for
// keys the game has no code for.
unsigned VirtualKeyFromSdl(int32_t sdlKey);

}
