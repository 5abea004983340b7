// The entries' pictures alive on the page: each made the first time its entry
// is drawn and kept for later paints, at most kMaxLivePictures at once; making
// one more frees the one drawn longest ago, which is made again if its entry
// comes back into view.
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// The picture to draw for record, of kind's store, in list: made now when it
// was not yet. 0 when it cannot be made: from a resource that is damaged,
// remembered and not tried again; from a file that cannot be opened, tried
// again at a later paint; and always while the file is known to have changed.
// Nothing is reported: painting never shows a message.
uintptr_t PictureToDraw(PageState* page, HWND list, int32_t kind, uint8_t* record);

// Forgets the live pictures after the lists' pictures were freed with them.
void ForgetLivePictures(PageState* page);
