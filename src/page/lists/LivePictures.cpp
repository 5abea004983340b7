#include "page/lists/LivePictures.h"

#include "catalogue/EntryPictures.h"
#include "formats/executables/ResourceRecords.h"
#include "page/lists/PaintTarget.h"
#include "page/state/PageStores.h"

namespace {

// Frees the picture drawn longest ago and gives its slot.
LivePicture* FreeOldestPicture(PageState* page) {
    LivePicture* oldest = &page->livePictures[0];
    for (int32_t i = 1; i < page->livePictureCount; ++i) {
        if (page->livePictures[i].lastDrawn < oldest->lastDrawn)
            oldest = &page->livePictures[i];
    }
    PictureStore store;
    if (PictureStoreOfPage(page, oldest->kind, &store) && *store.block != nullptr)
        FreeRecordPicture(oldest->kind, *store.block + oldest->offset);
    return oldest;
}

// The picture made from the file; *opened false when the file could not be
// opened (locked, gone for now), which a later paint tries again.
uintptr_t MakePicture(PageState* page, HWND list, const PictureStore& store, uint8_t* record,
                      bool* opened) {
    TargetForNow target(page);
    *opened = target.opened();
    if (!*opened)
        return 0;
    return MakeEntryPicture(target.source(), store, record, ModuleListMetrics(), list);
}

}  // namespace

uintptr_t PictureToDraw(PageState* page, HWND list, int32_t kind, uint8_t* record) {
    PictureStore store;
    uintptr_t picture = ReadPictureField(record);
    // A picture made from the file before it changed is not the file's now.
    if (picture == kPictureUnavailable || page == nullptr || page->targetChanged ||
        !PictureStoreOfPage(page, kind, &store) || *store.block == nullptr ||
        record < *store.block) {
        return 0;
    }
    const uint32_t offset = static_cast<uint32_t>(record - *store.block);
    ++page->drawClock;
    if (picture != 0) {
        for (int32_t i = 0; i < page->livePictureCount; ++i) {
            LivePicture& live = page->livePictures[i];
            if (live.kind == kind && live.offset == offset)
                live.lastDrawn = page->drawClock;
        }
        return picture;
    }
    bool opened = false;
    picture = MakePicture(page, list, store, record, &opened);
    if (picture == 0) {
        // Only a resource that is itself damaged stays without a picture.
        if (opened)
            WritePictureField(record, kPictureUnavailable);
        return 0;
    }
    LivePicture* slot = page->livePictureCount < kMaxLivePictures
                            ? &page->livePictures[page->livePictureCount++]
                            : FreeOldestPicture(page);
    *slot = LivePicture{kind, offset, page->drawClock};
    WritePictureField(record, picture);
    return picture;
}

void ForgetLivePictures(PageState* page) {
    page->livePictureCount = 0;
}
