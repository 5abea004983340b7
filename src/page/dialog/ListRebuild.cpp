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

// The name of a list's selected entry, kept across a rebuild: a number, or a
// copy of a text name.
struct KeptName {
    bool kept;
    bool isId;
    uint16_t id;
    char* text;
};

KeptName KeepSelectedName(HWND dialog, PageState* page, int listId) {
    KeptName name = {};
    PictureStore store;
    const uint8_t* record = SelectedPictureRecord(dialog, page, listId, &store);
    if (record == nullptr)
        return name;
    const ResName selected = ReadResName(record + store.fixedPart);
    name.kept = true;
    name.isId = IsIntResName(selected);
    if (name.isId) {
        name.id = ResNameId(selected);
        return name;
    }
    const int length = lstrlenA(selected);
    name.text = static_cast<char*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(length) + 1));
    if (name.text == nullptr)
        name.kept = false;
    else
        memcpy(name.text, selected, static_cast<size_t>(length) + 1);
    return name;
}

bool SameName(const KeptName& kept, ResName name) {
    if (kept.isId)
        return IsIntResName(name) && ResNameId(name) == kept.id;
    return !IsIntResName(name) && lstrcmpA(kept.text, name) == 0;
}

// Selects the entry of the kept name, else the first entry.
void SelectKeptName(HWND dialog, PageState* page, int32_t kind, KeptName* kept) {
    const int listId = ResourceKindList(kind);
    HWND list = GetDlgItem(dialog, listId);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    LRESULT found = count > 0 ? 0 : -1;
    for (LRESULT i = 0; kept->kept && i < count; ++i) {
        PictureStore store;
        const uint8_t* record = PictureRecordOfItem(
            page, listId, static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, i, 0)), &store);
        if (record != nullptr && SameName(*kept, ReadResName(record + store.fixedPart))) {
            found = i;
            break;
        }
    }
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    page->lastSelection[kind] = static_cast<int32_t>(found);
    if (kept->text != nullptr)
        GlobalFree(kept->text);
    *kept = KeptName{};
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

void SetRowSelected(HWND list, LRESULT row, bool selected) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | (selected ? LVIS_FOCUSED : 0);
    state.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
}

// Selects the rows of the kept IDs that the file still has, else the first row.
void SelectKeptIds(HWND list, const PageState* page, uint16_t* ids, int32_t count) {
    SetRowSelected(list, -1, false);
    bool any = false;
    for (int32_t i = 0; i < count; ++i) {
        LRESULT row = -1;
        if (page->stringRows != nullptr) {
            row = FindRowOfId(reinterpret_cast<const uint16_t*>(page->stringRows),
                              page->stringRowCount, -1, ids[i], false);
        } else {
            LVFINDINFOA find = {};
            find.flags = LVFI_PARAM;
            find.lParam = ids[i];
            row = SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(&find));
        }
        if (row >= 0) {
            SetRowSelected(list, row, true);
            any = true;
        }
    }
    if (!any && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0)
        SetRowSelected(list, 0, true);
    if (ids != nullptr)
        GlobalFree(ids);
}

}  // namespace

void RebuildForChangedTarget(HWND dialog, PageState* page) {
    if (page == nullptr || !page->started || !page->targetChanged)
        return;
    // Inside another fill the change is taken up once that fill is over.
    if (page->rebuilding) {
        PostMessageA(dialog, kRebuildForChangedTarget, 0, 0);
        return;
    }
    page->rebuilding = 1;
    StopClipPlayback(page);
    EndPlaybackAtTeardown(dialog, page);
    if (page->currentKind == kKindIcon || page->currentKind == kKindCursor)
        RememberMemberSelection(dialog, page);
    KeptName names[kKindCount] = {};
    for (int kind : kPictureKinds)
        names[kind] = KeepSelectedName(dialog, page, ResourceKindList(kind));
    HWND strings = GetDlgItem(dialog, kStringList);
    int32_t idCount = 0;
    uint16_t* ids = KeepSelectedIds(strings, page, &idCount);

    EmptyMemberList(dialog, page);
    EmptyPictureLists(dialog, page);
    ClearRowTexts(page);
    ReadTargetIdentity(page->target, &page->identity);
    page->targetChanged = 0;
    RefreshLanguages(dialog, page);
    {
        OpenedTarget target(page->target);
        if (target.opened()) {
            FillPictureLists(dialog, page, target.source());
            RefillStringRows(dialog, TextBufferOfPage(page),
                             StringRowArray{&page->stringRows, &page->stringRowCount},
                             target.source());
            FillMessageList(dialog, page, &target.source());
        } else {
            FillMessageList(dialog, page, nullptr);
            // The file went after the change was seen: what it listed is not
            // the file's any more.
            if (page->stringRows != nullptr)
                page->stringRowCount = 0;
            SendMessageA(strings,
                         page->stringRows != nullptr ? LVM_SETITEMCOUNT : LVM_DELETEALLITEMS, 0, 0);
        }
    }
    for (int kind : kPictureKinds)
        SelectKeptName(dialog, page, kind, &names[kind]);
    SelectKeptIds(strings, page, ids, idCount);
    InvalidateRect(strings, nullptr, TRUE);
    page->currentKind = -1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kKindDropDown, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kKindDropDown)));
    page->rebuilding = 0;
}

void RebuildPictureLists(HWND dialog, PageState* page, bool displayChanged) {
    // A page that is starting is built with the sizes it reads; one whose
    // start failed has nothing to rebuild.
    if (page == nullptr || !page->started || page->rebuilding)
        return;
    page->rebuilding = 1;
    bool sizesChanged = ReadDrawingSizes(dialog);
    if (!displayChanged && !sizesChanged) {
        // Settings broadcasts are frequent: lists drawn with unchanged sizes
        // stay as they are, selections included.
        StopClipPlayback(page);
        page->rebuilding = 0;
        return;
    }
    // A playing clip ends before its list goes: the stop request alone would
    // leave the device running over a list being refilled until its end notice.
    StopClipPlayback(page);
    EndPlaybackAtTeardown(dialog, page);
    ReloadPlayGlyphs(dialog, page);
    if (page->currentKind == kKindIcon || page->currentKind == kKindCursor)
        RememberMemberSelection(dialog, page);
    // The group may be gone from the file; the kind selection below lists
    // its members again when it is still there.
    EmptyMemberList(dialog, page);
    EmptyPictureLists(dialog, page);
    {
        OpenedTarget target(page->target);
        if (target.opened())
            FillPictureLists(dialog, page, target.source());
    }
    page->currentKind = -1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kKindDropDown, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kKindDropDown)));
    page->rebuilding = 0;
}
