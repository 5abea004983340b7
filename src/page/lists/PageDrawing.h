// Measuring, drawing and sorting the page's owner-drawn controls: the four
// picture lists, the member list, the identifier display 1002 and the string
// list view's rows. Painting never reports and leaves nothing selected.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"
#include "formats/executables/ResourceRecords.h"

// WM_MEASUREITEM: sets itemHeight (at most 255) for the page's controls.
void MeasurePageItem(HWND dialog, MEASUREITEMSTRUCT* item);

// WM_DRAWITEM for every control type of the page.
void DrawPageItem(HWND dialog, const DRAWITEMSTRUCT* item);

// WM_COMPAREITEM: -1, 0 or 1.
int ComparePageItems(HWND dialog, const COMPAREITEMSTRUCT* item);

// The same order of two records of a picture store, for the lists' fill.
int OrderRecordNames(const PictureStore& store, const uint8_t* placed, const uint8_t* added);
int OrderMembers(const GroupMember& placed, const GroupMember& added);
