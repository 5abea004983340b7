#include "catalogue/StringList.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "catalogue/StringRows.h"
#include "common/DrawnText.h"
#include "common/ErrorReports.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/texts/StringBlock.h"

namespace {

// Room between a column's widest text and its edge.
constexpr int kColumnSlack = 8;
// LVM_SETCOLUMNWIDTH carries the width in 16 bits; -1 and -2 would even ask
// for automatic sizing.
constexpr int kMaxColumnWidth = 32767;

struct StringFillContext {
    HWND dialog;
    HWND list;
    const TextBuffer* text;
    const ResourceSource* source;
    int failed;
    int rowCount;
    int textWidth;  // wanted for column 1, raised to the widest string
};

int StringWidth(HWND list, const char* text) {
    const size_t length = strlen(text);
    if (length <= static_cast<size_t>(kLongestDrawnText)) {
        return static_cast<int>(
            SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    }
    // The list would measure the whole text; the row draws only its start.
    WindowDC dc(list);
    if (dc.get() == nullptr)
        return 0;
    DCSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE size = {};
    return GetTextExtentPoint32A(dc.get(), text, DrawnTextLength(length), &size) ? size.cx : 0;
}

// Appends one row: the identifier as its parameter and, as drawn, as its
// own text (which a screen reader speaks; the list never draws it), text as
// subitem 1.
int AddStringRow(uint16_t id, const char* text, StringFillContext* context) {
    char idText[8];
    TextWriter idWriter = StartText(idText, sizeof(idText));
    AppendDecimal(&idWriter, id);
    LVITEMA item = {};
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = context->rowCount;
    item.lParam = id;
    item.pszText = idText;
    int row = static_cast<int>(
        SendMessageA(context->list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row == -1) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    LVITEMA textItem = {};
    textItem.iSubItem = 1;
    textItem.pszText = const_cast<char*>(text);
    if (!SendMessageA(context->list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&textItem))) {
        // A row without its text would only mislead: take it out again.
        SendMessageA(context->list, LVM_DELETEITEM, row, 0);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    ++context->rowCount;
    int width = StringWidth(context->list, text);
    if (width > context->textWidth)
        context->textWidth = width;
    return 0;
}

// The first failure of a walk is reported and ends it.
void FailWalk(StringFillContext* context) {
    ReportSystemError(context->dialog, 2);
    context->failed = 1;
}

BOOL CALLBACK AddModuleBlock(HMODULE module, LPCSTR, LPSTR name, LONG_PTR user) {
    StringFillContext* context = reinterpret_cast<StringFillContext*>(user);
    uint16_t firstId = 0;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!StringBlockFirstId(name, &firstId) ||
        !FindResourceBytes(*context->source, ResourceKindType(kKindString), name, &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return TRUE;
    }
    // The stored lengths size the buffer, so that every string is loaded
    // whole by one call; strings that do not lie inside the block are left
    // alone rather than handed to the platform.
    StoredString strings[kStringsPerBlock];
    uint32_t read = ReadPeStringBlock(data, size, strings);
    const int32_t unitBytes = AnsiBytesPerUnit();
    for (uint32_t i = 0; i < read; ++i) {
        if (strings[i].length == 0)
            continue;
        int32_t limit = static_cast<int32_t>(strings[i].length) * unitBytes + 1;
        if (GrowTextBuffer(*context->text, limit) != 0) {
            FailWalk(context);
            return FALSE;
        }
        char* buffer = *context->text->block;
        buffer[0] = '\0';
        uint16_t id = static_cast<uint16_t>(firstId + i);
        if (LoadStringA(module, id, buffer, limit) <= 0)
            continue;
        if (AddStringRow(id, buffer, context) != 0) {
            FailWalk(context);
            return FALSE;
        }
    }
    return TRUE;
}

int AddNeBlock(ResName name, const uint8_t* data, uint32_t size, void* user) {
    StringFillContext* context = static_cast<StringFillContext*>(user);
    uint16_t firstId = 0;
    if (!StringBlockFirstId(name, &firstId))
        return 1;
    StoredString strings[kStringsPerBlock];
    uint32_t read = ReadNeStringBlock(data, size, strings);
    for (uint32_t i = 0; i < read; ++i) {
        if (strings[i].length == 0)
            continue;
        // A length byte bounds the text: 255 bytes and the terminator. The
        // bytes are the file's own code page, shown unconverted.
        char text[256];
        memcpy(text, data + strings[i].offset, strings[i].length);
        text[strings[i].length] = '\0';
        if (AddStringRow(static_cast<uint16_t>(firstId + i), text, context) != 0) {
            FailWalk(context);
            return 0;
        }
    }
    return 1;
}

HWND FindListHeader(HWND list) {
    if (theModule.modernCommonControls)
        return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    for (HWND child = GetWindow(list, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[33];
        if (GetClassNameA(child, className, 32) > 0 && lstrcmpA(className, "SysHeader32") == 0)
            return child;
    }
    return nullptr;
}

void InsertColumns(HWND list, HWND header, int* idWidth) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.cx = StringWidth(list, "00000") + kColumnSlack;
    // Without a header to centre it, a leading blank keeps the title off the edge.
    column.pszText = const_cast<char*>(header != nullptr ? "ID" : " ID");
    column.iSubItem = 0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    *idWidth = column.cx;

    column = LVCOLUMNA{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<char*>(" 文字列");
    column.iSubItem = 1;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));

    if (header != nullptr) {
        HDITEMA title = {};
        title.mask = HDI_FORMAT;
        if (SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&title))) {
            title.fmt = (title.fmt & ~HDF_RIGHT) | HDF_CENTER;
            SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&title));
        }
    }
}

