// Where a playing clip shows inside its entry of list 1008, and its frame
// painted while the entry is drawn: the drawing and the player share the cell.
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// The record's thumbnail size when it has a picture that fits the entry's cell.
bool ThumbnailOf(const uint8_t* record, int* width, int* height);

// The video covers the entry's thumbnail exactly: the same cell as the drawing.
RECT VideoRect(const RECT& item, int width, int height);

// Paints the playing clip's current frame while its entry is drawn and takes
// the video rectangle out of the item's clip region. False when nothing was
// done (the caller then draws the thumbnail).
bool RepaintPlayingClip(const PageState* page, HDC dc, const RECT& item, const uint8_t* record);
