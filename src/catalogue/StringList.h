// Filling the string list view 1007 with every string of the target's string
// tables: one row per non-empty string, sorted by identifier; in a list that
// keeps its rows, the identifier is the row's parameter and the text subitem 1.
#pragma once

#include <windows.h>

#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"
#include "catalogue/StringRows.h"

// Sets up the columns, fills, fits the height, sorts and selects row 0. header
// receives the list view's header control (null when none was found). 0, or -1
// when a row could not be added (already reported, owner dialog).
int FillStringList(HWND dialog, const TextBuffer& text, const ResourceSource& source, HWND* header);

// The same for a virtual list (LVS_OWNERDATA): rows receives the identifiers
// and the list only their count, so that no text is read or measured before
// the sheet answers. A list that keeps rows of its own after all (a control
// older than virtual lists) is filled as above, with no rows in rows.
int FillStringList(HWND dialog, const TextBuffer& text, const StringRowArray& rows,
                   const ResourceSource& source, HWND* header);

// The rows filled anew from the file as it is now, in the list set up by
// FillStringList: its columns and header stay, no row is selected by this.
// 0, or -1 when memory ran out or a row could not be added (reported).
int RefillStringRows(HWND dialog, const TextBuffer& text, const StringRowArray& rows,
                     const ResourceSource& source);
