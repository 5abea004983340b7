// Where the parts of a picture list's entry lie, at a screen density. The
// 96-dpi layout: a name line of text height + 6 one pixel below the item's
// top; under it, one pixel apart, either a group's picture 8 pixels in, or a
// bitmap's or clip's 80 x 80 box 5 pixels in with a size line (text height
// + 4) and a second line (text height + 6) below it. Every margin and the box
// scale with the density; the text height is the dialog font's, which the
// system has scaled already. Offsets are from the item's top-left corner.
#pragma once

#include <cstdint>

// List boxes refuse item heights above this.
const int32_t kMaxItemHeight = 255;

// An icon or cursor group's entry.
struct GroupCell {
    int32_t inset;  // of the name line, left and right
    int32_t nameTop;
    int32_t nameBottom;
    int32_t pictureLeft;
    int32_t pictureTop;
    int32_t rowHeight;    // 1 to kMaxItemHeight
    int32_t columnWidth;  // 1 to 32767 (LB_SETCOLUMNWIDTH carries 16 bits)
};

// pictureWidth x pictureHeight: the system's icon or cursor size.
GroupCell LayOutGroupCell(int64_t pictureWidth, int64_t pictureHeight, int64_t textHeight,
                          int64_t density);

// A bitmap's or clip's entry.
struct ThumbnailCell {
    int32_t inset;  // of the text lines, left and right
    int32_t nameTop;
    int32_t nameBottom;
    int32_t boxLeft;
    int32_t boxTop;
    int32_t boxSide;  // the square every thumbnail fits
    int32_t sizeTop;
    int32_t sizeBottom;
    int32_t secondBottom;
    int32_t rowHeight;
    int32_t columnWidth;
};

// Where the scaled entry would be taller than a list box allows (200% with
// the usual fonts), the vertical margins keep their 96-dpi sizes and the box
// gives up the rest, so that every line stays inside the item.
ThumbnailCell LayOutThumbnailCell(int64_t textHeight, int64_t density);

// A group member's entry: its picture at its size times the density, text
// columns padded on the right.
struct MemberCell {
    int32_t pictureLeft;
    int32_t pictureTop;
    int32_t columnPad;  // added to the depth and hot-spot columns' text
    int32_t pictureWidth;
    int32_t pictureHeight;
    int32_t rowHeight;  // 1 to kMaxItemHeight
};

MemberCell LayOutMemberCell(int64_t memberWidth, int64_t memberHeight, int64_t textHeight,
                            int64_t density);
