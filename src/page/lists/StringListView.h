// The string list view 1007: its rows, the separator line below them, the
// header locked against resizing and clicks, and the copy button following the
// selection.
#pragma once

#include <windows.h>
#include <commctrl.h>

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

// After the list's own WM_ERASEBKGND: continues the column boundary below the
// last row, from the header's bottom edge down.
void DrawBackgroundSeparator(HWND list, const PageState* page, HDC dc);

// LVM_GETITEMA and LVM_GETITEMW sent to 1007, answered by the list with the
// row's identifier put in as its parameter (page may be null).
LRESULT GetRowWithParameter(HWND list, PageState* page, UINT message, WPARAM wParam, LPARAM lParam);

// LVM_GETITEMTEXTA sent to the virtual 1007, answered by the page itself:
// where the list asks its parent for wide texts, its own conversion would
// cut a narrow asker's buffer inside a character. False when the page does
// not answer it (the list does).
bool GetNarrowRowText(PageState* page, WPARAM row, LVITEMA* item, LRESULT* result);

// The window procedure installed on 1007's header control.
LRESULT CALLBACK HeaderHook(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
