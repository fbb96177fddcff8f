#include "platform/VersionResource.h"
#include "platform/window/KeyboardHook.h"
#include "tumbler/Tumbler.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace lumarra;

namespace {

// One key event as the platform hands it to the hooks.
struct Key {
    uint32_t vk;
    bool control = false;
    bool alt = false;
    bool up = false;
    uint32_t message = WM_KEYDOWN;
};

bool Passes(const Key& key)
{
    SetAsyncKeyState(VK_CONTROL, key.control);
    KBDLLHOOKSTRUCT event {};
    event.vkCode = key.vk;
    event.flags = (key.alt ? LLKHF_ALTDOWN : 0) | (key.up ? LLKHF_UP : 0);
    bool passes = CallKeyboardHooks(key.message, event);
    SetAsyncKeyState(VK_CONTROL, false);
    return passes;
}

// Every lock taken in a test is given back, whatever the test asserted.
class LockScope {
public:
    LockScope() { m_result = LockKeyboard(); }
    ~LockScope() { UnLockKeyboard(); }
    int GetResult() const { return m_result; }

private:
    int m_result = 0;
};

// A hook installed before the lock: it sees only what the lock passes on.
std::vector<uint32_t> g_seenBehind;
LRESULT RecordingHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        g_seenBehind.push_back(reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}

TEST(KeyboardLock, LetsThroughOnlyWhatTheReleasePromptNeeds)
{
    LockScope lock;
    ASSERT_EQ(lock.GetResult(), 1);
    ASSERT_TRUE(AreKeyboardHooksInstalled());

    SetAsyncKeyState(VK_SHIFT, true);
    EXPECT_TRUE(Passes({ 'Z' })) << "Shift+Z";
    SetAsyncKeyState(VK_SHIFT, false);
    EXPECT_TRUE(Passes({ 'E' }));
    EXPECT_TRUE(Passes({ 'P', false, false, true })) << "key up";
    EXPECT_TRUE(Passes({ VK_TAB }));
    EXPECT_TRUE(Passes({ VK_RETURN }));
    // The lower-case codes of Z, E and P are F11, keypad 5 and F1.
    EXPECT_TRUE(Passes({ 'z' }));
    EXPECT_TRUE(Passes({ VK_NUMPAD0 + 5 }));
    EXPECT_TRUE(Passes({ VK_F1 }));
    EXPECT_TRUE(Passes({ 'Z', false, false, false, WM_SYSKEYDOWN })) << "the message is not looked at";

    EXPECT_FALSE(Passes({ 'Z', true })) << "Ctrl+Z";
    EXPECT_FALSE(Passes({ 'E', false, true })) << "Alt+E";
    EXPECT_FALSE(Passes({ VK_TAB, false, true })) << "Alt+Tab";
    EXPECT_FALSE(Passes({ VK_F4, false, true })) << "Alt+F4";
    EXPECT_FALSE(Passes({ VK_ESCAPE, true })) << "Ctrl+Escape";
    for (uint32_t vk : { uint32_t('A'), uint32_t('Q'), uint32_t('0'), uint32_t('9'), VK_ESCAPE, VK_BACK, VK_SPACE,
             VK_LEFT, VK_LWIN, VK_RWIN, VK_APPS, VK_F4, VK_SHIFT, VK_CONTROL, VK_MENU, 0u })
        EXPECT_FALSE(Passes({ vk })) << "virtual key " << vk;
    EXPECT_FALSE(Passes({ 'Q', false, false, true })) << "key up of a swallowed key";
}

TEST(KeyboardLock, OlderHooksSeeOnlyWhatThePromptNeeds)
{
    g_seenBehind.clear();
    HHOOK behind = SetWindowsHookExA(WH_KEYBOARD_LL, &RecordingHook, nullptr, 0);
    ASSERT_NE(behind, nullptr);
    {
        LockScope lock;
        Passes({ 'Q' });
        Passes({ 'Z' });
        Passes({ 'Z', true });
    }
    Passes({ 'Q' });
    EXPECT_EQ(g_seenBehind, (std::vector<uint32_t> { 'Z', 'Q' }));
    EXPECT_EQ(UnhookWindowsHookEx(behind), 1);
    EXPECT_EQ(UnhookWindowsHookEx(behind), 0) << "a handle names one installation";
}

TEST(KeyboardLock, UnlocksOnceAndThenPassesEverything)
{
    ASSERT_EQ(LockKeyboard(), 1);
    EXPECT_FALSE(Passes({ 'Q' }));
    EXPECT_EQ(UnLockKeyboard(), 1);
    EXPECT_EQ(UnLockKeyboard(), 0);
    EXPECT_FALSE(AreKeyboardHooksInstalled());
    EXPECT_TRUE(Passes({ 'Q' }));
    EXPECT_TRUE(Passes({ 'Q', true, true }));
}

TEST(KeyboardLock, HookProcedurePassesOtherCodesOn)
{
    LockScope lock;
    KBDLLHOOKSTRUCT event {};
    event.vkCode = 'Q';
    constexpr int kNotAction = 3;
    EXPECT_EQ(HookProc_LL(kNotAction, WM_KEYDOWN, reinterpret_cast<LPARAM>(&event)), 0);
    EXPECT_EQ(HookProc_LL(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&event)), 1);
}

TEST(KeyboardHookSlot, TellsItsWatcherOfTheFirstAndTheLastHook)
{
    std::vector<bool> told;
    WatchKeyboardHooks([](bool installed,
                           void* context) { static_cast<std::vector<bool>*>(context)->push_back(installed); },
        &told);
    ASSERT_EQ(LockKeyboard(), 1);
    HHOOK second = SetWindowsHookExA(WH_KEYBOARD_LL, &RecordingHook, nullptr, 0);
    UnLockKeyboard();
    UnhookWindowsHookEx(second);
    WatchKeyboardHooks(nullptr, nullptr);
    EXPECT_EQ(told, (std::vector<bool> { true, false }));

    EXPECT_EQ(SetWindowsHookExA(2, &RecordingHook, nullptr, 0), nullptr) << "only low-level keyboard hooks";
    EXPECT_EQ(SetWindowsHookExA(WH_KEYBOARD_LL, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(UnhookWindowsHookEx(nullptr), 0);
}

TEST(KeyboardHookSlot, KeyEventsWhileAnotherThreadLocksAndUnlocks)
{
    std::atomic<bool> done { false };
    std::atomic<int> passed { 0 };
    std::thread keys([&] {
        while (!done) {
            KBDLLHOOKSTRUCT event {};
            event.vkCode = 'Q';
            if (CallKeyboardHooks(WM_KEYDOWN, event))
                ++passed;
            event.vkCode = 'Z';
            EXPECT_TRUE(CallKeyboardHooks(WM_KEYDOWN, event));
        }
    });
    for (int i = 0; i < 2000; ++i) {
        LockKeyboard();
        UnLockKeyboard();
    }
    done = true;
    keys.join();
    EXPECT_FALSE(AreKeyboardHooksInstalled());
}

TEST(KeyboardLock, DescribesItselfInItsVersionResource)
{
    VersionResource resource = VersionResource::ReadFromFile(LUMARRA_TUMBLER_FILE);
    ASSERT_FALSE(resource.IsEmpty());
    EXPECT_EQ(resource.QueryText("\\StringFileInfo\\041103A4\\FileDescription"), "キーボードロックモジュール");
    EXPECT_TRUE(resource.QueryText("\\StringFileInfo\\041103A4\\FileVersion").has_value());
}
