// The page's start (WM_INITDIALOG) and end (WM_DESTROY).
#pragma once

#include <windows.h>

#include "page/PageState.h"

// lParam is the sheet's copy of the page description.
void StartPage(HWND dialog, LPARAM description);

void EndPage(HWND dialog);

// Destroys the pictures of the four picture lists (the stores stay).
void DiscardPictureLists(HWND dialog, PageState* page);
