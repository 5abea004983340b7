// Replacement window procedures on the page's controls. The previous procedure
// is kept in the control's own GWLP_USERDATA slot.
#pragma once

#include <windows.h>

// Installs hook as control's window procedure. False when the control is
// missing or the procedure could not be replaced.
bool HookControl(HWND control, WNDPROC hook);

// Gives control its previous procedure back, if it has a hook.
void UnhookControl(HWND control);

// Passes a message the hook does not consume on to the previous procedure.
LRESULT CallPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
