// The save command: the selected entry of a list as a file the user names,
// written byte for byte from the target (an icon or cursor group as an .ico or
// .cur file, one member of the member list alone, a bitmap as a .bmp file, a
// clip as its own .avi bytes, the selected string rows as text).
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// True when listId has a selection the command can save from.
bool SaveAvailable(HWND dialog, int listId);

// Saves listId's selection: asks for the name, refuses the target itself and
// writes the file so that nothing is lost. Failures are shown once, after the
// work; an entry whose bytes cannot be read saves nothing.
void SaveSelection(HWND dialog, PageState* page, int listId);
