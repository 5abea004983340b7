// Entries of the bitmap list: the bitmap's own size and depth. Its thumbnail
// is made when the entry is first drawn; one that cannot be drawn as it stands
// is marked so now.
#include "catalogue/ListFill.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"

int AddBitmapItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    BitmapLayout layout;
    ReadBitmapLayout(data, size, &layout);
    uint8_t* record = *context->store.block + *context->store.used;
    WritePictureField(record, layout.drawable ? 0 : kPictureUnavailable);
    WriteRecordI32(record, kBitmapWidthOffset, layout.width);
    WriteRecordI32(record, kBitmapHeightOffset, layout.height);
    WriteRecordI32(record, kBitmapBitsPerPixelOffset, layout.bitCount);
    return CountRecord(context->store, recordSize);
}
