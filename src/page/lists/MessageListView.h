// The message list 1014: a virtual list of one row per message, its ID and
// its text, read from the target only when a row is drawn or asked for. Rows
// draw in their own letters; control characters draw as C escapes, and the
// line break that ends every message is not drawn.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "catalogue/MessageRows.h"
#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"
#include "page/state/PageStores.h"

// Reads the rows from source (null: the file is gone, no rows), sets the
// list's columns the first time and its count, selects the first row, and
// lists the kind in the drop-down exactly while there are rows. 0, or -1 when
// memory ran out (reported).
int FillMessageList(HWND dialog, PageState* page, const ResourceSource* source);

// Lists the kind in the drop-down where the file holds message tables, before
// their rows are read (the rows come when the list is first shown).
void ListMessageKindOfTables(HWND dialog, const ResourceSource& source);

// WM_DRAWITEM of 1014.
void DrawMessageRow(PageState* page, const DRAWITEMSTRUCT* item);

// WM_NOTIFY from 1014; the dialog procedure's result.
INT_PTR MessageListNotify(HWND dialog, const NMHDR* header);

// LVM_GETITEMTEXTA sent to 1014, answered by the page itself: the list's own
// conversion of the wide answer leaves a short buffer without its end and
// says it holds more than it does. False when the page does not answer it.
bool GetNarrowMessageText(PageState* page, WPARAM row, LVITEMA* item, LRESULT* result);

// The text of a row with its own line break, as copies and saves take it,
// from an open source; null when it cannot be read (last error set).
const wchar_t* MessageRowFullText(PageState* page, const ResourceSource& source, int32_t row,
                                  int32_t* units);

// The ID of a row as the list shows it; false when there is no such row.
bool MessageRowIdText(PageState* page, int32_t row, char (&text)[12]);
