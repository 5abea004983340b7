// A group member's image drawn over white, as a block for the clipboard.
#pragma once

#include <windows.h>

#include "formats/executables/ResourceRecords.h"

// The member's image copy over white as a packed DIB (CF_DIB), or null. An
// image that cannot be copied (bytes that do not hold what the header
// describes, a PNG stream the platform cannot draw) gives null and failure 0;
// a failed allocation or drawing call gives null and its system error.
// Nothing is reported here: the caller reports once everything is released.
HGLOBAL MemberImageBlock(HWND dialog, const GroupMember& member, DWORD* failure);

// True when MemberImageBlock can make a block of the member.
bool MemberIsCopyable(const GroupMember& member);
