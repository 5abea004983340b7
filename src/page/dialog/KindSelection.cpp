#include "page/dialog/KindSelection.h"

#include <commctrl.h>

#include "catalogue/GroupMembers.h"
#include "catalogue/ResourceKinds.h"
#include "common/BindProc.h"
#include "common/ErrorReports.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/executables/ResourceRecords.h"
#include "page/commands/CopyMemberImage.h"
#include "page/commands/CopySelection.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/LanguageChoice.h"
#include "page/dialog/LateFill.h"
#include "page/dialog/ListHooks.h"
#include "page/dialog/VirtualStringList.h"
#include "page/lists/ItemTexts.h"
#include "page/lists/PageDrawing.h"
#include "page/lists/PictureItems.h"
#include "page/state/KeptResName.h"
#include "page/state/PageStores.h"
#include "page/state/TargetIdentity.h"

namespace {

void ReportOutOfMemory(HWND dialog) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ReportSystemError(dialog, 2);
}

// The window rectangle of a child in the dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsGroupKind(int32_t kind) {
    return kind == kKindIcon || kind == kKindCursor;
}

// The member caption and list under the shown list; returns the caption's y.
int PlaceMemberList(HWND dialog, HWND shownList) {
    HWND caption = GetDlgItem(dialog, kMemberCaption);
    HWND members = GetDlgItem(dialog, kMemberList);
    int y = ChildRect(dialog, shownList).bottom + 8;
    RECT captionRect = ChildRect(dialog, caption);
    int delta = y - captionRect.top;
    SetWindowPos(caption, nullptr, captionRect.left, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    RECT listRect = ChildRect(dialog, members);
    int height = (listRect.bottom - listRect.top) - delta;
    SetWindowPos(members, nullptr, listRect.left, listRect.top + delta,
                 listRect.right - listRect.left, height < 0 ? 0 : height,
                 SWP_NOZORDER | SWP_SHOWWINDOW);
    return y;
}

// The hot-spot caption over the column in which members draw their hot spot.
void PlaceHotSpotCaption(HWND dialog, int y) {
    HWND members = GetDlgItem(dialog, kMemberList);
    HWND caption = GetDlgItem(dialog, kHotSpotCaption);
    RECT client = {};
    GetClientRect(members, &client);
    MapWindowPoints(members, dialog, reinterpret_cast<POINT*>(&client), 2);
    SIZE depth = {};
    SIZE size = {};
    SIZE hotSpot = {};
    {
        WindowDC dc(dialog);
        if (dc.get() == nullptr)
            return;
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        DCSelection selection(dc.get(), font);
        const char* depthSample = DepthColumnSample(theModule.legacyShellMode);
        GetTextExtentPoint32A(dc.get(), depthSample, lstrlenA(depthSample), &depth);
        GetTextExtentPoint32A(dc.get(), kSizeColumnSample, lstrlenA(kSizeColumnSample), &size);
        GetTextExtentPoint32A(dc.get(), kHotSpotColumnSample, lstrlenA(kHotSpotColumnSample),
                              &hotSpot);
    }
    const int pad = LayOutMemberCell(0, 0, 0, theModule.density).columnPad;
    int right = client.right - pad - depth.cx - size.cx;
    int left = right - hotSpot.cx - pad;
    RECT captionRect = ChildRect(dialog, caption);
    int x = (left + right - (captionRect.right - captionRect.left)) >> 1;
    SetWindowPos(caption, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

// A caption as wide as its text in the page's font, so that it stays on one
// line (the template's width wraps some labels in some typefaces), but never
// reaching into the control that follows it on its row.
void FitCaptionToText(HWND dialog, int captionId, int nextId) {
    HWND caption = GetDlgItem(dialog, captionId);
    char text[64];
    GetWindowTextA(caption, text, sizeof(text));
    RECT measured = {0, 0, 0, 0};
    {
        WindowDC dc(dialog);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        DCSelection selection(dc.get(), font);
        if (dc.get() == nullptr ||
            DrawTextA(dc.get(), text, -1, &measured, DT_CALCRECT | DT_SINGLELINE) == 0)
            return;
    }
    RECT rect = ChildRect(dialog, caption);
    int room = ChildRect(dialog, GetDlgItem(dialog, nextId)).left - rect.left;
    int width = measured.right < room ? measured.right : room;
    SetWindowPos(caption, nullptr, 0, 0, width > 0 ? width : 0, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What the closed drop-down adds to the width of the text it shows: its
// frame and button, as the control itself reports them where it can
// (GetComboBoxInfo, Windows 98 and NT 4 SP6 on), else as the system's
// metrics make them; and a little air on either side of the text.
int DropDownChrome(HWND dropDown, int windowWidth) {
    int air = 2 * GetSystemMetrics(SM_CXEDGE);
    BOOL(WINAPI * comboInfo)(HWND, COMBOBOXINFO*) = nullptr;
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user != nullptr)
        BindProc(user, "GetComboBoxInfo", &comboInfo);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (comboInfo != nullptr && comboInfo(dropDown, &info) &&
        info.rcItem.right > info.rcItem.left) {
        return windowWidth - (info.rcItem.right - info.rcItem.left) + air;
    }
    return GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE) + air;
}

// The kind drop-down at least as wide as its longest kind name in the
// dialog's font (the template's width cuts names in some typefaces), as far
// as the lists' right edge allows; never narrower than it is.
void FitKindDropDown(HWND dialog) {
    HWND dropDown = GetDlgItem(dialog, kKindDropDown);
    int widest = 0;
    {
        WindowDC dc(dialog);
        if (dc.get() == nullptr)
            return;
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dropDown, WM_GETFONT, 0, 0));
        DCSelection selection(dc.get(), font);
        for (int kind = 0; kind < kKindCount; ++kind) {
            const char* name = ResourceKindName(kind, theModule.legacyShellMode);
            SIZE size = {};
            if (GetTextExtentPoint32A(dc.get(), name, lstrlenA(name), &size) && size.cx > widest)
                widest = size.cx;
        }
    }
    RECT rect = ChildRect(dialog, dropDown);
    const int width = rect.right - rect.left;
    int wanted = widest + DropDownChrome(dropDown, width);
    int room = ChildRect(dialog, GetDlgItem(dialog, kIconList)).right - rect.left;
    // Never into the language drop-down's label where it is shown.
    HWND languageLabel = GetDlgItem(dialog, kLanguageLabel);
    // (Its own style: the page itself is not yet visible while it starts.)
    if (languageLabel != nullptr && (GetWindowLongA(languageLabel, GWL_STYLE) & WS_VISIBLE) &&
        ChildRect(dialog, languageLabel).left - 4 - rect.left < room)
        room = ChildRect(dialog, languageLabel).left - 4 - rect.left;
    wanted = wanted < room ? wanted : room;
    if (wanted <= width)
        return;
    // A drop-down's height is that of its open list: kept as it is.
    RECT dropped = {};
    int height = rect.bottom - rect.top;
    if (SendMessageA(dropDown, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&dropped), 2);
        if (dropped.bottom - rect.top > height)
            height = dropped.bottom - rect.top;
    }
    SetWindowPos(dropDown, nullptr, 0, 0, wanted, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shows the entry's name in 1002: a text name in double quotes, an integer as
// its number.
void ShowEntryName(HWND dialog, PageState* page, ResName name) {
    if (IsIntResName(name)) {
        char number[8];
        wsprintfA(number, "%u", static_cast<unsigned>(ResNameId(name)));
        SetDlgItemTextA(dialog, kIdDisplay, number);
        return;
    }
    TextBuffer text = TextBufferOfPage(page);
    if (page->textBuffer == nullptr || GrowTextBuffer(text, lstrlenA(name) + 3) != 0) {
        SetDlgItemTextA(dialog, kIdDisplay, "");
        return;
    }
    // wsprintfA stops at 1024 characters; a name may be longer.
    char* out = page->textBuffer;
    int length = lstrlenA(name);
    out[0] = '"';
    memcpy(out + 1, name, static_cast<size_t>(length));
    out[length + 1] = '"';
    out[length + 2] = '\0';
    SetDlgItemTextA(dialog, kIdDisplay, out);
}

// The selected member can go to the clipboard: it has an image copy that the
// copy can convert.
bool SelectedMemberIsCopyable(HWND dialog, PageState* page) {
    const GroupMember* member = SelectedMember(dialog, page);
    return member != nullptr && MemberIsCopyable(*member);
}

void SelectEntry(HWND dialog, PageState* page, int listId, HWND list) {
    int32_t kind = page->currentKind;
    // Only the shown list's notifications count.
    if (!IsResourceKind(kind) || IsRowKind(kind) || ResourceKindList(kind) != listId)
        return;
    int32_t selection = static_cast<int32_t>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (selection == page->lastSelection[kind])
        return;
    if (page->lastSelection[kind] >= 0) {
        if (kind == kKindIcon)
            page->memberSelIcon = -1;
        else if (kind == kKindCursor)
            page->memberSelCursor = -1;
    }
    StopClipPlayback(page);
    page->lastSelection[kind] = selection;
    if (IsGroupKind(kind))
        EmptyMemberList(dialog, page);
    PictureStore store;
    uint8_t* record = SelectedPictureRecord(dialog, page, listId, &store);
    if (record == nullptr) {
        SetDlgItemTextA(dialog, kIdDisplay, "");
        EnableWindow(GetDlgItem(dialog, kCopyButton), FALSE);
        return;
    }
    ResName name = ReadResName(record + store.fixedPart);
    ShowEntryName(dialog, page, name);
    ShowEntryLanguage(dialog, page, kind, name);
    bool copyable = false;
    if (kind == kKindBitmap) {
        copyable = ReadPictureField(record) != kPictureUnavailable;
    } else if (kind == kKindAvi) {
        copyable = true;
    } else {
        DWORD error = 0;
        // A file that changed lists no members: the rebuild that follows
        // lists the new file's. The opening read the identity a moment ago,
        // in this same message.
        if (page->started && CheckPageTarget(page, true, &error) == kTargetChanged) {
            EnableWindow(GetDlgItem(dialog, kCopyButton), FALSE);
            return;
        }
        // A report box inside the listing runs messages: the name is the
        // listing's own copy, and a refill among them, which would rewrite
        // the stores and the members under the listing, waits for the next
        // paint or command.
        KeptResName group = {};
        if (!KeepResName(name, &group)) {
            ReportOutOfMemory(dialog);
            return;
        }
        const int32_t wasRebuilding = page->rebuilding;
        page->rebuilding = 1;
        // A file locked now lists no members; the member list's next paint
        // or screen reader lists them again.
        page->membersUnlisted =
            ListGroupMembers(dialog, page->target, MemberArrayOfPage(page), KeptResNameOf(group),
                             kind == kKindCursor,
                             kind == kKindIcon ? page->memberSelIcon : page->memberSelCursor,
                             OrderMembers)
                ? 0
                : 1;
        page->rebuilding = wasRebuilding;
        FreeKeptResName(&group);
        copyable = SelectedMemberIsCopyable(dialog, page);
    }
    EnableWindow(GetDlgItem(dialog, kCopyButton), copyable);
}

// A double-click, or a screen reader's default action, on a clip: stops the
// clip when it is the one playing, else plays it. The click that selected it
// stopped another clip, which counts as playing until its device's notice
// comes; an action done at once comes before that notice, so that playback
// is let go here, and the chosen clip plays rather than the old one stopping
// a second time.
void PlayOrStopChosenClip(HWND dialog, PageState* page, HWND list) {
    const LRESULT chosen = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (page->playingIndex >= 0 && page->playingIndex != chosen)
        EndPlaybackAtTeardown(dialog, page);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPlayButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kPlayButton)));
}

