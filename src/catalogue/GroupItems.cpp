// Entries of the icon and cursor lists: one per group. The picture, the image
// the platform would choose for the system icon or cursor size, is made when
// the entry is first drawn.
#include "catalogue/ListFill.h"
#include "formats/executables/ResourceRecords.h"

namespace {

int AddGroupItem(ResName name, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    return CountRecord(context->store, recordSize);
}

}  // namespace

int AddIconItem(ResName name, const uint8_t*, uint32_t, ListFillContext* context) {
    return AddGroupItem(name, context);
}

int AddCursorItem(ResName name, const uint8_t*, uint32_t, ListFillContext* context) {
    return AddGroupItem(name, context);
}
