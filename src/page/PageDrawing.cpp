#include "page/PageDrawing.h"

void MeasurePageItem(HWND, MEASUREITEMSTRUCT*) {}

void DrawPageItem(HWND, const DRAWITEMSTRUCT*) {}

int ComparePageItems(HWND, const COMPAREITEMSTRUCT*) {
    return 0;
}
