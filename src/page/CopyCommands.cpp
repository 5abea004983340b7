#include "page/CopyCommands.h"

#include "page/ControlHooks.h"

void ShowCopyMenu(HWND, LPARAM) {}

LRESULT CALLBACK PictureListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(list, message, wParam, lParam);
}

LRESULT CALLBACK MemberListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(list, message, wParam, lParam);
}
