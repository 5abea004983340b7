// The identifier display 1002: the selected entry's name or number in a
// sunken box, or on the parent's themed background with a group-box frame.
#pragma once

#include <windows.h>

void DrawIdDisplay(HWND dialog, const DRAWITEMSTRUCT* item);
