#include "page/lists/StringListView.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/StringRows.h"
#include "common/DrawnText.h"
#include "common/GdiOwners.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "page/lists/PaintTarget.h"
#include "page/lists/StringListRowId.h"
#include "page/state/ControlHooks.h"
#include "page/state/DialogFont.h"
#include "page/state/DialogResult.h"
#include "page/state/PageState.h"
#include "page/state/PageStores.h"

namespace {

const COLORREF kSeparatorColour = RGB(128, 128, 128);
// Room between a column's widest text and its edge, as the fill leaves it.
const int kColumnSlack = 8;
const int kMaxColumnWidth = 32767;

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

// A virtual list's text column is sized from the rows guessed widest; a row
// that draws wider widens it, once the paint is over.
void WidenForRow(PageState* page, HWND list, HDC dc, const char* text, int drawn) {
    SIZE size = {};
    if (!GetTextExtentPoint32A(dc, text, drawn, &size))
        return;
    int wanted = size.cx + kColumnSlack;
    if (wanted > kMaxColumnWidth)
        wanted = kMaxColumnWidth;
    const int now = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
    if (wanted <= now || wanted <= page->stringColumnWanted)
        return;
    page->stringColumnWanted = wanted;
    PostMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(wanted, 0));
}

// The text of string id as the virtual list shows it, in the page's buffer.
const char* StringRowText(PageState* page, uint16_t id, int32_t* length) {
    TargetForNow target(page);
    if (!target.opened())
        return nullptr;
    return ReadStringRowText(target.source(), id, TextBufferOfPage(page), length);
}

// LVN_GETDISPINFO of a virtual list: the identifier as the row's parameter
// and, as drawn, as its own text (never drawn by the list: the rows are
// owner-drawn), the text as subitem 1.
void AnswerRowInfo(PageState* page, LVITEMA* item, bool wide) {
    uint16_t id = 0;
    if (!StringRowId(page->stringRows, page->stringRowCount, item->iItem, &id))
        return;
    if (item->mask & LVIF_PARAM)
        item->lParam = id;
    if (!(item->mask & LVIF_TEXT) || item->pszText == nullptr || item->cchTextMax <= 0)
        return;
    // The answer is written into the asker's buffer; the page's own buffer
    // may move while the text is read, so it is never the asker's.
    if (item->pszText == page->textBuffer) {
        item->pszText[0] = '\0';
        return;
    }
    int32_t length = 0;
    char idText[kRowIdTextSize];
    const char* text = item->iSubItem == 0   ? RowIdText(id, idText)
                       : item->iSubItem == 1 ? StringRowText(page, id, &length)
                                             : nullptr;
    if (wide) {
        wchar_t* out = reinterpret_cast<wchar_t*>(item->pszText);
        out[0] = L'\0';
        if (text != nullptr &&
            MultiByteToWideChar(CP_ACP, 0, text, -1, out, item->cchTextMax) == 0) {
            out[item->cchTextMax - 1] = L'\0';
        }
        return;
    }
    lstrcpynA(item->pszText, text != nullptr ? text : "", item->cchTextMax);
}

// LVN_ODFINDITEM of a virtual list: a row by its parameter, the identifier;
// a row is never found by its text, which the list's own rows never had.
int FindRow(const PageState* page, const NMLVFINDITEMA* find) {
    if (!(find->lvfi.flags & LVFI_PARAM))
        return -1;
    const uint16_t* ids = reinterpret_cast<const uint16_t*>(page->stringRows);
    const int32_t start =
        find->iStart < 0 || find->iStart >= page->stringRowCount ? 0 : find->iStart;
    for (int32_t row = start; row < page->stringRowCount; ++row) {
        if (ids[row] == find->lvfi.lParam)
            return row;
    }
    for (int32_t row = 0; (find->lvfi.flags & LVFI_WRAP) && row < start; ++row) {
        if (ids[row] == find->lvfi.lParam)
            return row;
    }
    return -1;
}

}  // namespace

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

// A virtual list keeps no row parameters and asks for none: the row's
// identifier is added here, so that the list answers as one with rows of its
// own does. Both forms of the message carry it at the same place.
LRESULT GetRowWithParameter(HWND list, PageState* page, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    const LRESULT result = CallPreviousProc(list, message, wParam, lParam);
    LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
    uint16_t id = 0;
    if (result && item != nullptr && (item->mask & LVIF_PARAM) && page != nullptr &&
        StringRowId(page->stringRows, page->stringRowCount, item->iItem, &id)) {
        item->lParam = id;
    }
    return result;
}

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

    uint16_t id = 0;
    int32_t length = 0;
    const char* text = nullptr;
    // The page's buffer holds the longest string it loaded; before the page
    // is reachable a local one serves.
    char local[256] = "";
    if (page != nullptr && StringRowId(page->stringRows, page->stringRowCount, item->itemID, &id)) {
        text = StringRowText(page, id, &length);
    } else {
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
            id = static_cast<uint16_t>(row.lParam);
            text = row.pszText;
            length = static_cast<int32_t>(strlen(text));
        }
    }
    if (text != nullptr) {
        char idDigits[16];
        TextWriter idText = StartText(idDigits, sizeof(idDigits));
        AppendDecimal(&idText, id);
        int idLength = static_cast<int>(idText.length);
        UINT previousAlign = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        TextOutA(dc, x - 4, r.top + 1, idDigits, idLength);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        const int drawn = DrawnTextLength(static_cast<size_t>(length));
        TextOutA(dc, x + 4, r.top + 1, text, drawn);
        if (previousAlign != GDI_ERROR)
            SetTextAlign(dc, previousAlign);
        if (page != nullptr && page->stringRows != nullptr)
            WidenForRow(page, list, dc, text, drawn);
    }

    SetTextColor(dc, previousText);
    SetBkColor(dc, previousBack);
    if ((item->itemState & ODS_FOCUS) && GetFocus() == list)
        DrawFocusRect(dc, &r);
}

INT_PTR StringListNotify(HWND dialog, const NMHDR* header) {
    if (header == nullptr || header->idFrom != kStringList)
        return FALSE;
    if (header->code == LVN_ITEMCHANGED || header->code == LVN_ODSTATECHANGED) {
        bool anySelected = SendMessageA(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) != 0;
        EnableWindow(GetDlgItem(dialog, kCopyButton), anySelected);
        return FALSE;
    }
    PageState* page = FindPageState(dialog);
    if (page == nullptr || page->stringRows == nullptr)
        return FALSE;
    const int typedRow = FindRowByIdText(page, header);
    if (typedRow >= 0)
        return Answer(dialog, typedRow);
    switch (header->code) {
        case LVN_GETDISPINFOA:
        case LVN_GETDISPINFOW:
            AnswerRowInfo(page, &reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header))->item,
                          header->code == LVN_GETDISPINFOW);
            return FALSE;
        case LVN_ODFINDITEMA:
        case LVN_ODFINDITEMW:
            // Both forms carry the parameter at the same place.
            return Answer(dialog, FindRow(page, reinterpret_cast<const NMLVFINDITEMA*>(header)));
        default:
            return FALSE;
    }
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
