#include "platform/Clock.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace lumarra {

namespace {

double ReadTimeScale()
{
    const char* text = std::getenv("LUMARRA_TIME_SCALE");
    if (!text || !*text)
        return 1.0;
    char* end = nullptr;
    double scale = std::strtod(text, &end);
    if (end == text || !(scale > 0.0) || scale > 1e6)
        return 1.0;
    return scale;
}

std::chrono::steady_clock::time_point ClockOrigin()
{
    static const auto origin = std::chrono::steady_clock::now();
    return origin;
}

}

double GetTimeScale()
{
    static const double scale = ReadTimeScale();
    return scale;
}

uint32_t GetTickCount()
{
    auto elapsed = std::chrono::steady_clock::now() - ClockOrigin();
    double ms = std::chrono::duration<double, std::milli>(elapsed).count() * GetTimeScale();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void Sleep(uint32_t ms)
{
    ClockOrigin();
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms / GetTimeScale()));
}

int SleepUnlessStopped(uint32_t ms, const std::atomic<int>& stop, uint32_t sliceMs)
{
    uint32_t slice = sliceMs > 0 ? sliceMs : 1;
    while (ms > 0) {
        if (stop.load())
            return 0;
        uint32_t step = ms < slice ? ms : slice;
        Sleep(step);
        ms -= step;
    }
    return stop.load() ? 0 : 1;
}

}
