#include "page/lists/StringListView.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "catalogue/StringRows.h"
#include "catalogue/WideStringRows.h"
#include "common/DrawnText.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/texts/RowTexts.h"
#include "page/lists/PaintTarget.h"
#include "page/lists/RowTextAnswer.h"
#include "page/lists/StringListRowId.h"
#include "page/state/ControlHooks.h"
#include "page/state/DialogFont.h"
#include "page/state/DialogResult.h"
#include "page/state/PageState.h"
#include "page/state/PageStores.h"
#include "page/state/RowTextCache.h"
#include "page/state/TargetIdentity.h"

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

// The text of the virtual list's row as it shows it, from the cache of row
// texts, read into it on a miss with one opening for the row and its
// neighbours; null when the file has no text for the row or cannot be read.
const char* StringRowText(PageState* page, int32_t row, int32_t* length) {
    const char* text = nullptr;
    CachedRow cached = CachedRowText(page, row, &text, length);
    if (!KeptTextsHold(page, cached != kRowNotCached))
        return nullptr;
    if (cached == kRowNotCached) {
        TargetForNow target(page);
        if (!target.opened())
            return nullptr;
        FillRowTexts(page, target.source(), row);
        cached = CachedRowText(page, row, &text, length);
        uint16_t id = 0;
        // A text too long to keep is read on its own.
        if (cached == kRowNotCached &&
            StringRowId(page->stringRows, page->stringRowCount, row, &id))
            return ReadStringRowText(target.source(), id, TextBufferOfPage(page), length);
    }
    return cached == kRowText ? text : nullptr;
}

// The row's text in its own letters, where the system takes texts so and the
// file is a 32-bit one; null elsewhere (the narrow text stands).
const wchar_t* WideRowText(PageState* page, uint16_t id, int32_t* units) {
    if (page == nullptr || !theModule.wideRows || page->stringRows == nullptr ||
        page->targetChanged)
        return nullptr;
    TargetForNow target(page);
    if (!target.opened())
        return nullptr;
    return ReadWideStringRowText(target.source(), id, TextBufferOfPage(page), units);
}

// Draws a row's text from (x, y): control characters as C escapes, at most
// as many units as the oldest systems draw. The wide text, when there is
// one, else the narrow one in the system's code page.
void DrawRowText(PageState* page, HWND list, HDC dc, int x, int y, const wchar_t* wide,
                 int32_t units, const char* narrow, int32_t length) {
    HGLOBAL converted = nullptr;
    if (wide == nullptr) {
        const int drawnBytes = DrawnTextLength(static_cast<size_t>(length));
        const int count = MultiByteToWideChar(CP_ACP, 0, narrow, drawnBytes, nullptr, 0);
        converted = count > 0 ? GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(count) * 2) : nullptr;
        if (converted == nullptr)
            return;
        units = MultiByteToWideChar(CP_ACP, 0, narrow, drawnBytes, static_cast<wchar_t*>(converted),
                                    count);
        wide = static_cast<const wchar_t*>(converted);
    }
    DrawEscapedRowText(
        list, dc, x, y, wide, units, static_cast<size_t>(kLongestDrawnText) + 1,
        page != nullptr && page->stringRows != nullptr ? &page->stringColumnWanted : nullptr);
    if (converted != nullptr)
        GlobalFree(converted);
}

// The text of a column of the row with identifier id: the identifier column's
// as the row draws it (in idText), the text column's from the file.
const char* RowColumnText(PageState* page, int32_t row, uint16_t id, int subItem,
                          char (&idText)[kRowIdTextSize], int32_t* length) {
    if (subItem == 0) {
        const char* digits = RowIdText(id, idText);
        *length = static_cast<int32_t>(strlen(digits));
        return digits;
    }
    return subItem == 1 ? StringRowText(page, row, length) : nullptr;
}

