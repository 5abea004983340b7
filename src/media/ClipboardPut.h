// Handing prepared blocks to the clipboard. A copy prepares every block first
// and only then opens the clipboard, so that the user's clipboard is emptied
// only when something replaces it.
#pragma once

#include <windows.h>

struct ClipboardBlock {
    UINT format;
    HGLOBAL block;  // null: nothing of this format
};

// A block as the clipboard takes it (GMEM_MOVEABLE | GMEM_DDESHARE, zeroed), or
// null with the thread's last error set to a real code.
HGLOBAL AllocateClipboardBlock(SIZE_T bytes);

// Opens the clipboard for owner, empties it and sets every non-null block, in
// one opening; nothing happens when every block is null. Every block the
// clipboard did not take is freed, and every entry's block is null afterwards.
// Failures of the clipboard itself are not reported: another program holds it.
void PutOnClipboard(HWND owner, ClipboardBlock* blocks, int count);
