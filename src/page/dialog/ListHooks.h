// The window procedures installed on the page's lists: what a list does with
// the keys, clicks and requests that belong to the page rather than to it.
#pragma once

#include <windows.h>

// The hook of the list boxes (1004, 1005, 1006, 1008, 1010): Ctrl+C copies
// where the page copies from the list, Ctrl+S saves, a right click selects
// what lies under the pointer first, the menu key opens the context menu, and
// a screen reader gets the entries' names.
LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

// The hook of the string list view 1007: the same keys, one opening of the
// target per paint, rows answered with their identifiers, and the column
// boundary drawn below the last row.
LRESULT CALLBACK StringListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

// The window procedure installed on the message list 1014: one opening per
// paint, Ctrl+C, Ctrl+S, the menu key and the list's name.
LRESULT CALLBACK MessageListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
