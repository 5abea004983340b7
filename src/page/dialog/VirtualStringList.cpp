#include "page/dialog/VirtualStringList.h"

#include <commctrl.h>

#include "common/PageControls.h"
#include "page/state/ControlHooks.h"

HWND MakeStringListVirtual(HWND dialog, WNDPROC hook) {
    HWND old = GetDlgItem(dialog, kStringList);
    RECT place = {};
    if (old == nullptr || !GetWindowRect(old, &place))
        return nullptr;
    const LONG style = GetWindowLongA(old, GWL_STYLE);
    if (style & LVS_OWNERDATA)
        return nullptr;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    HWND list = CreateWindowExA(static_cast<DWORD>(GetWindowLongA(old, GWL_EXSTYLE)), WC_LISTVIEWA,
                                "", static_cast<DWORD>(style) | LVS_OWNERDATA, place.left,
                                place.top, place.right - place.left, place.bottom - place.top,
                                dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStringList)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(old, GWLP_HINSTANCE)),
                                nullptr);
    if (list == nullptr)
        return nullptr;
    // Its place in the tab order and the dialog's typeface.
    SetWindowPos(list, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(list, WM_SETFONT, static_cast<WPARAM>(SendMessageA(old, WM_GETFONT, 0, 0)), FALSE);
    HookControl(list, hook);
    UnhookControl(old);
    DestroyWindow(old);
    return list;
}
