// Entries of the clip list: length and frame size from the clip's own headers,
// so that the list is built without the multimedia device. The thumbnail that
// fits the entry's box (80 x 80 at 96 dpi) is painted by the device when the entry is first drawn;
// a clip whose headers cannot be read is listed with 0 x 0 and length 0, without one.
#include "catalogue/ListFill.h"
#include "formats/clips/ClipHeaders.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"

int AddAviItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    ClipFacts facts = {};
    ReadClipFacts(data, size, &facts);
    ThumbnailSize thumb =
        FitThumbnailAt(facts.frameWidth, facts.frameHeight,
                       ThumbnailCellOf(context->metrics).boxSide, context->metrics.density);
    uint8_t* record = *context->store.block + *context->store.used;
    WritePictureField(record, thumb.width > 0 ? 0 : kPictureUnavailable);
    WriteRecordI32(record, kAviFrameWidthOffset, static_cast<int32_t>(facts.frameWidth));
    WriteRecordI32(record, kAviFrameHeightOffset, static_cast<int32_t>(facts.frameHeight));
    WriteRecordI32(record, kAviLengthOffset, static_cast<int32_t>(facts.hundredths));
    WriteRecordI32(record, kAviThumbWidthOffset, thumb.width);
    WriteRecordI32(record, kAviThumbHeightOffset, thumb.height);
    return CountRecord(context->store, recordSize);
}
