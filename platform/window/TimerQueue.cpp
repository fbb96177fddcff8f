#include "platform/window/TimerQueue.h"

#include <algorithm>

namespace lumarra {

namespace {

// Signed distance on the wrapping tick count.
int32_t TicksUntil(uint32_t due, uint32_t now)
{
    return static_cast<int32_t>(due - now);
}

}

void TimerQueue::Set(WindowHandle window, uintptr_t id, uint32_t periodMs, uint32_t now)
{
    std::lock_guard guard(m_lock);
    Timer timer { window, id, periodMs, now + periodMs };
    auto found = std::find_if(m_timers.begin(), m_timers.end(),
        [&](const Timer& other) { return other.window == window && other.id == id; });
    if (found != m_timers.end())
        *found = timer;
    else
        m_timers.push_back(timer);
}

bool TimerQueue::Kill(WindowHandle window, uintptr_t id)
{
    std::lock_guard guard(m_lock);
    return std::erase_if(m_timers, [&](const Timer& timer) { return timer.window == window && timer.id == id; }) > 0;
}

void TimerQueue::KillAll(WindowHandle window)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_timers, [&](const Timer& timer) { return timer.window == window; });
}

bool TimerQueue::Contains(WindowHandle window, uintptr_t id) const
{
    std::lock_guard guard(m_lock);
    return std::any_of(m_timers.begin(), m_timers.end(),
        [&](const Timer& timer) { return timer.window == window && timer.id == id; });
}

std::optional<int32_t> TimerQueue::TicksToNext(uint32_t now) const
{
    std::lock_guard guard(m_lock);
    if (m_timers.empty())
        return std::nullopt;
    int32_t soonest = INT32_MAX;
    for (const Timer& timer : m_timers)
        soonest = std::min(soonest, TicksUntil(timer.due, now));
    return soonest;
}

std::vector<TimerQueue::Timer> TimerQueue::TakeDue(uint32_t now)
{
    std::lock_guard guard(m_lock);
    std::vector<Timer> due;
    for (Timer& timer : m_timers) {
        if (TicksUntil(timer.due, now) <= 0) {
            due.push_back(timer);
            // A late timer fires once, not once per missed period.
            timer.due = now + std::max<uint32_t>(timer.period, 1);
        }
    }
    return due;
}

}
