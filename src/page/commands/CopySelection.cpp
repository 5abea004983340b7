// Every branch prepares its blocks before it touches the clipboard: a copy that
// has nothing to put there leaves the user's clipboard as it was.
#include "page/commands/CopySelection.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "catalogue/StringRows.h"
#include "common/ErrorReports.h"
#include "common/PageControls.h"
#include "formats/output/ClipboardBlocks.h"
#include "media/ClipCopy.h"
#include "media/ClipboardPut.h"
#include "page/commands/CopyMemberImage.h"
#include "page/commands/MessageCommands.h"
#include "page/commands/WideStringCopy.h"
#include "page/lists/PictureItems.h"
#include "page/state/PageStores.h"
#include "page/state/TargetIdentity.h"

namespace {

// The text block never passes 2 GB.
const int64_t kMaxTextBytes = 0x7FFFFFFF;

// The name of the counted record behind a picture list's selection.
bool SelectedRecordName(HWND dialog, PageState* page, int listId, bool needsPicture,
                        ResName* name) {
    PictureStore store;
    const uint8_t* record = SelectedPictureRecord(dialog, page, listId, &store);
    if (record == nullptr || (needsPicture && ReadPictureField(record) == kPictureUnavailable))
        return false;
    *name = ReadResName(record + store.fixedPart);
    return true;
}

void CopyMemberImage(HWND dialog, PageState* page) {
    const GroupMember* member = SelectedMember(dialog, page);
    if (member == nullptr || member->imageCopy == nullptr)
        return;
    // The member's copy in memory is the file as it was: it still goes to
    // the clipboard from a file that is gone or locked, never from one that
    // changed, which a copy keeping the size and write time shows only by
    // its markers.
    DWORD error = 0;
    if (CheckPageTarget(page, true, &error) == kTargetChanged) {
        ReportUnreadableTarget(dialog, ERROR_FILE_INVALID);
        return;
    }
    DWORD failure = 0;
    ClipboardBlock blocks[1] = {{CF_DIB, MemberImageBlock(dialog, *member, &failure)}};
    PutOnClipboard(dialog, blocks, 1);
    // The report's box lets the sheet go on: a rebuild or the sheet's end may
    // free the member while it shows, so it comes after the work is done.
    if (failure != 0) {
        SetLastError(failure);
        ReportSystemError(dialog, 2);
    }
}

void CopyBitmapResource(HWND dialog, PageState* page) {
    ResName name = nullptr;
    if (!SelectedRecordName(dialog, page, kBitmapList, true, &name))
        return;
    if (!TargetReadyForCommand(dialog, page, true))
        return;
    ClipboardBlock blocks[1] = {{CF_DIB, nullptr}};
    DWORD failure = 0;
    {
        SetLastError(0);
        OpenedTarget target(page->target);
        if (!target.opened()) {
            ReportUnreadableTarget(dialog, GetLastError());
            return;
        }
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        BitmapCopyPlan plan;
        // A resource that does not hold what its header describes copies nothing.
        if (FindResourceBytes(target.source(), ResourceKindType(kKindBitmap), name, &data, &size) &&
            ResourceBytesReadable(data, size) && PlanBitmapCopy(data, size, &plan)) {
            HGLOBAL block = AllocateClipboardBlock(plan.blockBytes);
            void* out = block != nullptr ? GlobalLock(block) : nullptr;
            if (out != nullptr) {
                WriteBitmapCopy(data, size, plan, static_cast<uint8_t*>(out));
                GlobalUnlock(block);
                blocks[0].block = block;
            } else {
                failure = block != nullptr ? ERROR_NOT_ENOUGH_MEMORY : GetLastError();
                if (block != nullptr)
                    GlobalFree(block);
            }
        }
    }
    PutOnClipboard(dialog, blocks, 1);
    if (failure != 0) {
        SetLastError(failure);
        ReportSystemError(dialog, 2);
    }
}

// Reads row's text (column 1) whole: the page's text buffer grows until the
// list leaves room in it. Null with the last error set when memory ran out.
const char* ReadRowText(HWND list, PageState* page, int row, int32_t* length) {
    TextBuffer text = TextBufferOfPage(page);
    for (;;) {
        if (page->textBuffer == nullptr || page->textBufferSize < 2) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        LVITEMA item = {};
        item.iSubItem = 1;
        item.pszText = page->textBuffer;
        item.cchTextMax = page->textBufferSize;
        page->textBuffer[0] = '\0';
        LRESULT copied = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                      reinterpret_cast<LPARAM>(&item));
        // The list may answer with a pointer to its own whole copy.
        if (item.pszText != nullptr && item.pszText != page->textBuffer) {
            *length = lstrlenA(item.pszText);
            return item.pszText;
        }
        if (copied < 0)
            copied = 0;
        if (copied < page->textBufferSize - 1) {
            *length = static_cast<int32_t>(copied);
            return page->textBuffer;
        }
        // A full buffer may have cut the row: try again with twice the room.
        if (page->textBufferSize > kMaxTextBytes / 2 ||
            GrowTextBuffer(text, page->textBufferSize * 2) != 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
}

// Appends bytes to the text block, doubling its room as it fills; false when
// memory ran out.
bool AppendText(HGLOBAL* block, SIZE_T* room, int64_t* used, const char* bytes, int64_t count) {
    const int64_t needed = *used + count + 1;
    if (needed > kMaxTextBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (static_cast<SIZE_T>(needed) > *room) {
        SIZE_T grown = *room * 2 > static_cast<SIZE_T>(needed) ? *room * 2 : needed;
        if (grown > static_cast<SIZE_T>(kMaxTextBytes))
            grown = static_cast<SIZE_T>(kMaxTextBytes);
        SetLastError(0);
        HGLOBAL bigger = GlobalReAlloc(*block, grown, GMEM_MOVEABLE);
        if (bigger == nullptr) {
            if (GetLastError() == 0)
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        *block = bigger;
        *room = grown;
    }
    char* out = static_cast<char*>(GlobalLock(*block));
    if (out == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    memcpy(out + *used, bytes, static_cast<size_t>(count));
    *used += count;
    out[*used] = '\0';
    GlobalUnlock(*block);
    return true;
}

// The text of a selected row: a virtual list's from the target opened once
// for the whole copy, else the list's own. Null with the last error set when
// it cannot be read: a copy never leaves out a row.
const char* SelectedRowText(HWND list, PageState* page, const OpenedTarget& target, LRESULT row,
                            int32_t* length) {
    uint16_t id = 0;
    if (!StringRowId(page->stringRows, page->stringRowCount, row, &id))
        return ReadRowText(list, page, static_cast<int>(row), length);
    const char* text = ReadStringRowText(target.source(), id, TextBufferOfPage(page), length);
    if (text == nullptr)
        SetLastError(ERROR_FILE_INVALID);
    return text;
}

void CopyStringRows(HWND dialog, PageState* page) {
    HWND list = GetDlgItem(dialog, kStringList);
    const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (list == nullptr || count <= 0)
        return;
    // Texts a list keeps itself are the file as it was: a change refuses
    // them too.
    if (!TargetReadyForCommand(dialog, page, page->stringRows != nullptr))
        return;
    SetLastError(0);
    OpenedTarget target(page->stringRows != nullptr ? page->target : TargetPath{});
    if (page->stringRows != nullptr && !target.opened()) {
        ReportUnreadableTarget(dialog, GetLastError());
        return;
    }
    SIZE_T room = 256;
    HGLOBAL block = AllocateClipboardBlock(room);
    if (block == nullptr) {
        ReportSystemError(dialog, 2);
        return;
    }
    int64_t used = 0;
    bool any = false;
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0 && row < count;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        int32_t length = 0;
        const char* text = SelectedRowText(list, page, target, row, &length);
        if (text == nullptr || !AppendText(&block, &room, &used, text, length) ||
            !AppendText(&block, &room, &used, "\r\n", 2)) {
            DWORD code = GetLastError();
            GlobalFree(block);
            ReportUnreadableTarget(dialog, code);
            return;
        }
        any = true;
    }
    if (!any) {
        GlobalFree(block);
        return;
    }
    // The block ends with the NUL after the last row.
    HGLOBAL exact = GlobalReAlloc(block, static_cast<SIZE_T>(used + 1), GMEM_MOVEABLE);
    if (exact != nullptr)
        block = exact;
    ClipboardBlock blocks[2] = {{CF_TEXT, block},
                                {CF_UNICODETEXT, SelectedStringsWide(list, page, target.source())}};
    PutOnClipboard(dialog, blocks, 2);
}

void CopyClip(HWND dialog, PageState* page) {
    ResName name = nullptr;
    if (!SelectedRecordName(dialog, page, kAviList, false, &name))
        return;
    if (!TargetReadyForCommand(dialog, page, true))
        return;
    ClipCopy copy = {};
    {
        SetLastError(0);
        OpenedTarget target(page->target);
        if (!target.opened()) {
            ReportUnreadableTarget(dialog, GetLastError());
            return;
        }
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        // The AVI layer is done with the bytes before the target goes.
        if (FindResourceBytes(target.source(), ResourceKindType(kKindAvi), name, &data, &size) &&
            ResourceBytesReadable(data, size)) {
            ReadClipCopy(data, size, &copy);
        }
    }
    ClipboardBlock blocks[2] = {{CF_DIB, copy.frame}, {CF_WAVE, copy.wave}};
    PutOnClipboard(dialog, blocks, 2);
    if (copy.systemError != 0) {
        SetLastError(copy.systemError);
        ReportSystemError(dialog, 2);
    }
    if (copy.aviError != 0)
        ReportAviError(copy.aviError, dialog, 2);
}

}  // namespace

void CopySelection(HWND dialog, PageState* page) {
    if (page == nullptr)
        return;
    switch (page->currentKind) {
        case kKindIcon:
        case kKindCursor:
            CopyMemberImage(dialog, page);
            break;
        case kKindBitmap:
            CopyBitmapResource(dialog, page);
            break;
        case kKindString:
            CopyStringRows(dialog, page);
            break;
        case kKindAvi:
            CopyClip(dialog, page);
            break;
        case kKindMessage:
            CopyMessageRows(dialog, page);
            break;
        default:
            break;
    }
}