int CountPerPage(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
}

// The window height at which the list shows rows whole rows and no part-row,
// from its first row's box and its frame; 0 while it has no row.
int GuessFittedHeight(HWND list, int rows, int windowHeight) {
    RECT first = {};
    first.left = LVIR_BOUNDS;
    RECT client = {};
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) <= 0 ||
        !SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) ||
        !GetClientRect(list, &client) || first.bottom <= first.top) {
        return 0;
    }
    const int frame = windowHeight - (client.bottom - client.top);
    return frame + first.top + rows * (first.bottom - first.top);
}

// Leaves the list at the smallest height that still shows as many whole rows
// as it does now, so no part-row is left at the bottom. Each try moves the
// list, so the height its rows call for is tried first; only where the list
// counts otherwise is the height sought pixel by pixel.
void FitHeightToRows(HWND list) {
    RECT window = {};
    int rows = CountPerPage(list);
    if (rows <= 0 || !GetWindowRect(list, &window))
        return;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
    const int guess = GuessFittedHeight(list, rows, height);
    if (guess > 1 && guess <= height) {
        SetWindowPos(list, nullptr, 0, 0, width, guess - 1, flags);
        if (CountPerPage(list) < rows) {
            SetWindowPos(list, nullptr, 0, 0, width, guess, flags);
            if (CountPerPage(list) == rows)
                return;
        }
    }
    for (int tried = height; tried > 0; --tried) {
        SetWindowPos(list, nullptr, 0, 0, width, tried - 1, flags);
        if (CountPerPage(list) < rows) {
            SetWindowPos(list, nullptr, 0, 0, width, tried, flags);
            return;
        }
    }
    SetWindowPos(list, nullptr, 0, 0, width, height, flags);
}

int CALLBACK CompareStringIds(LPARAM first, LPARAM second, LPARAM) {
    if (first < second)
        return -1;
    return first > second ? 1 : 0;
}

}  // namespace

namespace {

int ClampColumn(int width) {
    if (width < 0)
        return 0;
    return width > kMaxColumnWidth ? kMaxColumnWidth : width;
}

// Every row inserted with its text, each measured: the way of a list that
// keeps its rows itself. 0 or -1 (reported) as FillStringList.
int InsertEveryRow(HWND dialog, HWND list, const TextBuffer& text, const ResourceSource& source,
                   int textWidth) {
    StringFillContext context = {dialog, list, &text, &source, 0, 0, textWidth};
    if (source.module != nullptr) {
        EnumResourceNamesA(source.module, ResourceKindType(kKindString), AddModuleBlock,
                           reinterpret_cast<LONG_PTR>(&context));
    } else if (source.isNeImage) {
        EnumNeResources(source.image, ResourceKindType(kKindString), AddNeBlock, &context);
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1,
                 MAKELPARAM(ClampColumn(context.textWidth + kColumnSlack), 0));
    FitHeightToRows(list);
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0)
        SendMessageA(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareStringIds));
    return context.failed ? -1 : 0;
}

