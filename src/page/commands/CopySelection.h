// Copying what the current kind's selection designates to the clipboard.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

void CopySelection(HWND dialog, PageState* page);
