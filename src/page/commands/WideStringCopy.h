// The UTF-16 form of a copy of string rows, beside the narrow one, where the
// rows are a 32-bit file's and the system takes texts in their own letters.
#pragma once

#include <windows.h>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// The selected rows' texts as stored, each with CR LF, in a clipboard block
// ending in a NUL; null where there is no such form (a 16-bit file, an ANSI
// system, a list that keeps its own rows) or a row cannot be read: the system
// then makes it from the narrow one.
HGLOBAL SelectedStringsWide(HWND list, PageState* page, const ResourceSource& source);
