// The dialog procedure of the resource page.
#pragma once

#include <windows.h>

INT_PTR CALLBACK PageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
