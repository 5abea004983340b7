// The member images of one icon or cursor group, listed in the member list
// 1010 with a private copy of each image for drawing and copying.
#pragma once

#include <windows.h>

#include "catalogue/RecordStore.h"
#include "common/TargetPath.h"
#include "formats/executables/ResourceRecords.h"

// Negative, 0 or positive as member placed goes before, ties with or goes
// after member added in the member list (the page's WM_COMPAREITEM order).
typedef int (*MemberOrder)(const GroupMember& placed, const GroupMember& added);

// Opens the target at path, lists the members of group name (an icon group,
// or a cursor group when cursor) in list 1010 of dialog, in order as the
// list's sorted style would place them, and selects the member of image
// imageId (the first when it is below 0 or not in the group). The member list
// must be empty and the member count 0. The target is closed again before
// returning. False when the target did not open, so that nothing was listed.
bool ListGroupMembers(HWND dialog, const TargetPath& path, const MemberArray& members, ResName name,
                      bool cursor, int32_t imageId, MemberOrder order);
