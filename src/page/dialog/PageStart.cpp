#include "page/dialog/PageStart.h"

#include <commctrl.h>

#include <initializer_list>

#include "catalogue/ListFill.h"
#include "catalogue/ResourceKinds.h"
#include "catalogue/StringList.h"
#include "common/ErrorReports.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/executables/ResourceRecords.h"
#include "page/access/AccessLink.h"
#include "page/access/PageAccessible.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/KindSelection.h"
#include "page/dialog/LanguageChoice.h"
#include "page/dialog/ListHooks.h"
#include "page/dialog/PlayGlyphs.h"
#include "page/lists/LivePictures.h"
#include "page/lists/MessageListView.h"
#include "page/lists/PageDrawing.h"
#include "page/lists/StringListView.h"
#include "page/state/ControlHooks.h"
#include "page/state/DialogFont.h"
#include "page/state/PageStores.h"
#include "page/state/RowTextCache.h"
#include "page/state/TargetIdentity.h"

namespace {

// Everything a teardown or a later message may look at, in a state that says
// "nothing exists yet", before the first step that can fail.
void ClearPageState(PageState* page) {
    *page = PageState{};
    page->currentKind = -1;
    for (int32_t& selection : page->lastSelection)
        selection = -1;
    page->memberSelIcon = -1;
    page->memberSelCursor = -1;
    page->playingIndex = -1;
    page->rebuilding = 1;
}

bool FillKindDropDown(HWND dialog) {
    HWND dropDown = GetDlgItem(dialog, kKindDropDown);
    for (int kind = 0; kind < kAlwaysListedKinds; ++kind) {
        const char* name = ResourceKindName(kind, theModule.legacyShellMode);
        if (SendMessageA(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)) ==
            CB_ERRSPACE) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
    }
    SendMessageA(dropDown, CB_SETCURSEL, 0, 0);
    return true;
}

bool AllocateBlock(SIZE_T bytes, uint8_t** block) {
    *block = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, bytes));
    return *block != nullptr;
}

bool AllocateStores(PageState* page) {
    page->textBufferSize = 256;
    uint8_t* text = nullptr;
    bool allocated =
        AllocateBlock(128, &page->iconStore) && AllocateBlock(320, &page->bitmapStore) &&
        AllocateBlock(128, &page->cursorStore) && AllocateBlock(448, &page->aviStore) &&
        AllocateBlock(static_cast<SIZE_T>(MemberArrayBytes(kInitialMemberRoom)), &page->members) &&
        AllocateBlock(256, &text);
    page->textBuffer = reinterpret_cast<char*>(text);
    return allocated;
}

// The opening fills only the list it shows: the other kinds are filled when
// first shown or asked for (LateFill), which keeps the sheet's opening short
// on files of thousands of strings or pictures.
void FillLists(HWND dialog, PageState* page) {
    RefreshLanguages(dialog, page);
    OpenedTarget target(page->target);
    // Only an identity read while the fill holds the file open is the lists'.
    // A file that opens neither way (locked, gone) lists nothing, silently,
    // and is tried again at the next paint or command.
    if (!target.opened() || !ReadTargetIdentity(page->target, &page->identity)) {
        page->identity = TargetIdentity{};
        page->targetChanged = 1;
        page->refillFailed = 1;
        return;
    }
    ListMessageKindOfTables(dialog, target.source());
    const LRESULT shown = SendDlgItemMessageA(dialog, kKindDropDown, CB_GETCURSEL, 0, 0);
    FillKinds(dialog, page, target.source(),
              KindBit(IsResourceKind(static_cast<int>(shown)) ? static_cast<int>(shown) : 0));
}

void StopStart(HWND dialog) {
    ReportSystemError(dialog, 3);
    SendDlgItemMessageA(dialog, kKindDropDown, CB_RESETCONTENT, 0, 0);
}

}  // namespace

void ReadTextHeight(HWND dialog) {
    int height = 0;
    if (ReadDialogTextHeight(dialog, &height))
        theModule.textHeight = height;
    int density = ReadDialogDensity(dialog);
    if (density > 0)
        theModule.density = density;
}

int FillPictureLists(HWND dialog, PageState* page, const ResourceSource& source, int32_t kinds) {
    ResourceListStores stores = {};
    PictureStoreOfPage(page, kKindIcon, &stores.icon);
    PictureStoreOfPage(page, kKindBitmap, &stores.bitmap);
    PictureStoreOfPage(page, kKindCursor, &stores.cursor);
    PictureStoreOfPage(page, kKindAvi, &stores.avi);
    stores.text = TextBufferOfPage(page);
    return FillResourceLists(dialog, stores, source, ModuleListMetrics(), page->lastSelection,
                             OrderRecordNames, static_cast<uint32_t>(kinds));
}

int FillKinds(HWND dialog, PageState* page, const ResourceSource& source, int32_t kinds) {
    const int32_t pictures =
        KindBit(kKindIcon) | KindBit(kKindBitmap) | KindBit(kKindCursor) | KindBit(kKindAvi);
    // A list that ran out of memory keeps what it got and is not tried again
    // until the next refill: the shortage is reported once.
    page->filledKinds |= kinds;
    if ((kinds & pictures) != 0 && FillPictureLists(dialog, page, source, kinds & pictures) != 0)
        return -1;
    int result = 0;
    if ((kinds & KindBit(kKindString)) != 0 && FillPageStringList(dialog, page, source) != 0)
        result = -1;
    if ((kinds & KindBit(kKindMessage)) != 0 && FillMessageList(dialog, page, &source) != 0)
        result = -1;
    return result;
}

