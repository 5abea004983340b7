#include "page/lists/StringListRowId.h"

#include <commctrl.h>

#include "catalogue/StringRows.h"
#include "formats/bytes/TextWriter.h"

bool ListStringRowId(const PageState* page, HWND list, LRESULT row, uint16_t* id) {
    if (page != nullptr && page->stringRows != nullptr)
        return StringRowId(page->stringRows, page->stringRowCount, row, id);
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(row);
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    *id = static_cast<uint16_t>(item.lParam);
    return true;
}

const char* RowIdText(uint16_t id, char (&text)[kRowIdTextSize]) {
    TextWriter writer = StartText(text, sizeof(text));
    AppendDecimal(&writer, id);
    return text;
}

namespace {

// The typed text as narrow digits; false when it holds anything else, which
// no identifier's text starts with.
bool TypedDigits(const NMLVFINDITEMA* find, bool wide, char (&digits)[kRowIdTextSize]) {
    int length = 0;
    for (;; ++length) {
        const int character = wide ? reinterpret_cast<const wchar_t*>(find->lvfi.psz)[length]
                                   : find->lvfi.psz[length];
        if (character == 0)
            break;
        if (character < '0' || character > '9' || length + 1 >= kRowIdTextSize)
            return false;
        digits[length] = static_cast<char>(character);
    }
    digits[length] = '\0';
    return length > 0;
}

bool IdMatches(uint16_t id, const char* typed, bool partial) {
    char text[kRowIdTextSize];
    RowIdText(id, text);
    int at = 0;
    for (; typed[at] != '\0'; ++at) {
        if (text[at] != typed[at])
            return false;
    }
    return partial || text[at] == '\0';
}

}  // namespace

int FindRowByIdText(const PageState* page, const NMHDR* header) {
    const NMLVFINDITEMA* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
    if (page == nullptr || page->stringRows == nullptr || header == nullptr ||
        (header->code != LVN_ODFINDITEMA && header->code != LVN_ODFINDITEMW) ||
        !(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || (find->lvfi.flags & LVFI_PARAM) ||
        find->lvfi.psz == nullptr) {
        return -1;
    }
    char typed[kRowIdTextSize];
    if (!TypedDigits(find, header->code == LVN_ODFINDITEMW, typed))
        return -1;
    const bool partial = (find->lvfi.flags & LVFI_PARTIAL) != 0;
    const int32_t count = page->stringRowCount;
    const int32_t start = find->iStart < 0 || find->iStart >= count ? 0 : find->iStart;
    for (int32_t pass = 0; pass < count; ++pass) {
        const int32_t row = start + pass < count ? start + pass : start + pass - count;
        if (start + pass >= count && !(find->lvfi.flags & LVFI_WRAP))
            break;
        uint16_t id = 0;
        if (StringRowId(page->stringRows, count, row, &id) && IdMatches(id, typed, partial))
            return row;
    }
    return -1;
}
