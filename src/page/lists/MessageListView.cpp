#include "page/lists/MessageListView.h"

#include <commctrl.h>

#include "catalogue/ResourceKinds.h"
#include "common/ErrorReports.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/lists/PaintTarget.h"
#include "page/lists/RowTextAnswer.h"
#include "page/state/DialogResult.h"
#include "page/state/PageStores.h"
#include "page/state/RowTextCache.h"
#include "page/state/TargetIdentity.h"

namespace {

const int kColumnSlack = 8;
// Units of a row's text drawn at most; copies keep it whole.
const size_t kDrawnUnits = 2048;

int TextWidth(HWND list, const char* text) {
    return static_cast<int>(
        SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}

void SetUpColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header != nullptr && SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) > 0)
        return;
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.cx = TextWidth(list, "0x00000000") + kColumnSlack;
    column.pszText = const_cast<char*>("ID");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    RECT client = {};
    GetClientRect(list, &client);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - column.cx;
    column.pszText = const_cast<char*>(" メッセージ");
    column.iSubItem = 1;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
}

// Lists the kind in the drop-down while the file holds messages: it is the
// last kind, so the other kinds keep their places.
void ListMessageKind(HWND dialog, bool listed) {
    HWND dropDown = GetDlgItem(dialog, kKindDropDown);
    const LRESULT count = SendMessageA(dropDown, CB_GETCOUNT, 0, 0);
    if (listed && count == kKindMessage) {
        SendMessageA(
            dropDown, CB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(ResourceKindName(kKindMessage, theModule.legacyShellMode)));
    } else if (!listed && count > kKindMessage) {
        if (SendMessageA(dropDown, CB_GETCURSEL, 0, 0) == kKindMessage)
            SendMessageA(dropDown, CB_SETCURSEL, 0, 0);
        SendMessageA(dropDown, CB_DELETESTRING, kKindMessage, 0);
    }
}

// The row's text as drawn: the break that ends it left off, kept for the
// rows around it. Null when the file cannot give it now.
const wchar_t* RowTextNow(PageState* page, int32_t row, int32_t* units) {
    if (page->targetChanged)
        return nullptr;
    const wchar_t* text = nullptr;
    CachedRow cached = CachedMessageText(page, row, &text, units);
    if (!KeptTextsHold(page, cached != kRowNotCached))
        return nullptr;
    if (cached == kRowNotCached) {
        TargetForNow target(page);
        if (!target.opened())
            return nullptr;
        FillMessageTexts(page, target.source(), row);
        cached = CachedMessageText(page, row, &text, units);
        // A text too long to keep is read on its own.
        if (cached == kRowNotCached)
            return ReadMessageRowText(target.source(), MessageRowsOfPage(page), row, false,
                                      TextBufferOfPage(page), units);
    }
    return cached == kRowText ? text : nullptr;
}

void AnswerRowInfo(PageState* page, LVITEMA* item, bool wide) {
    if (!(item->mask & LVIF_TEXT) || item->pszText == nullptr || item->cchTextMax <= 0)
        return;
    item->pszText[0] = '\0';
    if (wide)
        reinterpret_cast<wchar_t*>(item->pszText)[0] = L'\0';
    // The answer goes into the asker's buffer, never the page's own, which
    // may move while the text is read.
    if (item->pszText == page->textBuffer)
        return;
    char id[12];
    const wchar_t* text = nullptr;
    int32_t units = 0;
    wchar_t idWide[12];
    if (item->iSubItem == 0) {
        if (!MessageRowIdText(page, item->iItem, id))
            return;
        units = MultiByteToWideChar(CP_ACP, 0, id, -1, idWide, 12) - 1;
        text = idWide;
    } else if (item->iSubItem == 1) {
        text = RowTextNow(page, item->iItem, &units);
    }
    if (text == nullptr || units <= 0)
        return;
    AnswerRowText(item, wide, text, units);
}

// The typed text against each row's ID as shown (case-insensitive, for the
// hexadecimal ones), from the start row on.
int FindRowByTypedId(PageState* page, const NMLVFINDITEMA* find, bool wide) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || find->lvfi.psz == nullptr)
        return -1;
    char typed[12];
    int length = 0;
    for (;; ++length) {
        const int c = wide ? reinterpret_cast<const wchar_t*>(find->lvfi.psz)[length]
                           : static_cast<unsigned char>(find->lvfi.psz[length]);
        if (c == 0)
            break;
        if (c > 0x7F || length + 1 >= static_cast<int>(sizeof(typed)))
            return -1;
        typed[length] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    typed[length] = '\0';
    if (length == 0)
        return -1;
    const bool partial = (find->lvfi.flags & LVFI_PARTIAL) != 0;
    const int32_t count = page->messageRowCount;
    const int32_t start = find->iStart < 0 || find->iStart >= count ? 0 : find->iStart;
    for (int32_t pass = 0; pass < count; ++pass) {
        if (start + pass >= count && !(find->lvfi.flags & LVFI_WRAP))
            break;
        const int32_t row = (start + pass) % count;
        char id[12];
        if (!MessageRowIdText(page, row, id))
            continue;
        for (char* c = id; *c != '\0'; ++c)
            *c = static_cast<char>(*c == 'x' ? 'X' : *c);
        int at = 0;
        while (typed[at] != '\0' && id[at] == typed[at])
            ++at;
        if (typed[at] == '\0' && (partial || id[at] == '\0'))
            return row;
    }
    return -1;
}

}  // namespace

