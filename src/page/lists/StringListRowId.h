// Which string a row of the string list 1007 shows, whichever way the list
// holds its rows: asked by the commands that read rows (copy, save) as well as
// by the list's own drawing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// The identifier of a row of 1007: from the page's rows when the list is
// virtual, else the row's own parameter. False when there is no such row.
bool ListStringRowId(const PageState* page, HWND list, LRESULT row, uint16_t* id);

// Room for a row's identifier as text, terminator included.
const int kRowIdTextSize = 8;

// The identifier as the row draws it, "57347": the text of the row's first
// column, which a screen reader speaks as the row's name and the list's own
// typing search matches. Returns text.
const char* RowIdText(uint16_t id, char (&text)[kRowIdTextSize]);

// LVN_ODFINDITEMA or LVN_ODFINDITEMW asking for a row by text (the list's
// typing search): the first row from the start row on (then from the top,
// when asked to wrap) whose identifier's text starts with the typed one
// (equals it, unless a partial match is asked for); -1 when none does or the
// question is for something else.
int FindRowByIdText(const PageState* page, const NMHDR* header);
