#include "page/state/TargetIdentity.h"

#include "common/ErrorReports.h"
#include "formats/executables/ImageMarkers.h"
#include "page/state/RowTextCache.h"

namespace {

const DWORD kStampCheckInterval = 250;  // milliseconds

uint64_t JoinTime(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Size and write time from the file system's directory entry, without
// opening the file; a wide name, which the narrow search cannot spell, is
// opened for them.
bool ReadTargetStamp(const TargetPath& path, uint64_t* size, uint64_t* writeTime) {
    if (path.narrow != nullptr) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.narrow, &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        FindClose(search);
        *size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        *writeTime = JoinTime(found.ftLastWriteTime);
        return true;
    }
    HANDLE file = OpenTargetFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    FILETIME written = {};
    SetLastError(NO_ERROR);
    const DWORD low = GetFileSize(file, &high);
    const bool read = (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) &&
                      GetFileTime(file, nullptr, nullptr, &written);
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    *size = (static_cast<uint64_t>(high) << 32) | low;
    *writeTime = JoinTime(written);
    return read;
}

bool ReadAt(HANDLE file, uint64_t offset, uint8_t* bytes, DWORD count, DWORD* read) {
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return false;
    }
    return ReadFile(file, bytes, count, read, nullptr) != 0;
}

// The markers from the file's head and resource directory.
bool ReadMarkers(const TargetPath& path, ImageMarkers* markers) {
    *markers = ImageMarkers{};
    HANDLE file = OpenTargetFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool read = false;
    DWORD high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = GetFileSize(file, &high);
    uint8_t head[kMarkerHeadBytes];
    DWORD got = 0;
    if ((low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) &&
        ReadAt(file, 0, head, sizeof(head), &got)) {
        const uint64_t fileSize = (static_cast<uint64_t>(high) << 32) | low;
        uint32_t newAt = 0;
        read = true;
        // A header placed further in is read where it lies.
        if (MarkerWindowNeeded(head, got, &newAt)) {
            read = ReadAt(file, newAt, head, sizeof(head), &got);
            if (read)
                LocateImageMarkersAt(head, got, newAt, newAt, fileSize, markers);
        } else {
            LocateImageMarkers(head, got, fileSize, markers);
        }
        if (read && markers->tableSize != 0) {
            uint8_t* table = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, markers->tableSize));
            DWORD tableRead = 0;
            read = table != nullptr &&
                   ReadAt(file, markers->tableOffset, table, markers->tableSize, &tableRead);
            if (read)
                markers->tableSum = MarkerChecksum(table, tableRead);
            if (table != nullptr)
                GlobalFree(table);
            else
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        }
    }
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return read;
}

}  // namespace

bool ReadTargetIdentity(const TargetPath& path, TargetIdentity* identity) {
    *identity = TargetIdentity{};
    return ReadTargetStamp(path, &identity->size, &identity->writeTime) &&
           ReadMarkers(path, &identity->markers);
}

bool SameTargetIdentity(const TargetIdentity& a, const TargetIdentity& b) {
    return a.size == b.size && a.writeTime == b.writeTime && SameImageMarkers(a.markers, b.markers);
}

void AskForRefill(PageState* page) {
    // Inside a fill (its report box may be up) the request waits for the
    // paint or command after it: a post now would come straight back.
    if (page->rebuildPosted || page->rebuilding || page->window == nullptr)
        return;
    if (PostMessageA(page->window, kRebuildForChangedTarget, 0, 0))
        page->rebuildPosted = 1;
}

void NoticeTargetChange(PageState* page) {
    if (page->targetChanged)
        return;
    page->targetChanged = 1;
    // A refill that failed before drew without the old texts once; this
    // change needs the same.
    page->refillFailed = 0;
    ClearRowTexts(page);
    AskForRefill(page);
}

TargetState CheckPageTarget(PageState* page, bool markers, DWORD* error) {
    *error = 0;
    if (page->targetChanged || page->drawingRefillWanted)
        AskForRefill(page);
    if (page->targetChanged)
        return kTargetChanged;
    TargetIdentity now = {};
    SetLastError(0);
    if (!ReadTargetStamp(page->target, &now.size, &now.writeTime)) {
        *error = GetLastError();
        return kTargetUnreadable;
    }
    if (now.size != page->identity.size || now.writeTime != page->identity.writeTime) {
        NoticeTargetChange(page);
        return kTargetChanged;
    }
    if (!markers)
        return kTargetSame;
    SetLastError(0);
    if (!ReadMarkers(page->target, &now.markers)) {
        *error = GetLastError();
        return kTargetUnreadable;
    }
    if (!SameImageMarkers(now.markers, page->identity.markers)) {
        NoticeTargetChange(page);
        return kTargetChanged;
    }
    return kTargetSame;
}

void ReportUnreadableTarget(HWND dialog, DWORD error) {
    SetLastError(error != 0 ? error : ERROR_FILE_INVALID);
    ReportSystemError(dialog, 2);
}

bool TargetReadyForCommand(HWND dialog, PageState* page, bool needsFile) {
    DWORD error = 0;
    const TargetState state = CheckPageTarget(page, needsFile, &error);
    if (state == kTargetChanged) {
        ReportUnreadableTarget(dialog, ERROR_FILE_INVALID);
        return false;
    }
    if (state == kTargetUnreadable && needsFile) {
        ReportUnreadableTarget(dialog, error);
        return false;
    }
    return true;
}

bool KeptTextsHold(PageState* page, bool cached) {
    DWORD error = 0;
    if (page->paintDepth > 0) {
        if (!cached || page->paintMarkersChecked)
            return true;
        page->paintMarkersChecked = 1;
        return CheckPageTarget(page, true, &error) != kTargetChanged;
    }
    const DWORD now = GetTickCount();
    if (now - page->stampCheckedAt < kStampCheckInterval)
        return true;
    page->stampCheckedAt = now;
    return CheckPageTarget(page, cached, &error) != kTargetChanged;
}
