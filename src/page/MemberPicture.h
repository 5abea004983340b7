// The picture of one group member, composed at every draw from its image copy
// over the item's background. Failures draw no picture and say nothing.
#pragma once

#include <windows.h>

#include "catalogue/ResourceRecords.h"

// Draws member's image copy with its top-left corner at (x, y) of dc.
void DrawMemberPicture(HDC dc, int x, int y, const GroupMember& member, COLORREF background);
