// The height of the dialog's font, which the page's rows and lines follow, and
// the screen density it was scaled for, which the page's pictures follow.
#pragma once

#include <windows.h>

// tmHeight of the font the dialog (or a control) was given; false when it
// cannot be measured.
bool ReadDialogTextHeight(HWND window, int* height);

// Dots per inch of the window's screen as the system scaled the dialog's font
// for it: the window's own where the thread is aware of each monitor's
// density (GetDpiForWindow, bound by name), else LOGPIXELSY of the window's
// device context. 0 when neither can be read.
int ReadDialogDensity(HWND window);
