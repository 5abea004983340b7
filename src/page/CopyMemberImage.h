// A group member's image drawn over white, as a block for the clipboard.
#pragma once

#include <windows.h>

#include "catalogue/ResourceRecords.h"

// The member's image copy over white as a packed DIB (CF_DIB), or null. An
// image that cannot be copied (a PNG stream, bytes that do not hold what the
// header describes) gives null silently; a failed allocation or drawing call
// is reported on dialog.
HGLOBAL MemberImageBlock(HWND dialog, const GroupMember& member);
