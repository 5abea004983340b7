#include "page/lists/PlayingClipFrame.h"

#include "catalogue/ResourceSource.h"
#include "formats/clips/MemoryFile.h"
#include "formats/executables/ResourceRecords.h"
#include "media/ClipDevice.h"
#include "page/state/PageStores.h"

bool ThumbnailOf(const uint8_t* record, int* width, int* height) {
    *width = ReadRecordI32(record, kAviThumbWidthOffset);
    *height = ReadRecordI32(record, kAviThumbHeightOffset);
    const int side = ThumbnailCellOf(ModuleListMetrics()).boxSide;
    return *width > 0 && *width <= side && *height > 0 && *height <= side;
}

RECT VideoRect(const RECT& item, int width, int height) {
    const ThumbnailCell cell = ThumbnailCellOf(ModuleListMetrics());
    RECT video;
    video.left = item.left + cell.boxLeft + ((cell.boxSide - width) >> 1);
    video.top = item.top + cell.boxTop + ((cell.boxSide - height) >> 1);
    video.right = video.left + width;
    video.bottom = video.top + height;
    return video;
}

bool RepaintPlayingClip(const PageState* page, HDC dc, const RECT& item, const uint8_t* record) {
    int width = 0;
    int height = 0;
    if (page->playingIndex < 0 || record == nullptr || !ThumbnailOf(record, &width, &height))
        return false;
    RECT video = VideoRect(item, width, height);
    // The file may have changed under the view since the start: the second
    // device reads only bytes that are still there.
    if (page->playData != nullptr && ResourceBytesReadable(page->playData, page->playSize)) {
        char name[kMemoryFileNameCapacity];
        MemoryFileName(name, 2, page->playData, page->playSize);
        PaintCurrentFrame(page->mciDevice, name, page->mciHost, width, height);
    }
    // Whatever the second device managed, nothing the page draws covers the video.
    ExcludeClipRect(dc, video.left, video.top, video.right, video.bottom);
    return true;
}
