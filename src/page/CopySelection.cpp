#include "page/CopySelection.h"

void CopySelection(HWND) {}
