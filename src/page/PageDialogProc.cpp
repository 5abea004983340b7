#include "page/PageDialogProc.h"

#include <mmsystem.h>

namespace {

// A handled message whose answer travels in DWLP_MSGRESULT.
INT_PTR Answer(HWND dialog, LONG_PTR result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PageDialogProc(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            // lParam is the sheet's copy of the page description; every later
            // look-up of the page state starts from it.
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return TRUE;
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            return Answer(dialog, 1);
        case WM_COMPAREITEM:
            // Equal until the lists learn to compare their records.
            return 0;
        case WM_CHARTOITEM:
            // No typed-character selection: the list box does its default.
            return -1;
        case MM_MCINOTIFY:
            return Answer(dialog, 0);
        case WM_DESTROY:
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CONTEXTMENU:
        case WM_SETTINGCHANGE:
        case WM_DISPLAYCHANGE:
        case WM_THEMECHANGED:
        default:
            return FALSE;
    }
}
