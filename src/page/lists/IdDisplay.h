// The identifier display 1002: the selected entry's name or number in a
// sunken box, or on the parent's themed background with a group-box frame.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// What the display shows and a screen reader hears for it: its window text,
// the entry's name (kept as the name alone, the name the lists' entries are
// spoken by), followed by the entry's language while the page names one.
void ShownIdText(PageState* page, HWND display, char* text, int size);

// With the page's state, whose buffer holds long names; null: a local one.
void DrawIdDisplay(PageState* page, const DRAWITEMSTRUCT* item);
