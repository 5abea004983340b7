// The context menu of the lists that copy, with its copy and save items.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU; point is the pointer in screen coordinates, or (-1, -1)
// when the menu was asked for from the keyboard in source: then the menu
// opens at source's selected entry.
void ShowCopyMenu(HWND dialog, HWND source, LPARAM point);

// True while the copy button is enabled: the page has something to copy.
bool CopyEnabled(HWND dialog);

// The lists whose selection the copy takes; the icon and cursor lists copy
// through their member list.
bool OffersCopyMenu(int controlId);
