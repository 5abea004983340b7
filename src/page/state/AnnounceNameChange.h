// The word to a listening screen reader that a control of the page now has
// another name, shared by whatever changes what a control does.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// Raised only where a screen reader has asked the page for an object already:
// without one, nobody listens and oleacc stays unloaded.
void AnnounceNameChange(HWND control, const PageState* page);
