// The string list view 1007: its rows, the separator line below them, the
// header locked against resizing and clicks, and the copy button following the
// selection.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// Row height for WM_MEASUREITEM of 1007.
UINT StringRowHeight(HWND dialog);

// WM_DRAWITEM of 1007, with the page's state (null before the page is
// reachable: a local buffer serves then).
void DrawStringRow(PageState* page, const DRAWITEMSTRUCT* item);

// The same as the message's own handler, for a dialog of the page's template:
// it finds the page's state itself.
void DrawStringRow(HWND dialog, const DRAWITEMSTRUCT* item);

// WM_NOTIFY from 1007; the dialog procedure's result (FALSE when not handled).
INT_PTR StringListNotify(HWND dialog, const NMHDR* header);

// Window procedures installed on 1007 and on its header control.
LRESULT CALLBACK StringListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HeaderHook(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