bool MessageRowIdText(PageState* page, int32_t row, char (&text)[12]) {
    const MessageRow* message = MessageRowAt(MessageRowsOfPage(page), row);
    if (message == nullptr)
        return false;
    MessageIdText(message->id, text, sizeof(text));
    return true;
}

int FillMessageList(HWND dialog, PageState* page, const ResourceSource* source) {
    HWND list = GetDlgItem(dialog, kMessageList);
    int result = 0;
    // The selected messages' IDs, selected again where the new rows have them.
    uint32_t kept[64];
    int keptCount = 0;
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         list != nullptr && row >= 0 && keptCount < 64;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        const MessageRow* message =
            MessageRowAt(MessageRowsOfPage(page), static_cast<int32_t>(row));
        if (message != nullptr)
            kept[keptCount++] = message->id;
    }
    ClearMessageTexts(page);
    if (source == nullptr) {
        FreeMessageRows(MessageRowsOfPage(page));
    } else if (ReadMessageRows(*source, MessageRowsOfPage(page)) != 0) {
        ReportSystemError(dialog, 2);
        result = -1;
    }
    ListMessageKind(dialog, page->messageRowCount > 0);
    if (list == nullptr)
        return result;
    if (page->messageRowCount > 0)
        SetUpColumns(list);
    page->messageColumnWanted = 0;
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(page->messageRowCount), 0);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    bool any = false;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    for (int32_t row = 0; keptCount > 0 && row < page->messageRowCount; ++row) {
        const uint32_t id = MessageRowAt(MessageRowsOfPage(page), row)->id;
        for (int i = 0; i < keptCount; ++i) {
            if (kept[i] == id) {
                SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&state));
                kept[i] = kept[--keptCount];
                any = true;
                break;
            }
        }
    }
    if (!any && page->messageRowCount > 0)
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    InvalidateRect(list, nullptr, TRUE);
    return result;
}

void ListMessageKindOfTables(HWND dialog, const ResourceSource& source) {
    ListMessageKind(dialog, HoldsMessageTables(source));
}

bool GetNarrowMessageText(PageState* page, WPARAM row, LVITEMA* item, LRESULT* result) {
    if (page == nullptr || item == nullptr || item->pszText == nullptr || item->cchTextMax <= 0)
        return false;
    LVITEMA asked = *item;
    asked.iItem = static_cast<int>(row);
    asked.mask = LVIF_TEXT;
    AnswerRowInfo(page, &asked, false);
    *result = lstrlenA(asked.pszText);
    return true;
}

const wchar_t* MessageRowFullText(PageState* page, const ResourceSource& source, int32_t row,
                                  int32_t* units) {
    const wchar_t* text = ReadMessageRowText(source, MessageRowsOfPage(page), row, true,
                                             TextBufferOfPage(page), units);
    if (text == nullptr)
        SetLastError(ERROR_FILE_INVALID);
    return text;
}

void DrawMessageRow(PageState* page, const DRAWITEMSTRUCT* item) {
    if (page == nullptr || item == nullptr || item->hDC == nullptr)
        return;
    HWND list = item->hwndItem;
    HDC dc = item->hDC;
    const int32_t row = static_cast<int32_t>(item->itemID);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    COLORREF previousText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF previousBack = SetBkColor(dc, GetSysColor(background));
    RECT r = item->rcItem;
    FillRect(dc, &r, GetSysColorBrush(background));
    const int x = r.left + static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    char id[12];
    if (MessageRowIdText(page, row, id)) {
        UINT previousAlign = SetTextAlign(dc, TA_RIGHT | TA_TOP);
        TextOutA(dc, x - 4, r.top + 1, id, lstrlenA(id));
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        int32_t units = 0;
        const wchar_t* text = RowTextNow(page, row, &units);
        DrawEscapedRowText(list, dc, x + 4, r.top + 1, text, units, kDrawnUnits,
                           &page->messageColumnWanted);
        if (previousAlign != GDI_ERROR)
            SetTextAlign(dc, previousAlign);
    }
    SetTextColor(dc, previousText);
    SetBkColor(dc, previousBack);
    if ((item->itemState & ODS_FOCUS) && GetFocus() == list)
        DrawFocusRect(dc, &r);
}

INT_PTR MessageListNotify(HWND dialog, const NMHDR* header) {
    if (header == nullptr || header->idFrom != kMessageList)
        return FALSE;
    if (header->code == LVN_ITEMCHANGED || header->code == LVN_ODSTATECHANGED) {
        const bool anySelected = SendMessageA(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) != 0;
        EnableWindow(GetDlgItem(dialog, kCopyButton), anySelected);
        return FALSE;
    }
    PageState* page = FindPageState(dialog);
    if (page == nullptr)
        return FALSE;
    switch (header->code) {
        case LVN_GETDISPINFOA:
        case LVN_GETDISPINFOW:
            AnswerRowInfo(page, &reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header))->item,
                          header->code == LVN_GETDISPINFOW);
            return FALSE;
        case LVN_ODFINDITEMA:
        case LVN_ODFINDITEMW:
            return Answer(dialog,
                          FindRowByTypedId(page, reinterpret_cast<const NMLVFINDITEMA*>(header),
                                           header->code == LVN_ODFINDITEMW));
        default:
            return FALSE;
    }
}
