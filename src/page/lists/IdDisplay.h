// The identifier display 1002: the selected entry's name or number in a
// sunken box, or on the parent's themed background with a group-box frame.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// With the page's state, whose buffer holds long names; null: a local one.
void DrawIdDisplay(const PageState* page, const DRAWITEMSTRUCT* item);
