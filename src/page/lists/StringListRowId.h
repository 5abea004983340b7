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
