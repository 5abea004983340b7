#include "page/dialog/ListRebuild.h"

#include <initializer_list>

#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/KindSelection.h"
#include "page/dialog/PageStart.h"
#include "page/dialog/PlayGlyphs.h"
#include "page/lists/PageDrawing.h"
#include "page/state/PageStores.h"

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

}  // namespace

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
