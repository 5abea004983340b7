// The picture of one group member, composed at every draw from its image copy
// over the item's background. Failures draw no picture and say nothing.
#pragma once

#include <windows.h>

#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"

// Draws member's image copy with its top-left corner at (x, y) of dc, each of
// its pixels density / 96 pixels wide and high (nearest neighbour).
void DrawMemberPicture(HDC dc, int x, int y, const GroupMember& member, int density,
                       COLORREF background);

// The platform's icon of a PNG member at its own size, or null where the
// platform cannot read one (systems before Vista) or the stream is broken.
// The caller destroys it.
HICON CreatePngMemberIcon(const uint8_t* bytes, size_t size, const MemberImageLayout& layout);
