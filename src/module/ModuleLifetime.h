// Load and unload of the library, and the hidden multimedia host window class.
#pragma once

#include <windows.h>

// The attach and detach steps of the entry point, callable on their own so that
// tests can run them against a module handle of their choosing.
BOOL AttachModule(HINSTANCE moduleHandle);
void DetachModule();

// Window procedure of the hidden multimedia host window class.
LRESULT CALLBACK MciHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
