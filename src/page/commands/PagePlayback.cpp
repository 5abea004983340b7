// The page's side of a clip playing in its own entry of list 1008. The device
// reads the resource's bytes in place, so the page keeps the target open from
// the start until the device is closed: at the end notification, or at once
// when the page goes.
#include "page/commands/PagePlayback.h"

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "common/ErrorReports.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/clips/MemoryFile.h"
#include "media/ClipDevice.h"
#include "page/lists/PictureItems.h"
#include "page/lists/PlayingClipFrame.h"
#include "page/state/AnnounceNameChange.h"
#include "page/state/TargetIdentity.h"

namespace {

// Stop image while a clip plays, play image otherwise; a themed button picks
// its glyph by the same rule when it is redrawn, and a screen reader reads the
// name that goes with it.
void ShowPlayState(HWND dialog, const PageState* page) {
    HWND button = GetDlgItem(dialog, kPlayButton);
    AnnounceNameChange(button, page);
    if (page->themedPlayButton) {
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    HBITMAP image = page->playingIndex >= 0 ? page->stopBitmap : page->playBitmap;
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

// Closes the device and lets the target go; the page is idle afterwards.
void ReleasePlayback(HWND dialog, PageState* page) {
    const MCIDEVICEID device = page->mciDevice;
    page->mciDevice = 0;
    page->playingIndex = -1;
    CloseClipDevice(device);
    // A device may still post its notice after the close, from its own thread,
    // and the next clip's device may get the same id: the notice window goes
    // with this playback, and whatever is posted to it later is dropped.
    HWND notice = page->playNotice;
    page->playNotice = nullptr;
    if (notice != nullptr)
        DestroyWindow(notice);
    ShowWindow(page->mciHost, SW_HIDE);
    ShowPlayState(dialog, page);
    ResourceSource source = {};
    source.module = page->playModule;
    source.isNeImage = page->playModule == nullptr && page->playImage.base != nullptr;
    if (source.isNeImage)
        source.image = page->playImage;
    CloseResourceSource(&source);
    page->playModule = nullptr;
    page->playImage = MappedNeImage{};
    page->playData = nullptr;
    page->playSize = 0;
}

// The selected clip's record and its list index, when a start may happen at
// all: the clips are shown, the button can be pressed and an entry is chosen.
const uint8_t* PlayableSelection(HWND dialog, PageState* page, int32_t* index) {
    if (page->playingIndex >= 0 || page->currentKind != kKindAvi || page->mciHost == nullptr ||
        !IsWindowEnabled(GetDlgItem(dialog, kPlayButton))) {
        return nullptr;
    }
    HWND list = GetDlgItem(dialog, kAviList);
    LRESULT selection = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selection < 0)
        return nullptr;
    LRESULT value = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
    PictureStore store;
    const uint8_t* record =
        PictureRecordOfItem(page, kAviList, static_cast<uintptr_t>(value), &store);
    *index = static_cast<int32_t>(selection);
    return record;
}

// Opens the device on the clip and starts it in the entry's cell: 0 or the MCI
// error of the step that failed, with the device closed again.
DWORD StartDevice(HWND dialog, PageState* page, const char* name, const uint8_t* record,
                  int32_t index, MCIDEVICEID* device) {
    DWORD error = OpenClipDevice(name, device);
    if (error != 0)
        return error;
    error = SetClipWindow(*device, page->mciHost);
    int width = 0;
    int height = 0;
    if (error == 0 && ThumbnailOf(record, &width, &height)) {
        error = SetClipDestination(*device, width, height);
        RECT item = {};
        SendDlgItemMessageA(dialog, kAviList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&item));
        if (error == 0)
            error = PlaceClipWindow(*device, page->mciHost, VideoRect(item, width, height));
    }
    HWND notice = nullptr;
    if (error == 0) {
        notice = CreateWindowExA(0, kMciHostClassName, "", WS_CHILD, 0, 0, 0, 0, dialog, nullptr,
                                 theModule.moduleHandle, nullptr);
        if (notice == nullptr)
            error = MCIERR_OUT_OF_MEMORY;
    }
    if (error == 0)
        error = PlayClipOnce(*device, notice);
    if (error != 0) {
        CloseClipDevice(*device);
        if (notice != nullptr)
            DestroyWindow(notice);
        return error;
    }
    page->playNotice = notice;
    return 0;
}

// Opens the target and starts the device on the clip; on success the page
// holds the target until the end. 0 (also when there is nothing to show: a
// vanished resource, or bytes without a picture) or the MCI error.
DWORD PlayFromTarget(HWND dialog, PageState* page, const uint8_t* record, int32_t index) {
    if (!TargetReadyForCommand(dialog, page, true))
        return 0;
    SetLastError(0);
    OpenedTarget target(page->target);
    if (!target.opened()) {
        ReportUnreadableTarget(dialog, GetLastError());
        return 0;
    }
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    char name[kMemoryFileNameCapacity];
    bool found = FindResourceBytes(target.source(), ResourceKindType(kKindAvi),
                                   ReadResName(record + kAviFixedPart), &data, &size) &&
                 ResourceBytesReadable(data, size);
    if (found)
        MemoryFileName(name, 1, data, size);
    if (!found || !ClipHasVideo(name))
        return 0;
    MCIDEVICEID device = 0;
    DWORD error = StartDevice(dialog, page, name, record, index, &device);
    if (error != 0)
        return error;
    const ResourceSource source = target.release();
    page->playModule = source.module;
    page->playImage = source.isNeImage ? source.image : MappedNeImage{};
    page->playData = data;
    page->playSize = size;
    page->mciDevice = device;
    page->playingIndex = index;
    // The device shows its window when it starts drawing; not every device does.
    ShowWindow(page->mciHost, SW_SHOWNA);
    ShowPlayState(dialog, page);
    return 0;
}

}  // namespace

void StartClipPlayback(HWND dialog, PageState* page) {
    int32_t index = -1;
    const uint8_t* record = PlayableSelection(dialog, page, &index);
    if (record == nullptr)
        return;
    // The report comes once the file is let go again.
    DWORD error = PlayFromTarget(dialog, page, record, index);
    if (error != 0)
        ReportMciError(error, dialog, 2);
}

void StopClipPlayback(const PageState* page) {
    if (page != nullptr && page->playingIndex >= 0)
        StopClip(page->mciDevice);
}

INT_PTR EndClipPlayback(HWND dialog, WPARAM, LPARAM device) {
    PageState* page = FindPageState(dialog);
    // Only the playing device's notification ends playback: the device tells
    // the playback's notice window, which hands it on here.
    if (page != nullptr && page->playingIndex >= 0 &&
        device == static_cast<LPARAM>(page->mciDevice)) {
        ReleasePlayback(dialog, page);
    }
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

void EndPlaybackAtTeardown(HWND dialog, PageState* page) {
    if (page->playingIndex >= 0)
        ReleasePlayback(dialog, page);
}
