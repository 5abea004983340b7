#include "page/lists/StringListRowId.h"

#include <commctrl.h>

#include "catalogue/StringRows.h"

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
