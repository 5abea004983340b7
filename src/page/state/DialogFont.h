// The height of the dialog's font, which the page's rows and lines follow.
#pragma once

#include <windows.h>

// tmHeight of the font the dialog (or a control) was given; false when it
// cannot be measured.
bool ReadDialogTextHeight(HWND window, int* height);
