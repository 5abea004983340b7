#include "catalogue/StringList.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "common/DrawnText.h"
#include "common/ErrorReports.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/StringBlock.h"

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

// Appends one row: the identifier as its parameter, text as subitem 1.
int AddStringRow(uint16_t id, const char* text, StringFillContext* context) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = context->rowCount;
    item.lParam = id;
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

// Bytes of the ANSI code page per UTF-16 unit at worst: 2 in a double-byte
// code page, more where the system code page is UTF-8.
int32_t AnsiBytesPerUnit() {
    CPINFO info = {};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 2)
        return static_cast<int32_t>(info.MaxCharSize);
    return 2;
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

// Leaves the list at the smallest height that still shows as many whole rows
// as it does now, so no part-row is left at the bottom.
void FitHeightToRows(HWND list) {
    RECT window = {};
    int rows = CountPerPage(list);
    if (rows <= 0 || !GetWindowRect(list, &window))
        return;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
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

int FillStringList(HWND dialog, const TextBuffer& text, const ResourceSource& source,
                   HWND* header) {
    *header = nullptr;
    HWND list = GetDlgItem(dialog, kStringList);
    if (list == nullptr)
        return 0;
    *header = FindListHeader(list);

    int idWidth = 0;
    InsertColumns(list, *header, &idWidth);
    RECT client = {};
    GetClientRect(list, &client);
    StringFillContext context = {
        dialog, list, &text, &source, 0, 0, client.right - client.left - idWidth - kColumnSlack};

    if (source.module != nullptr) {
        EnumResourceNamesA(source.module, ResourceKindType(kKindString), AddModuleBlock,
                           reinterpret_cast<LONG_PTR>(&context));
    } else if (source.isNeImage) {
        EnumNeResources(source.image, ResourceKindType(kKindString), AddNeBlock, &context);
    }

    int textColumn = context.textWidth + kColumnSlack;
    if (textColumn < 0)
        textColumn = 0;
    if (textColumn > kMaxColumnWidth)
        textColumn = kMaxColumnWidth;
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(textColumn, 0));
    FitHeightToRows(list);

    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        SendMessageA(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareStringIds));
        LVITEMA selected = {};
        selected.stateMask = LVIS_SELECTED;
        selected.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    }
    return context.failed ? -1 : 0;
}
