#pragma once

#include <cstdint>

namespace lumarra {

// The one clock of the program. LUMARRA_TIME_SCALE=N (default 1) makes every
// sleep last 1/N of its time and the tick count run N times faster, so tests
// can play whole games quickly while the program sees the usual durations.
double GetTimeScale();

// Milliseconds on the scaled clock; wraps like a 32-bit Windows tick count.
uint32_t GetTickCount();

// Sleeps for `ms` milliseconds of scaled time.
void Sleep(uint32_t ms);

}
