#pragma once

#include <cstddef>

namespace lumarra::bench {

// Bytes held through operator new by this program: now, and the most since
// the last ResetHeapPeak.
size_t HeapInUse();
size_t HeapPeak();
void ResetHeapPeak();

}
