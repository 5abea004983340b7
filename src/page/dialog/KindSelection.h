// Choosing a kind in the drop-down and an entry in a picture list: which list
// is shown, the controls around it, the entry's name in 1002, the group's
// members and the copy button's state.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// WM_COMMAND of the page.
void OnPageCommand(HWND dialog, int controlId, int code, HWND control);

// Remembers the member list's selection for the shown group kind (icon or
// cursor) by its image ID: -1 when none is selected.
void RememberMemberSelection(HWND dialog, PageState* page);

// Empties the member list and frees the members' image copies.
void EmptyMemberList(HWND dialog, PageState* page);
