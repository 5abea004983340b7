// The build of the four picture lists (icon groups 1004, bitmaps 1005, cursor
// groups 1006, clips 1008) from an open target, and the walk context that each
// kind's entry builder writes through.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ListMetrics.h"
#include "catalogue/RecordPlaces.h"
#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"

// The page's stores as the build writes them.
struct ResourceListStores {
    PictureStore icon;
    PictureStore bitmap;
    PictureStore cursor;
    PictureStore avi;
    TextBuffer text;
};

// One list's walk.
struct ListFillContext {
    HWND dialog;  // owner of reports
    HWND list;
    PictureStore store;
    TextBuffer text;
    const ResourceSource* source;
    int32_t failed;       // set when memory ran out and the walk stopped
    ListMetrics metrics;  // what the entries' pictures will be drawn with
};

// Entry builders: 0 when the entry's record was counted or skipped, -1 when
// memory ran out (the thread's last error says so; the entry is not counted).
// The list receives the counted records after the walk.
int AddIconItem(ResName name, const uint8_t* group, uint32_t size, ListFillContext* context);
int AddCursorItem(ResName name, const uint8_t* group, uint32_t size, ListFillContext* context);
int AddBitmapItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context);
int AddAviItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context);

// Fills those of the four lists whose bit (1 << kind) is in kinds, in order,
// each in the order given by order (the one a sorted list keeps), sizes each to
// one row of entries and selects max(lastSelection[kind], 0) in each non-empty
// one. 0, or -1 when memory ran out (reported once, owner dialog); the lists
// after the failing one stay empty. A resource that cannot be pictured is listed without a picture.
int FillResourceLists(HWND dialog, const ResourceListStores& stores, const ResourceSource& source,
                      const ListMetrics& metrics, const int32_t lastSelection[kKindCount],
                      RecordOrder order, uint32_t kinds);
