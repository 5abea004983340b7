// Record append and release for the page's picture stores.
#include "catalogue/RecordStore.h"

#include <cstring>

#include "formats/executables/ResourceRecords.h"

bool MakePictureStore(int32_t kind, uint8_t** block, int32_t* used, PictureStore* store) {
    switch (kind) {
        case kKindIcon:
            *store = {kind, block, used, kIconStoreSlack, kIconFixedPart};
            return true;
        case kKindBitmap:
            *store = {kind, block, used, kBitmapStoreSlack, kBitmapFixedPart};
            return true;
        case kKindCursor:
            *store = {kind, block, used, kCursorStoreSlack, kCursorFixedPart};
            return true;
        case kKindAvi:
            *store = {kind, block, used, kAviStoreSlack, kAviFixedPart};
            return true;
        default:
            return false;
    }
}

int GrowTextBuffer(const TextBuffer& text, int32_t bytes) {
    if (!TextBufferMustGrow(*text.size, bytes))
        return 0;
    HGLOBAL grown = GlobalReAlloc(*text.block, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE);
    if (grown == nullptr)
        return -1;
    *text.block = static_cast<char*>(grown);
    *text.size = bytes;
    return 0;
}

uint8_t* BeginRecord(const PictureStore& store, const TextBuffer& text, ResName name,
                     uint32_t* recordSize) {
    if (!IsIntResName(name) && GrowTextBuffer(text, TextNameBufferBytes(name)) != 0) {
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

void FreeRecordPicture(int32_t kind, uint8_t* record) {
    const uintptr_t handle = ReadPictureField(record);
    if (!PictureMade(handle))
        return;
    if (kind == kKindIcon || kind == kKindCursor) {
        DestroyIcon(reinterpret_cast<HICON>(handle));
    } else {
        DeleteObject(reinterpret_cast<HGDIOBJ>(handle));
    }
    WritePictureField(record, 0);
}

int AddRecordToList(const PictureStore& store, HWND list, uint32_t recordSize) {
    uint32_t offset = static_cast<uint32_t>(*store.used);
    // Counted before the list sees it: a sorted list compares the new item with
    // the others while it inserts, and only counted records are read.
    *store.used += static_cast<int32_t>(recordSize);
    LRESULT result = SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(ItemValueOf(offset)));
    if (result == LB_ERRSPACE || result == LB_ERR) {
        *store.used = static_cast<int32_t>(offset);
        // Nothing will ever reach this record through the list: its picture
        // would be lost, so it goes now.
        FreeRecordPicture(store.kind, *store.block + offset);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    return 0;
}

int CountRecord(const PictureStore& store, uint32_t recordSize) {
    *store.used += static_cast<int32_t>(recordSize);
    return 0;
}

uint32_t RecordSizeAt(const PictureStore& store, uint32_t offset) {
    return store.fixedPart + ResNameSlotSize(ReadResName(*store.block + offset + store.fixedPart));
}

uint8_t* RecordOfItem(const PictureStore& store, uintptr_t itemValue) {
    if (*store.block == nullptr)
        return nullptr;
    uint32_t offset = ItemOffsetOf(itemValue);
    // Only records that were counted: an item outside the store is not ours.
    uint32_t used = static_cast<uint32_t>(*store.used);
    if (offset > used || store.fixedPart + 4 > used - offset)
        return nullptr;
    return *store.block + offset;
}

void FreeListPictures(const PictureStore& store, HWND list) {
    if (*store.block == nullptr)
        return;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = count - 1; i >= 0; --i) {
        LRESULT value = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (value == LB_ERR)
            continue;
        uint8_t* record = RecordOfItem(store, static_cast<uintptr_t>(value));
        if (record == nullptr)
            continue;
        FreeRecordPicture(store.kind, record);
    }
}

void FreeGroupMembers(const MemberArray& array) {
    GroupMember* members = reinterpret_cast<GroupMember*>(*array.block);
    for (int32_t i = 0; members != nullptr && i < *array.count; ++i) {
        if (members[i].imageCopy != nullptr)
            GlobalFree(members[i].imageCopy);
        members[i].imageCopy = nullptr;
    }
    *array.count = 0;
}
