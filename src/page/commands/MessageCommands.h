// Copying and saving the selected rows of the message list: the texts as the
// file holds them, decoded to UTF-16, each row ending with its own line break
// (one is added only to a row without).
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// The selected rows' texts, with "ID<TAB>" before each when withIds, in a
// clipboard block (GMEM_MOVEABLE) of UTF-16 ending in a NUL; *units counts
// them without it. Null when nothing is selected or a row cannot be read: then
// the reason is reported once (owner dialog) unless nothing was selected.
HGLOBAL SelectedMessagesText(HWND dialog, PageState* page, bool withIds, SIZE_T* units);

// The selected rows to the clipboard as CF_UNICODETEXT and CF_TEXT.
void CopyMessageRows(HWND dialog, PageState* page);
