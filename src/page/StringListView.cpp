#include "page/StringListView.h"

#include "page/ControlHooks.h"

UINT StringRowHeight(HWND) {
    return 0;
}

void DrawStringRow(HWND, const DRAWITEMSTRUCT*) {}

INT_PTR StringListNotify(HWND, const NMHDR*) {
    return FALSE;
}

LRESULT CALLBACK StringListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(list, message, wParam, lParam);
}

LRESULT CALLBACK HeaderHook(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(header, message, wParam, lParam);
}
