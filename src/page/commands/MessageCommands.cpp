#include "page/commands/MessageCommands.h"

#include <commctrl.h>

#include <cstring>

#include "common/ErrorReports.h"
#include "common/PageControls.h"
#include "media/ClipboardPut.h"
#include "page/lists/MessageListView.h"
#include "page/state/TargetIdentity.h"

namespace {

// The block never passes 1 G units.
const SIZE_T kMaxUnits = 0x3FFFFFFF;

struct WideText {
    HGLOBAL block;
    SIZE_T room;  // units
    SIZE_T used;
};

bool Append(WideText* out, const wchar_t* text, SIZE_T units) {
    if (units > kMaxUnits - out->used - 1) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    const SIZE_T needed = out->used + units + 1;
    if (needed > out->room) {
        SIZE_T grown = out->room * 2 > needed ? out->room * 2 : needed;
        HGLOBAL bigger = GlobalReAlloc(out->block, grown * sizeof(wchar_t), GMEM_MOVEABLE);
        if (bigger == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        out->block = bigger;
        out->room = grown;
    }
    wchar_t* at = static_cast<wchar_t*>(GlobalLock(out->block));
    if (at == nullptr)
        return false;
    memcpy(at + out->used, text, units * sizeof(wchar_t));
    out->used += units;
    at[out->used] = L'\0';
    GlobalUnlock(out->block);
    return true;
}

bool AppendRow(HWND dialog, PageState* page, const ResourceSource& source, int32_t row, bool withId,
               WideText* out) {
    if (withId) {
        char id[12];
        wchar_t wideId[12];
        if (!MessageRowIdText(page, row, id))
            return false;
        const int units = MultiByteToWideChar(CP_ACP, 0, id, -1, wideId, 12);
        if (units <= 1 || !Append(out, wideId, static_cast<SIZE_T>(units - 1)) ||
            !Append(out, L"\t", 1))
            return false;
    }
    (void)dialog;
    int32_t units = 0;
    const wchar_t* text = MessageRowFullText(page, source, row, &units);
    if (text == nullptr || !Append(out, text, static_cast<SIZE_T>(units)))
        return false;
    // A message ends with its own break; only one without gets one.
    return (units > 0 && text[units - 1] == L'\n') || Append(out, L"\r\n", 2);
}

}  // namespace

HGLOBAL SelectedMessagesText(HWND dialog, PageState* page, bool withIds, SIZE_T* units) {
    *units = 0;
    HWND list = GetDlgItem(dialog, kMessageList);
    if (list == nullptr || SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) <= 0 ||
        !TargetReadyForCommand(dialog, page, true))
        return nullptr;
    SetLastError(0);
    OpenedTarget target(page->target);
    if (!target.opened()) {
        ReportUnreadableTarget(dialog, GetLastError());
        return nullptr;
    }
    WideText out = {AllocateClipboardBlock(256 * sizeof(wchar_t)), 256, 0};
    if (out.block == nullptr) {
        ReportSystemError(dialog, 2);
        return nullptr;
    }
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         row >= 0;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        // A row the file no longer gives fails the whole: part of the
        // selection is never passed off as all of it.
        if (!AppendRow(dialog, page, target.source(), static_cast<int32_t>(row), withIds, &out)) {
            const DWORD code = GetLastError();
            GlobalFree(out.block);
            ReportUnreadableTarget(dialog, code != 0 ? code : ERROR_FILE_INVALID);
            return nullptr;
        }
    }
    *units = out.used;
    return out.block;
}

void CopyMessageRows(HWND dialog, PageState* page) {
    SIZE_T units = 0;
    HGLOBAL wide = SelectedMessagesText(dialog, page, false, &units);
    if (wide == nullptr)
        return;
    // The narrow form beside it for programs that read only that one.
    HGLOBAL narrow = nullptr;
    const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(wide));
    const int bytes = text != nullptr
                          ? WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(units), nullptr,
                                                0, nullptr, nullptr)
                          : 0;
    if (bytes > 0 && (narrow = AllocateClipboardBlock(static_cast<SIZE_T>(bytes) + 1)) != nullptr) {
        char* out = static_cast<char*>(GlobalLock(narrow));
        if (out != nullptr) {
            WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(units), out, bytes, nullptr,
                                nullptr);
            out[bytes] = '\0';
            GlobalUnlock(narrow);
        }
    }
    if (text != nullptr)
        GlobalUnlock(wide);
    ClipboardBlock blocks[2] = {{CF_UNICODETEXT, wide}, {CF_TEXT, narrow}};
    PutOnClipboard(dialog, blocks, 2);
}
