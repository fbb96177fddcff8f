#include "platform/window/KeyboardHook.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace lumarra {

namespace {

struct Installed {
    HHOOK handle;
    HOOKPROC proc;
};

// One pass of an event along the chain: the procedures as they stood when
// it began, and the next one to call.
struct ChainWalk {
    const std::vector<HOOKPROC>* procs;
    size_t next;
};

constexpr size_t kVirtualKeyCount = 256;
constexpr int16_t kKeyHeld = static_cast<int16_t>(0x8000);

std::mutex g_lock;
std::vector<Installed> g_chain;  // newest first
uintptr_t g_lastHandle = 0;
KeyboardHookWatcher g_watcher = nullptr;
void* g_watcherContext = nullptr;
std::array<std::atomic<bool>, kVirtualKeyCount> g_keyHeld {};

thread_local ChainWalk* t_walk = nullptr;

// Calls the watcher outside the lock, so that it may look at the slot.
void TellWatcher(KeyboardHookWatcher watcher, void* context, bool installed)
{
    if (watcher)
        watcher(installed, context);
}

}

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, uint32_t threadId)
{
    if (idHook != WH_KEYBOARD_LL || !proc || threadId != 0)
        return nullptr;
    HHOOK handle;
    bool first;
    KeyboardHookWatcher watcher;
    void* context;
    {
        std::lock_guard guard(g_lock);
        handle = reinterpret_cast<HHOOK>(++g_lastHandle);
        first = g_chain.empty();
        g_chain.insert(g_chain.begin(), { handle, proc });
        watcher = g_watcher;
        context = g_watcherContext;
    }
    if (first)
        TellWatcher(watcher, context, true);
    return handle;
}

int UnhookWindowsHookEx(HHOOK hook)
{
    bool last;
    KeyboardHookWatcher watcher;
    void* context;
    {
        std::lock_guard guard(g_lock);
        auto found
            = std::find_if(g_chain.begin(), g_chain.end(), [&](const Installed& item) { return item.handle == hook; });
        if (hook == nullptr || found == g_chain.end())
            return 0;
        g_chain.erase(found);
        last = g_chain.empty();
        watcher = g_watcher;
        context = g_watcherContext;
    }
    if (last)
        TellWatcher(watcher, context, false);
    return 1;
}

LRESULT CallNextHookEx(HHOOK, int code, WPARAM wParam, LPARAM lParam)
{
    ChainWalk* walk = t_walk;
    if (!walk || walk->next >= walk->procs->size())
        return 0;
    HOOKPROC proc = (*walk->procs)[walk->next++];
    return proc(code, wParam, lParam);
}

int16_t GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || static_cast<size_t>(virtualKey) >= kVirtualKeyCount)
        return 0;
    return g_keyHeld[static_cast<size_t>(virtualKey)].load(std::memory_order_relaxed) ? kKeyHeld : 0;
}

bool CallKeyboardHooks(uint32_t message, const KBDLLHOOKSTRUCT& event)
{
    std::vector<HOOKPROC> procs;
    {
        std::lock_guard guard(g_lock);
        procs.reserve(g_chain.size());
        for (const Installed& item : g_chain)
            procs.push_back(item.proc);
    }
    if (procs.empty())
        return true;
    ChainWalk walk { &procs, 0 };
    ChainWalk* outer = t_walk;
    t_walk = &walk;
    KBDLLHOOKSTRUCT copy = event;
    LRESULT result = CallNextHookEx(nullptr, HC_ACTION, message, reinterpret_cast<LPARAM>(&copy));
    t_walk = outer;
    return result == 0;
}

void SetAsyncKeyState(unsigned virtualKey, bool down)
{
    if (virtualKey < kVirtualKeyCount)
        g_keyHeld[virtualKey].store(down, std::memory_order_relaxed);
}

bool AreKeyboardHooksInstalled()
{
    std::lock_guard guard(g_lock);
    return !g_chain.empty();
}

void WatchKeyboardHooks(KeyboardHookWatcher watcher, void* context)
{
    std::lock_guard guard(g_lock);
    g_watcher = watcher;
    g_watcherContext = context;
}

}
