// Entries of the bitmap list: the bitmap's own size and depth, and a thumbnail
// that fits 80 x 80. The thumbnail is drawn straight from the resource's bits
// at its final size, so a huge bitmap never gets a full-size device bitmap.
#include "catalogue/ListFill.h"
#include "common/GdiOwners.h"
#include "formats/DibLayout.h"
#include "formats/ResourceRecords.h"

namespace {

bool RanOutOfMemory() {
    return GetLastError() == ERROR_NOT_ENOUGH_MEMORY;
}

// The thumbnail, or null; outOfMemory when a failing call ran out of memory.
HBITMAP MakeThumbnail(const uint8_t* data, const BitmapLayout& layout, bool* outOfMemory) {
    ThumbnailSize thumb = FitThumbnail(layout.width, layout.height);
    if (thumb.width <= 0 || thumb.height <= 0)
        return nullptr;
    WindowDC screen(nullptr);
    if (screen.get() == nullptr)
        return nullptr;
    MemoryDC memory(screen.get());
    if (memory.get() == nullptr) {
        *outOfMemory = RanOutOfMemory();
        return nullptr;
    }
    SetLastError(0);
    GdiObject bitmap(CreateCompatibleBitmap(screen.get(), thumb.width, thumb.height));
    if (bitmap.get() == nullptr) {
        *outOfMemory = RanOutOfMemory();
        return nullptr;
    }
    {
        DCSelection selection(memory.get(), bitmap.get());
        if (!selection.selected())
            return nullptr;
        SetStretchBltMode(memory.get(), COLORONCOLOR);
        int32_t sourceHeight = layout.height < 0 ? -layout.height : layout.height;
        int lines =
            StretchDIBits(memory.get(), 0, 0, thumb.width, thumb.height, 0, 0, layout.width,
                          sourceHeight, data + layout.bitsOffset,
                          reinterpret_cast<const BITMAPINFO*>(data), DIB_RGB_COLORS, SRCCOPY);
        if (lines <= 0)
            return nullptr;
    }
    return static_cast<HBITMAP>(bitmap.release());
}

}  // namespace

int AddBitmapItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    BitmapLayout layout;
    ReadBitmapLayout(data, size, &layout);
    bool outOfMemory = false;
    HBITMAP thumbnail = layout.drawable ? MakeThumbnail(data, layout, &outOfMemory) : nullptr;
    if (outOfMemory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    uint8_t* record = *context->store.block + *context->store.used;
    WritePictureField(record, reinterpret_cast<uintptr_t>(thumbnail));
    WriteRecordI32(record, kBitmapWidthOffset, layout.width);
    WriteRecordI32(record, kBitmapHeightOffset, layout.height);
    WriteRecordI32(record, kBitmapBitsPerPixelOffset, layout.bitCount);
    return AddRecordToList(context->store, context->list, recordSize);
}
