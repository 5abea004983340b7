#include "page/state/PageStores.h"

bool PictureStoreOfPage(PageState* page, int32_t kind, PictureStore* store) {
    switch (kind) {
        case kKindIcon:
            return MakePictureStore(kind, &page->iconStore, &page->iconStoreUsed, store);
        case kKindBitmap:
            return MakePictureStore(kind, &page->bitmapStore, &page->bitmapStoreUsed, store);
        case kKindCursor:
            return MakePictureStore(kind, &page->cursorStore, &page->cursorStoreUsed, store);
        case kKindAvi:
            return MakePictureStore(kind, &page->aviStore, &page->aviStoreUsed, store);
        default:
            return false;
    }
}
