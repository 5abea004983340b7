// The context menu with its copy and save items, and the keys and right clicks
// of the picture and member lists.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU; lParam is the pointer in screen coordinates.
void ShowCopyMenu(HWND dialog, LPARAM point);

// The hook of the list boxes (1004, 1005, 1006, 1008, 1010): Ctrl+C copies
// where the page copies from the list, Ctrl+S saves, and a right click selects
// what lies under the pointer first.
LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
