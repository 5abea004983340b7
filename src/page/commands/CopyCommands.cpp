#include "page/commands/CopyCommands.h"

#include <windowsx.h>
#include <commctrl.h>

#include <cstddef>

#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/access/PageAccessible.h"
#include "page/commands/CopySelection.h"
#include "page/commands/SaveSelection.h"
#include "page/dialog/MenuKey.h"
#include "page/lists/PaintTarget.h"
#include "page/state/ControlHooks.h"

namespace {

const UINT kCopyCommand = 1;
const UINT kSaveCommand = 2;
const WPARAM kCtrlC = 3;
const WPARAM kCtrlS = 19;

bool CopyEnabled(HWND dialog) {
    return IsWindowEnabled(GetDlgItem(dialog, kCopyButton)) != FALSE;
}

// The lists whose selection the copy takes; the icon and cursor lists copy
// through their member list.
bool OffersCopyMenu(int controlId) {
    return controlId == kBitmapList || controlId == kStringList || controlId == kAviList ||
           controlId == kMemberList;
}

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

// A right click selects what lies under the pointer before the menu asks what
// to copy. True when an entry was selected.
bool SelectItemAt(HWND list, LPARAM point) {
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0)
        return false;
    LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, point);
    // The high word is set when the point lies outside the client area.
    if (hit == LB_ERR || HIWORD(hit) != 0 || LOWORD(hit) == 0xFFFF || LOWORD(hit) >= count)
        return false;
    SendMessageA(list, LB_SETCURSEL, LOWORD(hit), 0);
    return true;
}

// Ctrl+C arrives as character 3, consumed only where the page copies; Ctrl+S
// as 19, in every hooked list.
bool CommandOnKey(HWND list, WPARAM character) {
    HWND dialog = GetParent(list);
    const int listId = GetDlgCtrlID(list);
    if (character == kCtrlC && OffersCopyMenu(listId) && CopyEnabled(dialog)) {
        CopySelection(dialog, FindPageState(dialog));
        return true;
    }
    if (character == kCtrlS) {
        SaveSelection(dialog, FindPageState(dialog), listId);
        return true;
    }
    return false;
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
    if (*listId == kStringList) {
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
    if (AddMenuItem(menu, 0, kCopyCommand, theModule.legacyShellMode ? legacyCopyText : copyText,
                    copy) &&
        AddMenuItem(menu, 1, kSaveCommand, saveText, save)) {
        UINT command = static_cast<UINT>(
            TrackPopupMenuEx(menu, TPM_RETURNCMD, screen.x, screen.y, dialog, nullptr));
        if (command == kCopyCommand)
            CopySelection(dialog, FindPageState(dialog));
        else if (command == kSaveCommand)
            SaveSelection(dialog, FindPageState(dialog), listId);
    }
    DestroyMenu(menu);
}

LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT)
        return PaintWithOneOpening(list, wParam, lParam);
    if (message == WM_CHAR && CommandOnKey(list, wParam))
        return 0;
    if (OnMenuKey(list, message, wParam))
        return 0;
    LRESULT answer = 0;
    if (message == WM_GETOBJECT && AnswerAccessibleObject(list, wParam, lParam, &answer))
        return answer;
    if (message == WM_RBUTTONDOWN && OffersCopyMenu(GetDlgCtrlID(list)) &&
        SelectItemAt(list, lParam)) {
        // The page takes the new entry as if it had been clicked: its name,
        // the copy button, the end of a clip that plays.
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    // The list's own right-button handling leads to the context menu.
    return CallPreviousProc(list, message, wParam, lParam);
}
