// Entries of the icon and cursor lists: one per group, pictured by the image
// the platform would choose for the system icon or cursor size.
#include "catalogue/GroupPicture.h"
#include "catalogue/ListFill.h"
#include "formats/ResourceRecords.h"

namespace {

int AddGroupItem(ResName name, const uint8_t* group, uint32_t size, bool cursor,
                 ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    bool outOfMemory = false;
    const ListMetrics& metrics = context->metrics;
    int width = cursor ? metrics.cursorWidth : metrics.iconWidth;
    int height = cursor ? metrics.cursorHeight : metrics.iconHeight;
    HICON picture =
        MakeGroupPicture(*context->source, cursor ? &context->cursorImages : &context->iconImages,
                         group, size, cursor, width, height, &outOfMemory);
    if (outOfMemory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    // The picture went in after BeginRecord: the store has not moved since.
    uint8_t* record = *context->store.block + *context->store.used;
    WritePictureField(record, reinterpret_cast<uintptr_t>(picture));
    return AddRecordToList(context->store, context->list, recordSize);
}

}  // namespace

int AddIconItem(ResName name, const uint8_t* group, uint32_t size, ListFillContext* context) {
    return AddGroupItem(name, group, size, false, context);
}

int AddCursorItem(ResName name, const uint8_t* group, uint32_t size, ListFillContext* context) {
    return AddGroupItem(name, group, size, true, context);
}
