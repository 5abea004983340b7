// The lists filled again, through one path, after a change of the file or of
// the system's settings or display: the file is opened first and its identity
// read in that opening, the selections of the lists and of the member list are
// kept by name, string ID and image ID, and a file that does not open leaves
// the lists' entries as they are until the next paint or command asks again.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// Refills the lists for the display's sizes. A display change always does (the
// thumbnails are device bitmaps); a settings change only when a size the lists
// are drawn with changed. A file that changed meanwhile is taken up as well,
// string rows included. Does nothing while the page starts or after a start
// that failed; inside another fill it waits for the next paint or command.
void RebuildPictureLists(HWND dialog, PageState* page, bool displayChanged);

// The posted refill (kRebuildForChangedTarget): fills the picture lists, the
// string rows and the member list anew from the file as it is now when a
// change of the file was noticed or a refill for new sizes waits; the kind
// stays, and each list's selection stays on the entry of the same name, string
// ID or image ID where the file still has it, else on its first entry.
void RebuildForChangedTarget(HWND dialog, PageState* page);
