// The play and stop glyphs of button 1012 (library bitmaps 101 and 102, 9 x 9
// at 96 dpi), made at the screen's density with sharp pixels.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// Loads both glyphs at the module's density into the page's state.
void LoadPlayGlyphs(PageState* page);

// Makes both glyphs again after a change of density and gives the button the
// new one it shows; the old ones are freed. Glyphs that cannot be made leave
// the old ones in place.
void ReloadPlayGlyphs(HWND dialog, PageState* page);
