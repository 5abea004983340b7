// Filling the string list view 1007 with every string of the target's string
// tables: one row per non-empty string, identifier as the row's parameter,
// text as subitem 1, sorted by identifier.
#pragma once

#include <windows.h>

#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"

// Sets up the columns, fills, fits the height, sorts and selects row 0. header
// receives the list view's header control (null when none was found). 0, or -1
// when a row could not be added (already reported, owner dialog).
int FillStringList(HWND dialog, const TextBuffer& text, const ResourceSource& source, HWND* header);
