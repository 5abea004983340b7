// Entries of the clip list: length, frame size and a first-frame thumbnail
// that fits 80 x 80. The clip is read in place through a memory file name; a
// clip the device cannot show is listed without a thumbnail and the walk goes
// on.
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>
#include <vfw.h>

#include "formats/DibLayout.h"
#include "catalogue/ListFill.h"
#include "formats/ResourceRecords.h"
#include "common/GdiOwners.h"
#include "formats/MemoryFile.h"

namespace {

const CLSID kAviFileClass = {0x00020000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct ClipFacts {
    uint32_t frameWidth;
    uint32_t frameHeight;
    uint32_t hundredths;
    int32_t thumbWidth;
    int32_t thumbHeight;
    HBITMAP thumbnail;
};

// Whether the clip has a video stream; for a clip without one, its length from
// the sound stream. The device is never handed a clip without video: some
// devices bring the whole process down on one.
bool ClipHasVideo(const char* name, ClipFacts* facts) {
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, name, OF_READ | OF_SHARE_DENY_WRITE,
                     const_cast<CLSID*>(&kAviFileClass)) != 0) {
        return false;
    }
    bool hasVideo = false;
    PAVISTREAM stream = nullptr;
    if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == 0) {
        hasVideo = true;
        AVIStreamRelease(stream);
    } else if (AVIFileGetStream(file, &stream, streamtypeAUDIO, 0) == 0) {
        LONG end = AVIStreamStart(stream) + AVIStreamLength(stream);
        LONG milliseconds = AVIStreamSampleToTime(stream, end);
        if (milliseconds > 0)
            facts->hundredths = static_cast<uint32_t>(milliseconds) / 10;
        AVIStreamRelease(stream);
    }
    AVIFileRelease(file);
    return hasVideo;
}

DWORD SendMci(MCIDEVICEID device, UINT message, DWORD_PTR flags, void* parameters) {
    return mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

// The first frame, painted by the device into a 32-bit section at thumbnail
// size. Null when any step fails.
HBITMAP PaintFirstFrame(MCIDEVICEID device, HWND list, int32_t width, int32_t height) {
    MCI_DGV_PUT_PARMS put = {};
    put.rc.right = width;
    put.rc.bottom = height;
    DWORD flags = MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT;
    if (SendMci(device, MCI_PUT, flags, &put) != 0)
        return nullptr;
    SendMci(device, MCI_PUT, flags, &put);

    WindowDC listDC(list);
    if (listDC.get() == nullptr)
        return nullptr;
    MemoryDC memory(listDC.get());
    if (memory.get() == nullptr)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject section(CreateDIBSection(listDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (section.get() == nullptr)
        return nullptr;
    {
        DCSelection selection(memory.get(), section.get());
        if (!selection.selected())
            return nullptr;
        MCI_DGV_UPDATE_PARMS update = {};
        update.rc.right = width;
        update.rc.bottom = height;
        update.hDC = memory.get();
        if (SendMci(device, MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_WAIT, &update) != 0)
            return nullptr;
    }
    return static_cast<HBITMAP>(section.release());
}

// Length, frame size and thumbnail from the device. What was learned before a
// failing step is kept.
void AskDevice(const char* name, HWND list, ClipFacts* facts) {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "AVIVideo";
    open.lpstrElementName = name;
    if (SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0)
        return;
    MCIDEVICEID device = open.wDeviceID;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    if (SendMci(device, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set) == 0 &&
        SendMci(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0) {
        facts->hundredths = static_cast<uint32_t>(status.dwReturn / 10);
        status = {};
        status.dwItem = MCI_DGV_STATUS_VIDEO;
        MCI_DGV_RECT_PARMS where = {};
        if (SendMci(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0 &&
            status.dwReturn != 0 &&
            SendMci(device, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &where) == 0 &&
            where.rc.right > 0 && where.rc.bottom > 0) {
            // The device answers the width and height in right and bottom.
            facts->frameWidth = static_cast<uint32_t>(where.rc.right);
            facts->frameHeight = static_cast<uint32_t>(where.rc.bottom);
            ThumbnailSize thumb = FitThumbnail(where.rc.right, where.rc.bottom);
            facts->thumbnail = PaintFirstFrame(device, list, thumb.width, thumb.height);
            if (facts->thumbnail != nullptr) {
                facts->thumbWidth = thumb.width;
                facts->thumbHeight = thumb.height;
            }
        }
    }
    MCI_GENERIC_PARMS close = {};
    SendMci(device, MCI_CLOSE, MCI_WAIT, &close);
}

}  // namespace

int AddAviItem(ResName name, const uint8_t* data, uint32_t size, ListFillContext* context) {
    uint32_t recordSize = 0;
    if (BeginRecord(context->store, context->text, name, &recordSize) == nullptr)
        return -1;
    char fileName[kMemoryFileNameCapacity];
    MemoryFileName(fileName, 1, data, size);
    ClipFacts facts = {};
    if (ClipHasVideo(fileName, &facts))
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
