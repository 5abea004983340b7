// The pictures of the picture lists' entries, made when an entry is first
// drawn rather than while the lists are built: a list may hold thousands of
// entries that the user never scrolls to.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ListMetrics.h"
#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"

// The picture of record (of store's kind) from the open target: a group's
// icon at the metrics' size, a bitmap's thumbnail, a clip's first frame at the
// record's thumbnail size, made against list's device context. The handle
// belongs to the record; 0 when it cannot be made (nothing is reported).
uintptr_t MakeEntryPicture(const ResourceSource& source, const PictureStore& store,
                           const uint8_t* record, const ListMetrics& metrics, HWND list);
