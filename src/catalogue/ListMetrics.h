// What the picture lists are laid out and pictured with: the system's icon and
// cursor sizes and the height of the dialog's font. The page reads them and
// hands them to the builders and to its drawing; the rules that turn them into
// rows and columns live here alone.
#pragma once

#include <cstdint>

struct ListMetrics {
    int iconWidth;
    int iconHeight;
    int cursorWidth;
    int cursorHeight;
    int textHeight;
};

// Row height of a picture list's entries, as a list box takes it (1 to 255):
// a group's picture and its name, or a picture cell and three lines of text.
int PictureRowHeight(int32_t kind, const ListMetrics& metrics);

// Column width of a picture list's entries.
int PictureColumnWidth(int32_t kind, const ListMetrics& metrics);
