#pragma once

#include "platform/window/KeyboardHook.h"

// The keyboard-lock library (libtumbler.so). While the desktop mask is on it
// holds a low-level keyboard hook that swallows every key except those
// needed to type the release word into the release prompt and confirm it:
// Tab, Enter and the word's letters. Each process that loads the library
// has its own hook.
extern "C" {

// Installs the hook; 1 when it is installed, 0 when the system cannot take
// one. Does not look whether one is installed already: pair every
// successful call with one UnLockKeyboard.
int LockKeyboard();
// Removes the hook; 1 when one was installed, 0 when none was.
int UnLockKeyboard();
// The hook procedure.
lumarra::LRESULT HookProc_LL(int code, lumarra::WPARAM wParam, lumarra::LPARAM lParam);
}
