// Record append and release for the page's picture stores.
#include "catalogue/RecordStore.h"

#include <cstring>

#include "catalogue/ResourceRecords.h"

bool PictureStoreOf(PageState* page, int32_t kind, PictureStore* store) {
    switch (kind) {
        case kKindIcon:
            *store = {&page->iconStore, &page->iconStoreUsed, kIconStoreSlack, kIconFixedPart};
            return true;
        case kKindBitmap:
            *store = {&page->bitmapStore, &page->bitmapStoreUsed, kBitmapStoreSlack,
                      kBitmapFixedPart};
            return true;
        case kKindCursor:
            *store = {&page->cursorStore, &page->cursorStoreUsed, kCursorStoreSlack,
                      kCursorFixedPart};
            return true;
        case kKindAvi:
            *store = {&page->aviStore, &page->aviStoreUsed, kAviStoreSlack, kAviFixedPart};
            return true;
        default:
            return false;
    }
}

int GrowTextBuffer(PageState* page, int32_t bytes) {
    if (!TextBufferMustGrow(page->textBufferSize, bytes))
        return 0;
    HGLOBAL grown = GlobalReAlloc(page->textBuffer, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE);
    if (grown == nullptr)
        return -1;
    page->textBuffer = static_cast<char*>(grown);
    page->textBufferSize = bytes;
    return 0;
}

uint8_t* BeginRecord(PageState* page, int32_t kind, ResName name, uint32_t* recordSize) {
    PictureStore store;
    if (!PictureStoreOf(page, kind, &store)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsIntResName(name) && GrowTextBuffer(page, TextNameBufferBytes(name)) != 0) {
        return nullptr;
    }
    uint32_t size = store.fixedPart + ResNameSlotSize(name);
    int64_t grownSize = StoreGrowthSize(GlobalSize(*store.block), *store.used, size, store.slack);
    if (grownSize < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (grownSize > 0) {
        HGLOBAL grown = GlobalReAlloc(*store.block, static_cast<SIZE_T>(grownSize), GMEM_MOVEABLE);
        if (grown == nullptr)
            return nullptr;
        *store.block = static_cast<uint8_t*>(grown);
    }
    uint8_t* record = *store.block + *store.used;
    memset(record, 0, store.fixedPart);
    StoreResName(record + store.fixedPart, name);
    *recordSize = size;
    return record;
}

namespace {

void DestroyPicture(int32_t kind, uintptr_t handle) {
    if (handle == 0)
        return;
    if (kind == kKindIcon || kind == kKindCursor) {
        DestroyIcon(reinterpret_cast<HICON>(handle));
    } else {
        DeleteObject(reinterpret_cast<HGDIOBJ>(handle));
    }
}

}  // namespace

int AddRecordToList(PageState* page, int32_t kind, HWND list, uint32_t recordSize) {
    PictureStore store;
    if (!PictureStoreOf(page, kind, &store)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    uint32_t offset = static_cast<uint32_t>(*store.used);
    LRESULT result = SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(ItemValueOf(offset)));
    if (result == LB_ERRSPACE) {
        // Nothing will ever reach this record through the list: its picture
        // would be lost, so it goes now.
        uint8_t* record = *store.block + offset;
        DestroyPicture(kind, ReadPictureField(record));
        WritePictureField(record, 0);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    *store.used += static_cast<int32_t>(recordSize);
    return 0;
}

void FreeListPictures(PageState* page, int32_t kind, HWND list) {
    PictureStore store;
    if (!PictureStoreOf(page, kind, &store) || *store.block == nullptr)
        return;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT value = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (value == LB_ERR)
            continue;
        uint32_t offset = ItemOffsetOf(static_cast<uintptr_t>(value));
        // Only records that were counted: an item outside the store is not ours.
        if (offset > static_cast<uint32_t>(*store.used) ||
            store.fixedPart > static_cast<uint32_t>(*store.used) - offset) {
            continue;
        }
        uint8_t* record = *store.block + offset;
        DestroyPicture(kind, ReadPictureField(record));
        WritePictureField(record, 0);
    }
}

void FreeGroupMembers(PageState* page) {
    GroupMember* members = reinterpret_cast<GroupMember*>(page->members);
    for (int32_t i = 0; members != nullptr && i < page->memberCount; ++i) {
        if (members[i].imageCopy != nullptr)
            GlobalFree(members[i].imageCopy);
        members[i].imageCopy = nullptr;
    }
    page->memberCount = 0;
}
