// The lists the page's opening leaves unfilled: each is filled when its kind
// is first shown, or when a screen reader asks the list for its object, from
// the file the other lists came from. The file's identity is compared first;
// a changed file goes through the lists' one refill, and a file that does not
// open leaves the list to its next paint or question.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

enum LateFillResult {
    kLateFillNone,      // the list was filled already, or cannot be filled now
    kLateFillList,      // the list was filled now
    kLateFillRefilled,  // the lists were refilled for a changed file, the kind shown again
};

// Fills kind's list unless it holds the current filling. Does nothing while
// the page starts or refills: that fill decides.
LateFillResult FillKindLate(HWND dialog, PageState* page, int32_t kind);

// The same for a hooked list, before its paint or a screen reader's question;
// a list filled now whose kind is the shown one is shown again, with its
// selection, ID and members.
void FillListLate(HWND list);
