#include "page/dialog/ListHooks.h"

#include <commctrl.h>

#include "common/PageControls.h"
#include "page/access/PageAccessible.h"
#include "page/commands/ContextMenu.h"
#include "page/commands/CopySelection.h"
#include "page/commands/SaveSelection.h"
#include "page/dialog/LateFill.h"
#include "page/dialog/MenuKey.h"
#include "page/dialog/VirtualStringList.h"
#include "page/lists/MessageListView.h"
#include "page/lists/PaintTarget.h"
#include "page/lists/StringListView.h"
#include "page/state/ControlHooks.h"

namespace {

const WPARAM kCtrlC = 3;
const WPARAM kCtrlS = 19;

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

// A list the opening left unfilled is filled before its first paint, and
// before a screen reader that asks for it before it was ever shown reads it.
void FillBeforeShownOrAsked(HWND list, UINT message) {
    if (message == WM_PAINT || message == WM_GETOBJECT)
        FillListLate(list);
}

// The template's string list while it may still be made virtual. Not while
// the page starts or refills, whose lists stand as they are until it ends.
bool StringListReplaceable(HWND list) {
    const PageState* page = FindPageState(GetParent(list));
    return page != nullptr && page->started && !page->rebuilding && !page->stringListReady &&
           (GetWindowLongA(list, GWL_STYLE) & LVS_OWNERDATA) == 0;
}

// A screen reader asking for the string list before its kind was first shown
// gets the virtual list's object, filled as when shown; the list it asked is
// gone then.
bool ReplacedBeforeAsked(HWND list, LPARAM objectId, HWND* replacement) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT || !StringListReplaceable(list))
        return false;
    *replacement = MakeStringListVirtual(GetParent(list), StringListHook);
    return *replacement != nullptr;
}

// Another object of the template's list (its window's, which a walk of the
// page's windows asks for first) holds no rows: filling the list for it would
// put in every row one by one and keep the list from being made virtual.
bool AskedWithoutRows(HWND list, UINT message, LPARAM objectId) {
    return message == WM_GETOBJECT && static_cast<LONG>(objectId) != OBJID_CLIENT &&
           StringListReplaceable(list);
}

}  // namespace

LRESULT CALLBACK CopyingListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    FillBeforeShownOrAsked(list, message);
    if (message == WM_PAINT)
        return PaintWithOneOpening(list, wParam, lParam);
    if (message == WM_CHAR && CommandOnKey(list, wParam))
        return 0;
    if (OnMenuKey(list, message, wParam))
        return 0;
    LRESULT answer = 0;
    if (AnswerAccessMessage(list, message, wParam, lParam, &answer))
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

LRESULT CALLBACK StringListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND replacement = nullptr;
    if (message == WM_GETOBJECT && ReplacedBeforeAsked(list, lParam, &replacement))
        return SendMessageA(replacement, WM_GETOBJECT, wParam, lParam);
    if (!AskedWithoutRows(list, message, lParam))
        FillBeforeShownOrAsked(list, message);
    if (message == WM_PAINT)
        return PaintWithOneOpening(list, wParam, lParam);
    HWND dialog = GetParent(list);
    if (message == LVM_GETITEMA || message == LVM_GETITEMW)
        return GetRowWithParameter(list, FindPageState(dialog), message, wParam, lParam);
    LRESULT narrow = 0;
    if (message == LVM_GETITEMTEXTA &&
        GetNarrowRowText(FindPageState(dialog), wParam, reinterpret_cast<LVITEMA*>(lParam),
                         &narrow))
        return narrow;
    if (message == WM_CHAR && CommandOnKey(list, wParam))
        return 0;
    if (OnMenuKey(list, message, wParam))
        return 0;
    // The system's object for a list view has no name under every system:
    // the page adds the list's caption.
    LRESULT answer = 0;
    if (AnswerAccessMessage(list, message, wParam, lParam, &answer))
        return answer;
    LRESULT result = CallPreviousProc(list, message, wParam, lParam);
    if (message == WM_ERASEBKGND)
        DrawBackgroundSeparator(list, FindPageState(dialog), reinterpret_cast<HDC>(wParam));
    return result;
}

LRESULT CALLBACK MessageListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    FillBeforeShownOrAsked(list, message);
    if (message == WM_PAINT)
        return PaintWithOneOpening(list, wParam, lParam);
    LRESULT narrow = 0;
    if (message == LVM_GETITEMTEXTA &&
        GetNarrowMessageText(FindPageState(GetParent(list)), wParam,
                             reinterpret_cast<LVITEMA*>(lParam), &narrow))
        return narrow;
    if (message == WM_CHAR && CommandOnKey(list, wParam))
        return 0;
    if (OnMenuKey(list, message, wParam))
        return 0;
    // Named by its caption, as the string list is.
    LRESULT answer = 0;
    if (AnswerAccessMessage(list, message, wParam, lParam, &answer))
        return answer;
    return CallPreviousProc(list, message, wParam, lParam);
}
