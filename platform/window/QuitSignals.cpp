#include "platform/window/QuitSignals.h"

#include <atomic>
#include <csignal>

namespace lumarra {

namespace {

// Lock-free, so the handler may set it.
std::atomic<int> g_quitSignals { 0 };
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kQuitSignals[] = { SIGTERM, SIGINT, SIGHUP };

void NoteQuitSignal(int)
{
    g_quitSignals.fetch_add(1, std::memory_order_relaxed);
}

}

void CatchQuitSignals()
{
    struct sigaction action { };
    action.sa_handler = NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kQuitSignals)
        sigaction(signal, &action, nullptr);
}

bool TakeQuitSignal()
{
    return g_quitSignals.exchange(0, std::memory_order_relaxed) > 0;
}

}
