#include "page/state/ControlHooks.h"

bool HookControl(HWND control, WNDPROC hook) {
    if (control == nullptr || hook == nullptr)
        return false;
    LONG_PTR previous = GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (previous == 0)
        return false;
    // The slot is filled before the hook can see its first message.
    SetWindowLongPtrA(control, GWLP_USERDATA, previous);
    SetLastError(0);
    if (SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook)) == 0 &&
        GetLastError() != 0) {
        SetWindowLongPtrA(control, GWLP_USERDATA, 0);
        return false;
    }
    return true;
}

void UnhookControl(HWND control) {
    if (control == nullptr)
        return;
    LONG_PTR previous = GetWindowLongPtrA(control, GWLP_USERDATA);
    if (previous == 0)
        return;
    SetWindowLongPtrA(control, GWLP_WNDPROC, previous);
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
}

LRESULT CallPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    if (previous == nullptr)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(previous, control, message, wParam, lParam);
}
