// What the picture lists are laid out and pictured with: the system's icon and
// cursor sizes, the height of the dialog's font and the screen's density. The
// page reads them and hands them to the builders and to its drawing; the rules
// that turn them into rows and columns live here alone.
#pragma once

#include <cstdint>

#include "formats/images/EntryCells.h"

struct ListMetrics {
    int iconWidth;
    int iconHeight;
    int cursorWidth;
    int cursorHeight;
    int textHeight;
    int density;  // dots per inch the dialog's font was scaled for; 0 reads as 96
};

// Row height of a picture list's entries, as a list box takes it (1 to 255):
// a group's picture and its name, or a picture cell and three lines of text.
int PictureRowHeight(int32_t kind, const ListMetrics& metrics);

// Column width of a picture list's entries.
int PictureColumnWidth(int32_t kind, const ListMetrics& metrics);

// Where the parts of an icon's or cursor's entry lie.
GroupCell GroupCellOf(int32_t kind, const ListMetrics& metrics);

// Where the parts of a bitmap's or clip's entry lie; its box is the one the
// thumbnails are made for.
ThumbnailCell ThumbnailCellOf(const ListMetrics& metrics);
