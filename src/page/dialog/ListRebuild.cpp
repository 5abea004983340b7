#include "page/dialog/ListRebuild.h"

#include <commctrl.h>

#include <cstring>
#include <initializer_list>

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "catalogue/StringList.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/texts/RowTexts.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/KindSelection.h"
#include "page/dialog/LanguageChoice.h"
#include "page/dialog/PageStart.h"
#include "page/dialog/PlayGlyphs.h"
#include "page/lists/MessageListView.h"
#include "page/lists/PageDrawing.h"
#include "page/lists/PictureItems.h"
#include "page/lists/StringListRowId.h"
#include "page/state/KeptResName.h"
#include "page/state/PageStores.h"
#include "page/state/RowTextCache.h"
#include "page/state/TargetIdentity.h"

namespace {

const int kPictureKinds[] = {kKindIcon, kKindBitmap, kKindCursor, kKindAvi};

// The row height the drawing asks for now, from the same measure the list got
// when it was created.
UINT MeasuredRowHeight(HWND dialog, int listId) {
    MEASUREITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = static_cast<UINT>(listId);
    MeasurePageItem(dialog, &item);
    return item.itemHeight;
}

// Reads the system's picture sizes and the dialog font's height into the
// module; true when any of them differs from what the lists were built with.
// The rows' heights are compared too: another page of the library may already
// have written the new sizes into the module.
bool ReadDrawingSizes(HWND dialog) {
    int before[] = {theModule.iconWidth,    theModule.iconHeight, theModule.cursorWidth,
                    theModule.cursorHeight, theModule.textHeight, theModule.density};
    ReadSystemPictureSizes();
    ReadTextHeight(dialog);
    int after[] = {theModule.iconWidth,    theModule.iconHeight, theModule.cursorWidth,
                   theModule.cursorHeight, theModule.textHeight, theModule.density};
    bool changed = false;
    for (size_t i = 0; i < sizeof(before) / sizeof(before[0]); ++i)
        changed = changed || before[i] != after[i];
    for (int kind : kPictureKinds) {
        int listId = ResourceKindList(kind);
        LRESULT height = SendDlgItemMessageA(dialog, listId, LB_GETITEMHEIGHT, 0, 0);
        changed = changed || height == LB_ERR ||
                  static_cast<UINT>(height) != MeasuredRowHeight(dialog, listId);
    }
    return changed;
}

void EmptyPictureLists(HWND dialog, PageState* page) {
    DiscardPictureLists(dialog, page);
    for (int kind : kPictureKinds) {
        int listId = ResourceKindList(kind);
        SendDlgItemMessageA(dialog, listId, LB_RESETCONTENT, 0, 0);
        PictureStore store;
        if (PictureStoreOfPage(page, kind, &store))
            *store.used = 0;
        // A fixed-height list measures its rows only when it is created.
        SendDlgItemMessageA(dialog, listId, LB_SETITEMHEIGHT, 0,
                            MAKELPARAM(MeasuredRowHeight(dialog, listId), 0));
    }
}

// The name of a list's selected entry, kept across a rebuild.
struct KeptName {
    bool kept;
    KeptResName name;
};

KeptName KeepSelectedName(HWND dialog, PageState* page, int listId) {
    KeptName kept = {};
    PictureStore store;
    const uint8_t* record = SelectedPictureRecord(dialog, page, listId, &store);
    if (record != nullptr)
        kept.kept = KeepResName(ReadResName(record + store.fixedPart), &kept.name);
    return kept;
}

bool SameName(const KeptName& kept, ResName name) {
    const ResName keptName = KeptResNameOf(kept.name);
    if (IsIntResName(keptName))
        return IsIntResName(name) && ResNameId(name) == ResNameId(keptName);
    return !IsIntResName(name) && lstrcmpA(keptName, name) == 0;
}

// Selects the entry of the kept name, else the first entry; false when a
// kept name is no longer in the list.
bool SelectKeptName(HWND dialog, PageState* page, int32_t kind, KeptName* kept) {
    const int listId = ResourceKindList(kind);
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    LRESULT found = -1;
    for (LRESULT i = 0; kept->kept && i < count; ++i) {
        PictureStore store;
        const uint8_t* record = PictureRecordOfItem(
            page, listId, static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, i, 0)), &store);
        if (record != nullptr && SameName(*kept, ReadResName(record + store.fixedPart))) {
            found = i;
            break;
        }
    }
    const bool keptFound = !kept->kept || found >= 0;
    if (found < 0 && count > 0)
        found = 0;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    page->lastSelection[kind] = static_cast<int32_t>(found);
    FreeKeptResName(&kept->name);
    *kept = KeptName{};
    return keptFound;
}

