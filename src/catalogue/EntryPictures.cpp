// The pictures of the list entries, made from the open target when an entry is
// first drawn: a group's icon, a bitmap's thumbnail, a clip's first frame.
#include "catalogue/EntryPictures.h"

#include "catalogue/GroupPicture.h"
#include "catalogue/ImageIndex.h"
#include "catalogue/ResourceKinds.h"
#include "common/GdiOwners.h"
#include "common/PlainDib.h"
#include "formats/clips/MemoryFile.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"
#include "media/ClipDevice.h"

namespace {

// A bitmap's thumbnail, drawn straight from the resource's bits at its final
// size, so that a huge bitmap never gets a full-size device bitmap. Null when
// any step fails.
HBITMAP MakeThumbnail(const uint8_t* data, const BitmapLayout& layout, const ListMetrics& metrics) {
    ThumbnailSize thumb = FitThumbnailAt(layout.width, layout.height,
                                         ThumbnailCellOf(metrics).boxSide, metrics.density);
    if (thumb.width <= 0 || thumb.height <= 0)
        return nullptr;
    WindowDC screen(nullptr);
    if (screen.get() == nullptr)
        return nullptr;
    MemoryDC memory(screen.get());
    GdiObject bitmap(CreateCompatibleBitmap(screen.get(), thumb.width, thumb.height));
    if (memory.get() == nullptr || bitmap.get() == nullptr)
        return nullptr;
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

// A clip's first frame, painted by the device into a 32-bit section at
// thumbnail size. Null when any step fails.
HBITMAP PaintFirstFrame(MCIDEVICEID device, HWND list, int32_t width, int32_t height) {
    if (SetClipDestination(device, width, height) != 0)
        return nullptr;
    SetClipDestination(device, width, height);

    WindowDC listDC(list);
    if (listDC.get() == nullptr)
        return nullptr;
    MemoryDC memory(listDC.get());
    if (memory.get() == nullptr)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader =
        PlainDibHeader(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 32);
    void* bits = nullptr;
    GdiObject section(CreateDIBSection(listDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (section.get() == nullptr)
        return nullptr;
    {
        DCSelection selection(memory.get(), section.get());
        if (!selection.selected() || PaintClipFrame(device, memory.get(), width, height) != 0)
            return nullptr;
    }
    return static_cast<HBITMAP>(section.release());
}

HICON MakeGroupIcon(const ResourceSource& source, bool cursor, const uint8_t* group, uint32_t size,
                    const ListMetrics& metrics) {
    ImageIndex index = {};
    if (!BuildImageIndex(source, cursor, &index))
        return nullptr;
    HICON icon = MakeGroupPicture(source, &index, group, size, cursor,
                                  cursor ? metrics.cursorWidth : metrics.iconWidth,
                                  cursor ? metrics.cursorHeight : metrics.iconHeight);
    FreeImageIndex(&index);
    return icon;
}

HBITMAP MakeClipThumbnail(const uint8_t* data, uint32_t size, const uint8_t* record, HWND list) {
    const int32_t width = ReadRecordI32(record, kAviThumbWidthOffset);
    const int32_t height = ReadRecordI32(record, kAviThumbHeightOffset);
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, data, size);
    MCIDEVICEID device = 0;
    if (width <= 0 || height <= 0 || !ClipHasVideo(name) || OpenClipDevice(name, &device) != 0)
        return nullptr;
    HBITMAP thumbnail = PaintFirstFrame(device, list, width, height);
    CloseClipDevice(device);
    return thumbnail;
}

}  // namespace

uintptr_t MakeEntryPicture(const ResourceSource& source, const PictureStore& store,
                           const uint8_t* record, const ListMetrics& metrics, HWND list) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!FindResourceBytes(source, ResourceKindType(store.kind),
                           ReadResName(record + store.fixedPart), &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return 0;
    }
    switch (store.kind) {
        case kKindIcon:
        case kKindCursor:
            return reinterpret_cast<uintptr_t>(
                MakeGroupIcon(source, store.kind == kKindCursor, data, size, metrics));
        case kKindBitmap: {
            BitmapLayout layout;
            return ReadBitmapLayout(data, size, &layout)
                       ? reinterpret_cast<uintptr_t>(MakeThumbnail(data, layout, metrics))
                       : 0;
        }
        case kKindAvi:
            return reinterpret_cast<uintptr_t>(MakeClipThumbnail(data, size, record, list));
        default:
            return 0;
    }
}
