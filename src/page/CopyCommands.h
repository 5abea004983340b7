// The context menu with its one copy item, and the keys and right clicks of
// the lists that can copy (hooks on 1005, 1008 and 1010).
#pragma once

#include <windows.h>

// WM_CONTEXTMENU; lParam is the pointer in screen coordinates.
void ShowCopyMenu(HWND dialog, LPARAM point);

// The hook of the list boxes that copy (1005, 1008, 1010): Ctrl+C copies, and a
// right click selects what lies under the pointer first.
LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
