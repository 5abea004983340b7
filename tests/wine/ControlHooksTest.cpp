// The common mechanics of the control hooks on a real control.
#include <gtest/gtest.h>
#include <windows.h>

#include "page/state/ControlHooks.h"

namespace {

const UINT kConsumed = WM_APP + 1;
int consumedSeen = 0;
int passedOn = 0;

LRESULT CALLBACK CountingHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kConsumed) {
        ++consumedSeen;
        return 42;
    }
    ++passedOn;
    return CallPreviousProc(control, message, wParam, lParam);
}

TEST(ControlHooks, HookConsumesItsOwnAndPassesTheRestOnUntilUnhooked) {
    HWND edit = CreateWindowExA(0, "EDIT", "before", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);
    const LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);

    ASSERT_TRUE(HookControl(edit, CountingHook));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(CountingHook), GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ(original, GetWindowLongPtrA(edit, GWLP_USERDATA));

    EXPECT_EQ(42, SendMessageA(edit, kConsumed, 0, 0));
    EXPECT_EQ(1, consumedSeen);
    // The control's own behaviour still works through the hook.
    passedOn = 0;
    EXPECT_TRUE(SetWindowTextA(edit, "after"));
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof(text));
    EXPECT_STREQ("after", text);
    EXPECT_GE(passedOn, 2);

    UnhookControl(edit);
    EXPECT_EQ(original, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ(0, GetWindowLongPtrA(edit, GWLP_USERDATA));
    EXPECT_EQ(0, SendMessageA(edit, kConsumed, 0, 0));
    EXPECT_EQ(1, consumedSeen);
    // A second unhook finds nothing to restore.
    UnhookControl(edit);
    EXPECT_EQ(original, GetWindowLongPtrA(edit, GWLP_WNDPROC));

    EXPECT_FALSE(HookControl(nullptr, CountingHook));
    EXPECT_FALSE(HookControl(edit, nullptr));
    DestroyWindow(edit);
}

}  // namespace
