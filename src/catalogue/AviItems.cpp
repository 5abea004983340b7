// Entries of the clip list: length, frame size and a first-frame thumbnail
// that fits 80 x 80. The clip is read in place through a memory file name; a
// clip the device cannot show is listed without a thumbnail and the walk goes
// on.
#include <windows.h>

#include "catalogue/ListFill.h"
#include "common/GdiOwners.h"
#include "common/PlainDib.h"
#include "formats/DibLayout.h"
#include "formats/MemoryFile.h"
#include "formats/ResourceRecords.h"
#include "media/ClipDevice.h"

namespace {

struct ClipFacts {
    uint32_t frameWidth;
    uint32_t frameHeight;
    uint32_t hundredths;
    int32_t thumbWidth;
    int32_t thumbHeight;
    HBITMAP thumbnail;
};

// The first frame, painted by the device into a 32-bit section at thumbnail
// size. Null when any step fails.
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

// Length, frame size and thumbnail from the device. What was learned before a
// failing step is kept.
void AskDevice(const char* name, HWND list, ClipFacts* facts) {
    MCIDEVICEID device = 0;
    if (OpenClipDevice(name, &device) != 0)
        return;
    uint32_t milliseconds = 0;
    int32_t width = 0;
    int32_t height = 0;
    if (ReadClipLength(device, &milliseconds) == 0) {
        facts->hundredths = milliseconds / 10;
        if (ReadClipFrameSize(device, &width, &height)) {
            facts->frameWidth = static_cast<uint32_t>(width);
            facts->frameHeight = static_cast<uint32_t>(height);
            ThumbnailSize thumb = FitThumbnail(width, height);
            facts->thumbnail = PaintFirstFrame(device, list, thumb.width, thumb.height);
            if (facts->thumbnail != nullptr) {
                facts->thumbWidth = thumb.width;
                facts->thumbHeight = thumb.height;
            }
        }
    }
    CloseClipDevice(device);
}

}  // namespace

int AddAviItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    char fileName[kMemoryFileNameCapacity];
    MemoryFileName(fileName, 1, data, size);
    ClipFacts facts = {};
    if (ClipHasVideo(fileName, &facts.hundredths))
        AskDevice(fileName, context->list, &facts);
    uint8_t* record = *context->store.block + *context->store.used;
    WritePictureField(record, reinterpret_cast<uintptr_t>(facts.thumbnail));
    WriteRecordI32(record, kAviFrameWidthOffset, static_cast<int32_t>(facts.frameWidth));
    WriteRecordI32(record, kAviFrameHeightOffset, static_cast<int32_t>(facts.frameHeight));
    WriteRecordI32(record, kAviLengthOffset, static_cast<int32_t>(facts.hundredths));
    WriteRecordI32(record, kAviThumbWidthOffset, facts.thumbWidth);
    WriteRecordI32(record, kAviThumbHeightOffset, facts.thumbHeight);
    return AddRecordToList(context->store, context->list, recordSize);
}