// The rows as a count the list draws from the page's identifiers. The text
// column is as wide as the widest of the rows the width guess puts widest; a
// row drawn wider later widens it (DrawStringRow). False when the list keeps
// rows of its own after all (a control older than virtual lists); rows then
// holds none. -1 in *result when memory ran out (reported).
bool SetVirtualRows(HWND dialog, HWND list, const TextBuffer& text, const StringRowArray& rows,
                    const ResourceSource& source, int textWidth, int* result) {
    *result = 0;
    WidestRows widest;
    if (ReadStringRows(source, rows, &widest) != 0) {
        ReportSystemError(dialog, 2);
        *result = -1;
        return true;
    }
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(*rows.count), 0);
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != *rows.count) {
        // The list keeps rows of its own: no identifier of the page's may
        // stand for them, or the commands would look for rows there.
        GlobalFree(*rows.block);
        *rows.block = nullptr;
        *rows.count = 0;
        return false;
    }
    // A virtual list is told apart by its block, even one without rows.
    if (*rows.block == nullptr)
        *rows.block = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, sizeof(uint16_t)));
    for (int32_t i = 0; i < widest.count; ++i) {
        int32_t length = 0;
        const char* row = ReadStringRowText(source, widest.ids[i], text, &length);
        const int width = row != nullptr ? StringWidth(list, row) : 0;
        if (width > textWidth)
            textWidth = width;
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(ClampColumn(textWidth + kColumnSlack), 0));
    FitHeightToRows(list);
    return true;
}

HWND StartStringList(HWND dialog, HWND* header, int* textWidth) {
    *header = nullptr;
    HWND list = GetDlgItem(dialog, kStringList);
    if (list == nullptr)
        return nullptr;
    *header = FindListHeader(list);
    int idWidth = 0;
    InsertColumns(list, *header, &idWidth);
    RECT client = {};
    GetClientRect(list, &client);
    *textWidth = client.right - client.left - idWidth - kColumnSlack;
    return list;
}

void SelectFirstRow(HWND list) {
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) <= 0)
        return;
    LVITEMA selected = {};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
}

}  // namespace

int FillStringList(HWND dialog, const TextBuffer& text, const ResourceSource& source,
                   HWND* header) {
    int textWidth = 0;
    HWND list = StartStringList(dialog, header, &textWidth);
    if (list == nullptr)
        return 0;
    const int result = InsertEveryRow(dialog, list, text, source, textWidth);
    SelectFirstRow(list);
    return result;
}

int FillStringList(HWND dialog, const TextBuffer& text, const StringRowArray& rows,
                   const ResourceSource& source, HWND* header) {
    *rows.count = 0;
    int textWidth = 0;
    HWND list = StartStringList(dialog, header, &textWidth);
    if (list == nullptr)
        return 0;
    int result = 0;
    if ((GetWindowLongA(list, GWL_STYLE) & LVS_OWNERDATA) == 0 ||
        !SetVirtualRows(dialog, list, text, rows, source, textWidth, &result)) {
        result = InsertEveryRow(dialog, list, text, source, textWidth);
    }
    SelectFirstRow(list);
    return result;
}

int RefillStringRows(HWND dialog, const TextBuffer& text, const StringRowArray& rows,
                     const ResourceSource& source) {
    HWND list = GetDlgItem(dialog, kStringList);
    if (list == nullptr)
        return 0;
    if (*rows.block != nullptr) {
        WidestRows widest;
        const int result = ReadStringRows(source, rows, &widest);
        if (result != 0)
            ReportSystemError(dialog, 2);
        SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(*rows.count), 0);
        return result;
    }
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const int textWidth =
        static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0)) - kColumnSlack;
    return InsertEveryRow(dialog, list, text, source, textWidth);
}