void SelectKind(HWND dialog, PageState* page) {
    int32_t kind =
        static_cast<int32_t>(SendDlgItemMessageA(dialog, kKindDropDown, CB_GETCURSEL, 0, 0));
    if (!IsResourceKind(kind) || kind == page->currentKind)
        return;
    if (IsGroupKind(page->currentKind)) {
        RememberMemberSelection(dialog, page);
        EmptyMemberList(dialog, page);
    }
    page->currentKind = kind;
    if (kind == kKindString && !page->stringListReady)
        MakeStringListVirtual(dialog, StringListHook);
    // A refill for a changed file has shown the kind itself.
    if (FillKindLate(dialog, page, kind) == kLateFillRefilled)
        return;
    // A message kind whose tables gave no rows is no longer listed.
    if (SendDlgItemMessageA(dialog, kKindDropDown, CB_GETCURSEL, 0, 0) != kind) {
        SelectKind(dialog, page);
        return;
    }

    char caption[64];
    wsprintfA(caption, "%s一覧(&L):", ResourceKindName(kind, theModule.legacyShellMode));
    SetDlgItemTextA(dialog, kListCaption, caption);
    // The shown list is never hidden on the way: a refill shows the same kind
    // again, and hiding the list with the keyboard focus would hand the focus
    // to the kind drop-down, where the next arrow key changes the kind.
    for (int k = 0; k < kKindCount; ++k) {
        if (k != kind)
            ShowWindow(GetDlgItem(dialog, ResourceKindList(k)), SW_HIDE);
    }
    HWND list = GetDlgItem(dialog, ResourceKindList(kind));
    ShowWindow(list, SW_SHOW);

    int memberY = 0;
    if (IsGroupKind(kind)) {
        memberY = PlaceMemberList(dialog, list);
    } else {
        ShowWindow(GetDlgItem(dialog, kMemberCaption), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, kMemberList), SW_HIDE);
    }

    bool showId = !IsRowKind(kind);
    if (!showId) {
        LRESULT selected = SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
        EnableWindow(GetDlgItem(dialog, kCopyButton), selected != 0);
    } else if (SendMessageA(list, LB_GETCURSEL, 0, 0) < 0) {
        SetDlgItemTextA(dialog, kIdDisplay, "");
        EnableWindow(GetDlgItem(dialog, kCopyButton), FALSE);
    } else {
        page->lastSelection[kind] = -1;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ResourceKindList(kind), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    ShowWindow(GetDlgItem(dialog, kIdLabel), showId ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, kIdDisplay), showId ? SW_SHOW : SW_HIDE);

    if (kind == kKindCursor)
        PlaceHotSpotCaption(dialog, memberY);
    else
        ShowWindow(GetDlgItem(dialog, kHotSpotCaption), SW_HIDE);
    FitCaptionToText(dialog, kListCaption, kIdLabel);
    FitCaptionToText(dialog, kMemberCaption, kHotSpotCaption);
    FitKindDropDown(dialog);

    HWND play = GetDlgItem(dialog, kPlayButton);
    if (kind == kKindAvi) {
        RECT playRect = ChildRect(dialog, play);
        SetWindowPos(play, nullptr, playRect.left, ChildRect(dialog, list).bottom + 8, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        EnableWindow(play, SendMessageA(list, LB_GETCURSEL, 0, 0) >= 0);
    } else {
        ShowWindow(play, SW_HIDE);
    }
}

}  // namespace