int FillPageStringList(HWND dialog, PageState* page, const ResourceSource& source) {
    HWND header = nullptr;
    const int result =
        FillStringList(dialog, TextBufferOfPage(page),
                       StringRowArray{&page->stringRows, &page->stringRowCount}, source, &header);
    page->stringHeader = header;
    if (header != nullptr)
        HookControl(header, HeaderHook);
    page->stringListReady = 1;
    return result;
}

void StartPage(HWND dialog, LPARAM description) {
    SetWindowLongPtrA(dialog, DWLP_USER, description);
    PageState* page = FindPageState(dialog);
    if (page == nullptr)
        return;
    ClearPageState(page);
    page->window = dialog;
    page->target = FindTargetPath(dialog);
    if (theModule.legacyShellMode) {
        SetDlgItemTextA(dialog, kMemberCaption, "ｸﾞﾙｰﾌﾟ(&G):");
        SetDlgItemTextA(dialog, kCopyButton, "ｺﾋﾟｰ(&C)");
    }
    ReadTextHeight(dialog);
    LoadPlayGlyphs(page);
    if (theModule.themedPlatform)
        SendMessageA(dialog, WM_THEMECHANGED, 0, 0);
    if (!page->themedPlayButton) {
        SendDlgItemMessageA(dialog, kPlayButton, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(page->playBitmap));
    }
    for (PageControl id : {kIconList, kBitmapList, kCursorList, kAviList})
        HookControl(GetDlgItem(dialog, id), CopyingListHook);
    // Made virtual when first shown or asked for.
    HookControl(GetDlgItem(dialog, kStringList), StringListHook);
    HookControl(GetDlgItem(dialog, kMessageList), MessageListHook);
    for (PageControl id : {kPlayButton, kIdDisplay})
        HookControl(GetDlgItem(dialog, id), SpokenControlHook);
    HookControl(GetDlgItem(dialog, kLanguageDropDown), LanguageDropDownHook);

    HWND aviList = GetDlgItem(dialog, kAviList);
    page->mciHost = CreateWindowExA(0, kMciHostClassName, "", WS_CHILD, 0, 0, 1, 1, aviList,
                                    nullptr, theModule.moduleHandle, nullptr);
    if (page->mciHost == nullptr) {
        ReportSystemError(dialog, 3);
        return;
    }
    // The list never paints over the video.
    SetWindowLongPtrA(aviList, GWL_STYLE, GetWindowLongPtrA(aviList, GWL_STYLE) | WS_CLIPCHILDREN);
    HookControl(GetDlgItem(dialog, kMemberList), CopyingListHook);
    if (!FillKindDropDown(dialog) || !AllocateStores(page)) {
        StopStart(dialog);
        return;
    }
    FillLists(dialog, page);
    page->currentKind = -1;
    page->memberSelIcon = -1;
    page->memberSelCursor = -1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kKindDropDown, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kKindDropDown)));
    page->rebuilding = 0;
    page->started = 1;
}

void DiscardPictureLists(HWND dialog, PageState* page) {
    for (int32_t kind : {kKindIcon, kKindBitmap, kKindCursor, kKindAvi}) {
        PictureStore store;
        if (PictureStoreOfPage(page, kind, &store))
            FreeListPictures(store, GetDlgItem(dialog, ResourceKindList(kind)));
    }
    ForgetLivePictures(page);
}

void EndPage(HWND dialog) {
    PageState* page = FindPageState(dialog);
    if (page == nullptr)
        return;
    // First: an object a screen reader holds reads nothing of what follows.
    CutAccessLink(page);
    EndPlaybackAtTeardown(dialog, page);
    DiscardPictureLists(dialog, page);
    for (uint8_t** store :
         {&page->iconStore, &page->bitmapStore, &page->cursorStore, &page->aviStore}) {
        if (*store != nullptr)
            GlobalFree(*store);
        *store = nullptr;
    }
    page->iconStoreUsed = page->bitmapStoreUsed = page->cursorStoreUsed = page->aviStoreUsed = 0;
    if (page->members != nullptr) {
        FreeGroupMembers(MemberArrayOfPage(page));
        GlobalFree(page->members);
        page->members = nullptr;
    }
    if (page->stringRows != nullptr)
        GlobalFree(page->stringRows);
    page->stringRows = nullptr;
    page->stringRowCount = 0;
    ClearRowTexts(page);
    FreeMessageRows(MessageRowsOfPage(page));
    FreeLanguages(page);
    if (page->paintSourceOpen)
        CloseResourceSource(&page->paintSource);
    page->paintSourceOpen = 0;
    if (page->textBuffer != nullptr)
        GlobalFree(page->textBuffer);
    page->textBuffer = nullptr;
    page->textBufferSize = 0;
    if (page->stringHeader != nullptr)
        UnhookControl(page->stringHeader);
    for (PageControl id : {kIconList, kBitmapList, kCursorList, kStringList, kAviList, kMemberList,
                           kPlayButton, kMessageList})
        UnhookControl(GetDlgItem(dialog, id));
    page->stringHeader = nullptr;
    if (page->playBitmap != nullptr)
        DeleteObject(page->playBitmap);
    if (page->stopBitmap != nullptr)
        DeleteObject(page->stopBitmap);
    page->playBitmap = page->stopBitmap = nullptr;
    page->started = 0;
}
