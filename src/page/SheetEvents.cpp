#include "page/SheetEvents.h"

INT_PTR OnSheetNotify(HWND, const NMHDR*) {
    return FALSE;
}

void OnThemeChanged(HWND) {}

void OnSystemChange(HWND, bool) {}