// The string IDs of the selected rows, in a block of their own; null when
// none is selected.
uint16_t* KeepSelectedIds(HWND list, const PageState* page, int32_t* count) {
    *count = 0;
    const LRESULT selected = SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0)
        return nullptr;
    uint16_t* ids = static_cast<uint16_t*>(
        GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(selected) * sizeof(uint16_t)));
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         ids != nullptr && row >= 0 && *count < selected;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        if (ListStringRowId(page, list, row, &ids[*count]))
            ++*count;
    }
    return ids;
}

void SetRowState(HWND list, LRESULT row, UINT mask, UINT state) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The row of a kept ID: the page's rows are sorted by ID; a list with rows of
// its own is asked.
LRESULT RowOfKeptId(HWND list, const PageState* page, uint16_t id) {
    if (page->stringRows != nullptr)
        return FindRowOfSortedId(reinterpret_cast<const uint16_t*>(page->stringRows),
                                 page->stringRowCount, id);
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = id;
    return SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(&find));
}

// Selects the rows of the kept IDs that the file still has, else the first
// row. Each row is only selected; the focus moves once, to the first of them,
// so that thousands of kept rows cost no focus change each.
void SelectKeptIds(HWND list, const PageState* page, uint16_t* ids, int32_t count) {
    SetRowState(list, -1, LVIS_SELECTED | LVIS_FOCUSED, 0);
    LRESULT first = -1;
    for (int32_t i = 0; i < count; ++i) {
        const LRESULT row = RowOfKeptId(list, page, ids[i]);
        if (row < 0)
            continue;
        SetRowState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        if (first < 0 || row < first)
            first = row;
    }
    if (first < 0 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        first = 0;
        SetRowState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (first >= 0)
        SetRowState(list, first, LVIS_FOCUSED, LVIS_FOCUSED);
    if (ids != nullptr)
        GlobalFree(ids);
}

void InvalidateLists(HWND dialog) {
    for (int listId : {kIconList, kBitmapList, kCursorList, kStringList, kAviList, kMemberList})
        InvalidateRect(GetDlgItem(dialog, listId), nullptr, TRUE);
}

// A refill that cannot open the file, or not read its identity in that
// opening, keeps every list's entries (their names and IDs stay listed); the
// first time, it lets go of the pictures and texts, which may be the old
// file's or of the old sizes, and has the lists drawn without them. The
// wanted refill stays wanted: the next paint or command asks for it again.
void KeepListsUnread(HWND dialog, PageState* page) {
    if (page->refillFailed)
        return;
    page->refillFailed = 1;
    StopClipPlayback(page);
    EndPlaybackAtTeardown(dialog, page);
    DiscardPictureLists(dialog, page);
    ClearRowTexts(page);
    if (page->drawingRefillWanted) {
        // A fixed-height list measures its rows only when it is created.
        for (int kind : kPictureKinds) {
            const int listId = ResourceKindList(kind);
            SendDlgItemMessageA(dialog, listId, LB_SETITEMHEIGHT, 0,
                                MAKELPARAM(MeasuredRowHeight(dialog, listId), 0));
        }
    }
    InvalidateLists(dialog);
}

// The string rows anew from the open source: a list that never got its
// columns (the page started without its file, or first showed another kind)
// is set up first.
void RefillStrings(HWND dialog, PageState* page, const ResourceSource& source) {
    if (!page->stringListReady) {
        FillPageStringList(dialog, page, source);
        return;
    }
    RefillStringRows(dialog, TextBufferOfPage(page),
                     StringRowArray{&page->stringRows, &page->stringRowCount}, source);
}

// Every refill of the lists, for a changed file or for the display's sizes:
// the file is opened first and its identity read in that opening; only then
// are the lists emptied, filled from it, and each list's entry kept by its
// name, string ID or member image ID, and the identity adopted.
void RefillLists(HWND dialog, PageState* page) {
    if (page->rebuilding)
        return;
    page->rebuilding = 1;
    OpenedTarget target(page->target);
    TargetIdentity now = {};
    if (!target.opened() || !ReadTargetIdentity(page->target, &now)) {
        KeepListsUnread(dialog, page);
        page->rebuilding = 0;
        return;
    }
    const bool fileChanged = page->targetChanged || !SameTargetIdentity(now, page->identity);
    // The lists filled before and the one shown; the others wait for their
    // first showing, as at the opening. The message rows are read at every
    // refill: they decide whether the kind is listed in the chosen language.
    int32_t kinds = page->filledKinds | KindBit(kKindMessage);
    if (IsResourceKind(page->currentKind))
        kinds |= KindBit(page->currentKind);
    StopClipPlayback(page);
    EndPlaybackAtTeardown(dialog, page);
    if (page->drawingRefillWanted)
        ReloadPlayGlyphs(dialog, page);
    if (page->currentKind == kKindIcon || page->currentKind == kKindCursor)
        RememberMemberSelection(dialog, page);
    KeptName names[kKindCount] = {};
    for (int kind : kPictureKinds)
        names[kind] = KeepSelectedName(dialog, page, ResourceKindList(kind));
    HWND strings = GetDlgItem(dialog, kStringList);
    int32_t idCount = 0;
    uint16_t* ids = fileChanged ? KeepSelectedIds(strings, page, &idCount) : nullptr;

    EmptyMemberList(dialog, page);
    EmptyPictureLists(dialog, page);
    ClearRowTexts(page);
    // A language the file no longer holds goes back to the platform's choice,
    // for this filling too.
    RefreshLanguages(dialog, page);
    target.chooseLanguage(page->target.language);
    page->filledKinds = kinds;
    FillPictureLists(dialog, page, target.source(), kinds);
    if ((kinds & KindBit(kKindString)) != 0 && (fileChanged || !page->stringListReady))
        RefillStrings(dialog, page, target.source());
    FillMessageList(dialog, page, &target.source());
    page->identity = now;
    // A command noted before a modal loop acts only on the filling it saw.
    if (fileChanged)
        ++page->fillGeneration;
    page->targetChanged = 0;
    page->refillFailed = 0;
    page->drawingRefillWanted = 0;

    // A member is kept only in the group it was chosen in.
    if (!SelectKeptName(dialog, page, kKindIcon, &names[kKindIcon]))
        page->memberSelIcon = -1;
    if (!SelectKeptName(dialog, page, kKindCursor, &names[kKindCursor]))
        page->memberSelCursor = -1;
    SelectKeptName(dialog, page, kKindBitmap, &names[kKindBitmap]);
    SelectKeptName(dialog, page, kKindAvi, &names[kKindAvi]);
    if (fileChanged)
        SelectKeptIds(strings, page, ids, idCount);
    InvalidateLists(dialog);
    page->currentKind = -1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kKindDropDown, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kKindDropDown)));
    page->rebuilding = 0;
}

}  // namespace

void RebuildForChangedTarget(HWND dialog, PageState* page) {
    if (page == nullptr)
        return;
    page->rebuildPosted = 0;
    if (!page->started || (!page->targetChanged && !page->drawingRefillWanted))
        return;
    RefillLists(dialog, page);
}

void RebuildPictureLists(HWND dialog, PageState* page, bool displayChanged) {
    // A page that is starting is built with the sizes it reads; one whose
    // start failed has nothing to rebuild.
    if (page == nullptr || !page->started)
        return;
    StopClipPlayback(page);
    // Inside a fill the sizes are read when the refill comes, at the next
    // paint or command.
    if (page->rebuilding) {
        page->drawingRefillWanted = 1;
        return;
    }
    const bool sizesChanged = ReadDrawingSizes(dialog);
    // Settings broadcasts are frequent: lists drawn with unchanged sizes stay
    // as they are, selections included.
    if (!displayChanged && !sizesChanged)
        return;
    page->drawingRefillWanted = 1;
    // New sizes are drawn anew even where an earlier refill found the file
    // closed.
    page->refillFailed = 0;
    RefillLists(dialog, page);
}
