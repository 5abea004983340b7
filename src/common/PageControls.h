// The controls of the page's dialog template, by number: the resource script
// places them under these numbers, the code and the tests find them by them.
// The resource compiler reads only the macros.
#pragma once

#define PAGE_KIND_DROP_DOWN 1000
#define PAGE_ID_LABEL 1001
#define PAGE_ID_DISPLAY 1002
#define PAGE_LIST_CAPTION 1003
#define PAGE_ICON_LIST 1004
#define PAGE_BITMAP_LIST 1005
#define PAGE_CURSOR_LIST 1006
#define PAGE_STRING_LIST 1007
#define PAGE_AVI_LIST 1008
#define PAGE_MEMBER_CAPTION 1009
#define PAGE_MEMBER_LIST 1010
#define PAGE_HOT_SPOT_CAPTION 1011
#define PAGE_PLAY_BUTTON 1012
#define PAGE_COPY_BUTTON 1013
#define PAGE_MESSAGE_LIST 1014
#define PAGE_LANGUAGE_LABEL 1015
#define PAGE_LANGUAGE_DROP_DOWN 1016

#ifndef RC_INVOKED
enum PageControl {
    kKindDropDown = PAGE_KIND_DROP_DOWN,
    kIdLabel = PAGE_ID_LABEL,
    kIdDisplay = PAGE_ID_DISPLAY,
    kListCaption = PAGE_LIST_CAPTION,
    kIconList = PAGE_ICON_LIST,
    kBitmapList = PAGE_BITMAP_LIST,
    kCursorList = PAGE_CURSOR_LIST,
    kStringList = PAGE_STRING_LIST,
    kAviList = PAGE_AVI_LIST,
    kMemberCaption = PAGE_MEMBER_CAPTION,
    kMemberList = PAGE_MEMBER_LIST,
    kHotSpotCaption = PAGE_HOT_SPOT_CAPTION,
    kPlayButton = PAGE_PLAY_BUTTON,
    kCopyButton = PAGE_COPY_BUTTON,
    kMessageList = PAGE_MESSAGE_LIST,
    kLanguageLabel = PAGE_LANGUAGE_LABEL,
    kLanguageDropDown = PAGE_LANGUAGE_DROP_DOWN
};
#endif