// The bytes of a narrow answer, or the characters of a wide one, that fit the
// asker's buffer of capacity units with its terminator: never half a
// character.
size_t FittingBytes(const char* text, int32_t length, int capacity, bool wide) {
    CPINFO info = {};
    LeadBytes lead = {};
    if (GetCPInfo(CP_ACP, &info))
        memcpy(lead.ranges, info.LeadByte, sizeof(lead.ranges));
    const size_t room = static_cast<size_t>(capacity - 1);
    return WholeCharacterPrefix(text, static_cast<size_t>(length), wide ? SIZE_MAX : room,
                                wide ? room : SIZE_MAX, lead);
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
    int32_t units = 0;
    const wchar_t* own = wide && item->iSubItem == 1 ? WideRowText(page, id, &units) : nullptr;
    if (own != nullptr) {
        AnswerRowText(item, true, own, units);
        return;
    }
    int32_t length = 0;
    char idText[kRowIdTextSize];
    const char* text = RowColumnText(page, item->iItem, id, item->iSubItem, idText, &length);
    const size_t kept = text != nullptr ? FittingBytes(text, length, item->cchTextMax, wide) : 0;
    if (wide) {
        wchar_t* out = reinterpret_cast<wchar_t*>(item->pszText);
        const int units = kept == 0 ? 0
                                    : MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(kept),
                                                          out, item->cchTextMax - 1);
        out[units > 0 ? units : 0] = L'\0';
        return;
    }
    if (kept != 0)
        memcpy(item->pszText, text, kept);
    item->pszText[kept] = '\0';
}

// LVN_ODFINDITEM of a virtual list: a row by its parameter, the identifier,
// searched as a list with rows of its own searches them; a row is never found
// by its text, which the list's own rows never had.
int FindRow(const PageState* page, const NMLVFINDITEMA* find) {
    if (!(find->lvfi.flags & LVFI_PARAM))
        return -1;
    return FindRowOfId(reinterpret_cast<const uint16_t*>(page->stringRows), page->stringRowCount,
                       find->iStart, static_cast<uint32_t>(find->lvfi.lParam),
                       (find->lvfi.flags & LVFI_WRAP) != 0);
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
bool GetNarrowRowText(PageState* page, WPARAM row, LVITEMA* item, LRESULT* result) {
    if (page == nullptr || page->stringRows == nullptr || item == nullptr ||
        item->pszText == nullptr || item->cchTextMax <= 0)
        return false;
    LVITEMA asked = *item;
    asked.mask = LVIF_TEXT;
    asked.iItem = static_cast<int>(row);
    asked.pszText[0] = '\0';
    AnswerRowInfo(page, &asked, false);
    *result = lstrlenA(asked.pszText);
    return true;
}

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
    bool known = false;
    if (page != nullptr && StringRowId(page->stringRows, page->stringRowCount, item->itemID, &id)) {
        known = true;
        // Nothing of a file that changed is shown: the row keeps its ID
        // until the rebuild that follows the paint.
        if (!page->targetChanged)
            text = StringRowText(page, static_cast<int32_t>(item->itemID), &length);
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
            known = true;
            text = row.pszText;
            length = static_cast<int32_t>(strlen(text));
        }
    }
    if (page != nullptr && page->targetChanged)
        text = nullptr;
    // A row whose text cannot be read still shows its ID.
    if (known) {
        char idDigits[16];
        TextWriter idText = StartText(idDigits, sizeof(idDigits));
        AppendDecimal(&idText, id);
        int idLength = static_cast<int>(idText.length);
        UINT previousAlign = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        TextOutA(dc, x - 4, r.top + 1, idDigits, idLength);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        if (text != nullptr) {
            int32_t units = 0;
            const wchar_t* wide = WideRowText(page, id, &units);
            DrawRowText(page, list, dc, x + 4, r.top + 1, wide, units,
                        wide != nullptr ? nullptr : text, length);
        }
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
