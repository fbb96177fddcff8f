#pragma once

#include <atomic>
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

// Sleeps for `ms` milliseconds in slices of at most `sliceMs`, ending early
// once `stop` is non-zero; 0 when it was stopped, 1 when the time ran out.
// Threads that are not the stage's worker (card readers, voice workers)
// pace themselves with this and their own stop flags.
int SleepUnlessStopped(uint32_t ms, const std::atomic<int>& stop, uint32_t sliceMs = 100);

}
