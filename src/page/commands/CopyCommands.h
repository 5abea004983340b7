// The context menu with its copy and save items, and the keys and right clicks
// of the picture and member lists.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU; point is the pointer in screen coordinates, or (-1, -1)
// when the menu was asked for from the keyboard in source: then the menu
// opens at source's selected entry.
void ShowCopyMenu(HWND dialog, HWND source, LPARAM point);

// The hook of the list boxes (1004, 1005, 1006, 1008, 1010): Ctrl+C copies
// where the page copies from the list, Ctrl+S saves, a right click selects
// what lies under the pointer first, the menu key opens the context menu, and
// a screen reader gets the entries' names.
LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