void RememberMemberSelection(HWND dialog, PageState* page) {
    const GroupMember* member = page->memberCount != 0 ? SelectedMember(dialog, page) : nullptr;
    const int32_t imageId = member != nullptr ? member->imageId : -1;
    if (page->currentKind == kKindIcon)
        page->memberSelIcon = imageId;
    else
        page->memberSelCursor = imageId;
}

void EmptyMemberList(HWND dialog, PageState* page) {
    if (page->members != nullptr)
        FreeGroupMembers(MemberArrayOfPage(page));
    page->memberCount = 0;
    page->membersUnlisted = 0;
    SendDlgItemMessageA(dialog, kMemberList, LB_RESETCONTENT, 0, 0);
}

void OnPageCommand(HWND dialog, int controlId, int code, HWND control) {
    PageState* page = FindPageState(dialog);
    if (page == nullptr)
        return;
    switch (controlId) {
        case kKindDropDown:
            if (code == CBN_SELCHANGE)
                SelectKind(dialog, page);
            else if (code == CBN_ERRSPACE)
                ReportOutOfMemory(dialog);
            return;
        case kIconList:
        case kBitmapList:
        case kCursorList:
        case kAviList:
            if (code == LBN_SELCHANGE)
                SelectEntry(dialog, page, controlId, control);
            else if (code == LBN_DBLCLK && controlId == kAviList)
                PlayOrStopChosenClip(dialog, page, control);
            else if (code == LBN_ERRSPACE)
                ReportOutOfMemory(dialog);
            return;
        case kMemberList:
            // Each member decides for itself whether the page can copy it.
            if (code == LBN_SELCHANGE && IsGroupKind(page->currentKind))
                EnableWindow(GetDlgItem(dialog, kCopyButton),
                             SelectedMemberIsCopyable(dialog, page));
            return;
        case kLanguageDropDown:
            OnLanguageCommand(dialog, page, code);
            return;
        case kPlayButton:
            if (page->playingIndex < 0)
                StartClipPlayback(dialog, page);
            else
                StopClipPlayback(page);
            return;
        case kCopyButton:
            CopySelection(dialog, page);
            return;
        default:
            return;
    }
}
