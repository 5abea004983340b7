#include "page/StringListView.h"

#include <commctrl.h>

#include <cstring>

#include "common/DrawnText.h"
#include "common/GdiOwners.h"
#include "common/PageControls.h"
#include "formats/TextWriter.h"
#include "page/ControlHooks.h"
#include "page/CopyCommands.h"
#include "page/CopySelection.h"
#include "page/DialogFont.h"
#include "page/PageState.h"
#include "page/PageStores.h"
#include "page/SaveSelection.h"

namespace {

const COLORREF kSeparatorColour = RGB(128, 128, 128);

int IdColumnWidth(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
}

// A one-pixel grey vertical line; the pen is made for this line only.
void DrawSeparator(HDC dc, int x, int top, int bottom) {
    GdiObject pen(CreatePen(PS_SOLID, 0, kSeparatorColour));
    if (pen.get() == nullptr)
        return;
    DCSelection selection(dc, pen.get());
    if (!selection.selected())
        return;
    POINT previous = {};
    MoveToEx(dc, x, top, &previous);
    LineTo(dc, x, bottom);
    MoveToEx(dc, previous.x, previous.y, nullptr);
}

// Continues the column boundary below the last row, from the header's bottom
// edge down (from the client top when the list has no header we know of).
void DrawBackgroundSeparator(HWND list, const PageState* page, HDC dc) {
    RECT client = {};
    if (dc == nullptr || !GetClientRect(list, &client))
        return;
    int top = client.top;
    RECT header = {};
    if (page != nullptr && page->stringHeader != nullptr &&
        GetWindowRect(page->stringHeader, &header)) {
        POINT corner = {header.right, header.bottom};
        ScreenToClient(list, &corner);
        top = corner.y;
    }
    int x = IdColumnWidth(list) - GetScrollPos(list, SB_HORZ) - 1;
    DrawSeparator(dc, x, top, client.bottom);
}

}  // namespace

UINT StringRowHeight(HWND dialog) {
    int height = 0;
    return ReadDialogTextHeight(dialog, &height) ? static_cast<UINT>(height + 2) : 0;
}

void DrawStringRow(HWND dialog, const DRAWITEMSTRUCT* item) {
    DrawStringRow(FindPageState(dialog), item);
}

void DrawStringRow(PageState* page, const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->hDC == nullptr)
        return;
    HWND list = item->hwndItem;
    HDC dc = item->hDC;
    LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count <= 0 || item->itemID >= static_cast<UINT>(count))
        return;

    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    COLORREF previousText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF previousBack = SetBkColor(dc, GetSysColor(background));
    RECT r = item->rcItem;
    FillRect(dc, &r, GetSysColorBrush(background));
    const int x = r.left + IdColumnWidth(list);
    DrawSeparator(dc, x - 1, r.top, r.bottom);

    // The page's buffer holds the longest string it loaded; before the page
    // is reachable a local one serves.
    char local[256] = "";
    LVITEMA row = {};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = static_cast<int>(item->itemID);
    row.iSubItem = 1;
    row.cchTextMax = sizeof(local);
    row.pszText = ScratchText(page, local, &row.cchTextMax);
    row.pszText[0] = '\0';
    // The list may answer with a pointer to its own copy of the text.
    if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) &&
        row.pszText != nullptr) {
        char id[16];
        TextWriter idText = StartText(id, sizeof(id));
        AppendDecimal(&idText, static_cast<uint32_t>(row.lParam));
        int idLength = static_cast<int>(idText.length);
        UINT previousAlign = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        TextOutA(dc, x - 4, r.top + 1, id, idLength);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        TextOutA(dc, x + 4, r.top + 1, row.pszText, DrawnTextLength(strlen(row.pszText)));
        if (previousAlign != GDI_ERROR)
            SetTextAlign(dc, previousAlign);
    }

    SetTextColor(dc, previousText);
    SetBkColor(dc, previousBack);
    if ((item->itemState & ODS_FOCUS) && GetFocus() == list)
        DrawFocusRect(dc, &r);
}

INT_PTR StringListNotify(HWND dialog, const NMHDR* header) {
    if (header == nullptr || header->idFrom != kStringList)
        return FALSE;
    if (header->code == LVN_ITEMCHANGED) {
        bool anySelected = SendMessageA(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) != 0;
        EnableWindow(GetDlgItem(dialog, kCopyButton), anySelected);
    }
    return FALSE;
}

LRESULT CALLBACK StringListHook(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND dialog = GetParent(list);
    // Ctrl+C arrives as character 3, consumed only when the page copies;
    // Ctrl+S as 19.
    if (message == WM_CHAR && wParam == 3 && IsWindowEnabled(GetDlgItem(dialog, kCopyButton))) {
        CopySelection(dialog, FindPageState(dialog));
        return 0;
    }
    if (message == WM_CHAR && wParam == 19) {
        SaveSelection(dialog, FindPageState(dialog), kStringList);
        return 0;
    }
    if (OnMenuKey(list, message, wParam))
        return 0;
    LRESULT result = CallPreviousProc(list, message, wParam, lParam);
    if (message == WM_ERASEBKGND)
        DrawBackgroundSeparator(list, FindPageState(dialog), reinterpret_cast<HDC>(wParam));
    return result;
}

LRESULT CALLBACK HeaderHook(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            // Never the column-resize cursor: the columns cannot be resized.
            return DefWindowProcA(header, message, wParam, lParam);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            return 0;
        default:
            return CallPreviousProc(header, message, wParam, lParam);
    }
}
