#include "tumbler/Tumbler.h"

#include "childlock/ReleaseWord.h"
#include "support/SystemInfo.h"

#include <atomic>
#include <dlfcn.h>

using namespace lumarra;

namespace {

// The lower-case character code of an ASCII capital.
constexpr uint32_t kLowerCaseOffset = 'a' - 'A';
constexpr uint16_t kKeyHeldBit = 0x8000;
// GetOsCode's codes below this are Win32s, the 95 family and NT 3.x and
// 4.0, which have no low-level keyboard hooks.
constexpr int kFirstCodeWithLowLevelHooks = 22;

// The hook of this process. In a section of its own, ordinary read/write,
// so each process that loads the library has its own.
[[gnu::section(".sharedd")]] std::atomic<HHOOK> hook { nullptr };
HINSTANCE module = nullptr;

[[gnu::constructor]] void AttachProcess()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<const void*>(&AttachProcess), &info) != 0)
        module = info.dli_fbase;
}

bool SupportsLowLevelHooks(int osCode)
{
    return osCode == 0 || osCode >= kFirstCodeWithLowLevelHooks;
}

bool PassesLock(uint32_t virtualKey)
{
    if (virtualKey == VK_TAB || virtualKey == VK_RETURN)
        return true;
    for (char letter : kReleaseWord) {
        uint32_t upper = static_cast<uint8_t>(letter);
        // The lower-case codes read as keypad and function keys, which
        // therefore pass as well.
        if (virtualKey == upper || virtualKey == upper + kLowerCaseOffset)
            return true;
    }
    return false;
}

}

extern "C" {

int LockKeyboard()
{
    if (!SupportsLowLevelHooks(GetOsCode()))
        return 0;
    HHOOK installed = SetWindowsHookExA(WH_KEYBOARD_LL, &HookProc_LL, module, 0);
    hook = installed;
    return installed != nullptr ? 1 : 0;
}

int UnLockKeyboard()
{
    HHOOK installed = hook.exchange(nullptr);
    if (installed == nullptr)
        return 0;
    UnhookWindowsHookEx(installed);
    return 1;
}

LRESULT HookProc_LL(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION || lParam == 0)
        return CallNextHookEx(hook, code, wParam, lParam);
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    bool controlDown = (static_cast<uint16_t>(GetAsyncKeyState(VK_CONTROL)) & kKeyHeldBit) != 0;
    if (controlDown || (event->flags & LLKHF_ALTDOWN))
        return 1;
    if (!PassesLock(event->vkCode))
        return 1;
    return CallNextHookEx(hook, code, wParam, lParam);
}
}
