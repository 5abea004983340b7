// The records a list's walk counted, given to the list at their final places:
// the list's order is worked out once in memory with the comparison the list
// would ask for, so that a sorted list sends no comparison message per entry.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"

// Negative, 0 or positive as record placed goes before, ties with or goes
// after record added: the page's order of names (WM_COMPAREITEM).
typedef int (*RecordOrder)(const PictureStore& store, const uint8_t* placed, const uint8_t* added);

// Puts the store's records from offset from on into list, in the order its
// sorted style would give them when added one by one. 0, or -1 with the
// thread's last error set when the list refused an entry (the entries before
// it stay).
int PlaceRecords(HWND list, const PictureStore& store, uint32_t from, RecordOrder order);
