#pragma once

#include "platform/window/WindowTypes.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace lumarra {

// The windows' timers on the platform clock's wrapping tick count. Any
// thread may set and kill timers; the interface thread takes those due.
class TimerQueue {
public:
    struct Timer {
        WindowHandle window;
        uintptr_t id;
        uint32_t period;
        uint32_t due;
    };

    // Setting a window's existing id restarts it.
    void Set(WindowHandle window, uintptr_t id, uint32_t periodMs, uint32_t now);
    bool Kill(WindowHandle window, uintptr_t id);
    void KillAll(WindowHandle window);
    bool Contains(WindowHandle window, uintptr_t id) const;
    // Ticks until the soonest timer falls due, at most 0 when one is late;
    // nothing without timers.
    std::optional<int32_t> TicksToNext(uint32_t now) const;
    // The timers due at `now`, each set to fall due a period on.
    std::vector<Timer> TakeDue(uint32_t now);

private:
    mutable std::mutex m_lock;
    std::vector<Timer> m_timers;
};

}
