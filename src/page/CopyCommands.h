// The context menu with its one copy item, and the keys and right clicks of
// the lists that can copy (hooks on 1005, 1008 and 1010).
#pragma once

#include <windows.h>

// WM_CONTEXTMENU; lParam is the pointer in screen coordinates.
void ShowCopyMenu(HWND dialog, LPARAM point);

LRESULT CALLBACK PictureListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MemberListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
