// The records behind the items of the page's lists, found only through values
// that name a counted record: anything else answers null.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"
#include "formats/executables/ResourceRecords.h"
#include "page/state/PageState.h"

// The store behind a picture list (1004, 1005, 1006, 1008); false for any
// other list or a page without state.
bool PictureStoreOfList(PageState* page, int listId, PictureStore* store);

// The record of a picture list's item (lists 1004, 1005, 1006, 1008) and the
// store it lives in; null for any other list, a page without state or stores,
// or a value outside the store.
uint8_t* PictureRecordOfItem(PageState* page, int listId, uintptr_t itemValue, PictureStore* store);

// The member behind an item of list 1010; null past the members counted (the
// member array counts a member before the list places it).
const GroupMember* MemberOfItem(const PageState* page, uintptr_t itemValue);

// The item value of a list box's selection; false without a selection.
bool SelectedItemValue(HWND dialog, int listId, uintptr_t* value);

// The record behind a picture list's selection, and its store; null without
// one.
uint8_t* SelectedPictureRecord(HWND dialog, PageState* page, int listId, PictureStore* store);

// The member behind the member list's selection, or null.
const GroupMember* SelectedMember(HWND dialog, const PageState* page);
