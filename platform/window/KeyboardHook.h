#pragma once

#include "platform/window/WindowTypes.h"

#include <cstdint>

namespace lumarra {

// The process-wide low-level keyboard hook slot. A program installs hook
// procedures; while at least one is installed, the platform runs every key
// event through them, newest first, before any window sees it, and holds
// the keyboard (and the pointer) grabbed, so the desktop's own shortcuts
// never fire. A procedure that returns non-zero swallows the event; one
// that passes it on returns what CallNextHookEx gives.
//
// This is a shared library of its own, so that a hook library and the
// program it is loaded into share one slot.

struct HookTag;
// A handle names one installation; handles are never reused.
using HHOOK = HookTag*;
// The module a hook procedure lives in: the address it is loaded at.
using HINSTANCE = const void*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

inline constexpr int WH_KEYBOARD_LL = 13;
inline constexpr int HC_ACTION = 0;

// KBDLLHOOKSTRUCT flags.
inline constexpr uint32_t LLKHF_EXTENDED = 0x01;
inline constexpr uint32_t LLKHF_INJECTED = 0x10;
inline constexpr uint32_t LLKHF_ALTDOWN = 0x20;
inline constexpr uint32_t LLKHF_UP = 0x80;

// What a hook procedure's lParam points to.
struct KBDLLHOOKSTRUCT {
    uint32_t vkCode;
    uint32_t scanCode;
    uint32_t flags;
    uint32_t time;
    uintptr_t dwExtraInfo;
};

// Installs `proc` for the whole process. Only WH_KEYBOARD_LL hooks with a
// procedure are taken; null otherwise. `threadId` must be 0 (every thread).
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, uint32_t threadId);
// 1 when `hook` was installed and is now removed, 0 for an unknown handle.
int UnhookWindowsHookEx(HHOOK hook);
// Inside a hook procedure: runs the next procedure of the chain and returns
// its answer; 0 (pass) at the end of the chain or outside a hook call.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// The high bit (0x8000) is set while the key is held.
int16_t GetAsyncKeyState(int virtualKey);

// The platform's side.

// Runs one key event (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP)
// through the installed hooks; true when it passes on to the windows.
bool CallKeyboardHooks(uint32_t message, const KBDLLHOOKSTRUCT& event);
// Records whether a key is held, for GetAsyncKeyState.
void SetAsyncKeyState(unsigned virtualKey, bool down);
bool AreKeyboardHooksInstalled();

// Told when the first hook is installed and when the last one goes, on the
// thread that installed or removed it. One watcher; null stops watching.
using KeyboardHookWatcher = void (*)(bool installed, void* context);
void WatchKeyboardHooks(KeyboardHookWatcher watcher, void* context);

}
