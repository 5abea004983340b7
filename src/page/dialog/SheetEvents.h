// The page's answers to the sheet's notifications, the play button's two
// drawing modes, and the rebuild of the picture lists after a settings or
// display change.
#pragma once

#include <windows.h>

// WM_NOTIFY from the sheet or from button 1012; the dialog procedure's result.
INT_PTR OnSheetNotify(HWND dialog, const NMHDR* header);

void OnThemeChanged(HWND dialog);

// WM_SETTINGCHANGE (displayChanged false) and WM_DISPLAYCHANGE.
void OnSystemChange(HWND dialog, bool displayChanged);
