// The controls of the page's dialog template, by number.
#pragma once

enum PageControl {
    kKindDropDown = 1000,
    kIdLabel = 1001,
    kIdDisplay = 1002,
    kListCaption = 1003,
    kIconList = 1004,
    kBitmapList = 1005,
    kCursorList = 1006,
    kStringList = 1007,
    kAviList = 1008,
    kMemberCaption = 1009,
    kMemberList = 1010,
    kHotSpotCaption = 1011,
    kPlayButton = 1012,
    kCopyButton = 1013
};
