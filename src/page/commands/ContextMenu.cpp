#include "page/commands/ContextMenu.h"

#include <windowsx.h>
#include <commctrl.h>

#include <cstddef>

#include "common/ErrorReports.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/commands/CommandSubject.h"
#include "page/commands/CopySelection.h"
#include "page/commands/SaveSelection.h"

namespace {

const UINT kCopyCommand = 1;
const UINT kSaveCommand = 2;
// The page's control under a point in screen coordinates, or 0.
int ControlAt(HWND dialog, POINT point) {
    if (!ScreenToClient(dialog, &point))
        return 0;
    HWND child = ChildWindowFromPointEx(dialog, point, CWP_SKIPINVISIBLE);
    // Outside every control the dialog itself answers; its number is the
    // sheet's, not one of ours.
    if (child == nullptr || child == dialog)
        return 0;
    return GetDlgCtrlID(child);
}

// value moved into [low, end), or low when that is empty.
LONG Within(LONG value, LONG low, LONG end) {
    if (value >= end)
        value = end - 1;
    return value < low ? low : value;
}

// Where a menu asked for from the keyboard opens: the top left corner of the
// selected entry, kept inside the list (an entry may be scrolled out of
// view), or the list's own corner without a selection. False when source is
// no control of the page's.
bool KeyboardMenuPoint(HWND dialog, HWND source, int* listId, POINT* screen) {
    if (source == nullptr || source == dialog || GetParent(source) != dialog)
        return false;
    *listId = GetDlgCtrlID(source);
    RECT client = {};
    GetClientRect(source, &client);
    RECT entry = client;
    if (*listId == kStringList || *listId == kMessageList) {
        LRESULT row = SendMessageA(source, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                   LVNI_SELECTED | LVNI_FOCUSED);
        if (row < 0)
            row = SendMessageA(source, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
        RECT rowRect = {};
        rowRect.left = LVIR_BOUNDS;
        if (row >= 0 && SendMessageA(source, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&rowRect)) != 0) {
            entry = rowRect;
        }
    } else {
        LRESULT selected = SendMessageA(source, LB_GETCURSEL, 0, 0);
        RECT itemRect = {};
        if (selected >= 0 && SendMessageA(source, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                          reinterpret_cast<LPARAM>(&itemRect)) != LB_ERR) {
            entry = itemRect;
        }
    }
    POINT corner = {Within(entry.left, client.left, client.right),
                    Within(entry.top, client.top, client.bottom)};
    MapWindowPoints(source, nullptr, &corner, 1);
    *screen = corner;
    return true;
}

// One string item of the menu, greyed when its command cannot run.
bool AddMenuItem(HMENU menu, UINT position, UINT command, char* text, bool enabled) {
    MENUITEMINFOA item = {};
    // The size without the last field: the oldest shells refuse the longer form.
    item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    item.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE;
    item.fType = MFT_STRING;
    item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    item.wID = command;
    item.dwTypeData = text;
    return InsertMenuItemA(menu, position, TRUE, &item) != FALSE;
}

}  // namespace

bool CopyEnabled(HWND dialog) {
    return IsWindowEnabled(GetDlgItem(dialog, kCopyButton)) != FALSE;
}

bool OffersCopyMenu(int controlId) {
    return controlId == kBitmapList || controlId == kStringList || controlId == kAviList ||
           controlId == kMemberList || controlId == kMessageList;
}

void ShowCopyMenu(HWND dialog, HWND source, LPARAM point) {
    // Monitors left of or above the primary one have negative coordinates.
    POINT screen = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    int listId = 0;
    // A menu asked for from the keyboard names no point: it belongs to the
    // control the key was pressed in, never to what lies under (-1, -1).
    if (screen.x == -1 && screen.y == -1) {
        if (!KeyboardMenuPoint(dialog, source, &listId, &screen))
            return;
    } else {
        listId = ControlAt(dialog, screen);
    }
    const bool copy = CopyEnabled(dialog);
    const bool save = SaveAvailable(dialog, listId);
    if (!OffersCopyMenu(listId) || (!copy && !save))
        return;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    char copyText[] = "コピー(&C)";
    char legacyCopyText[] = "ｺﾋﾟｰ(&C)";
    // The label has no katakana to narrow: legacy mode shows it as it is.
    char saveText[] = "名前を付けて保存(&A)...";
    // The menu's loop handles the page's messages, a rebuild for a changed
    // file among them: the command acts only on the entry chosen before it.
    PageState* page = FindPageState(dialog);
    CommandSubject subject;
    const bool noted = page != nullptr && NoteCommandSubject(dialog, page, &subject);
    UINT command = 0;
    if (AddMenuItem(menu, 0, kCopyCommand, theModule.legacyShellMode ? legacyCopyText : copyText,
                    copy) &&
        AddMenuItem(menu, 1, kSaveCommand, saveText, save)) {
        command = static_cast<UINT>(
            TrackPopupMenuEx(menu, TPM_RETURNCMD, screen.x, screen.y, dialog, nullptr));
    }
    DestroyMenu(menu);
    if (command == 0 || page == nullptr)
        return;
    if (!noted) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ReportSystemError(dialog, 2);
        return;
    }
    if (!CommandSubjectStands(dialog, subject))
        return;
    if (command == kCopyCommand)
        CopySelection(dialog, FindPageState(dialog));
    else if (command == kSaveCommand)
        SaveSelection(dialog, FindPageState(dialog), listId);
}
