// The picture lists built again after a change of the system's settings or
// display, with the selections of the lists and of the member list kept.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// Rebuilds the four picture lists. A display change always rebuilds (the
// thumbnails are device bitmaps); a settings change only when a size the lists
// are drawn with changed. Does nothing while the page starts, after a start
// that failed, or inside another rebuild.
void RebuildPictureLists(HWND dialog, PageState* page, bool displayChanged);

// Fills the picture lists, the string rows and the member list anew from the
// file as it is now, after a change of the file was noticed: the kind stays,
// and each list's selection stays on the entry of the same name or string ID
// where the file still has it, else on its first entry.
void RebuildForChangedTarget(HWND dialog, PageState* page);
