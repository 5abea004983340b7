#include "page/commands/WideStringCopy.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/StringRows.h"
#include "catalogue/WideStringRows.h"
#include "common/ModuleState.h"
#include "media/ClipboardPut.h"
#include "page/state/PageStores.h"

HGLOBAL SelectedStringsWide(HWND list, PageState* page, const ResourceSource& source) {
    if (!theModule.wideRows || page->stringRows == nullptr || source.module == nullptr)
        return nullptr;
    SIZE_T room = 256;
    SIZE_T used = 0;
    HGLOBAL block = AllocateClipboardBlock(room * sizeof(wchar_t));
    for (LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         block != nullptr && row >= 0;
         row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)) {
        uint16_t id = 0;
        int32_t units = 0;
        const wchar_t* text =
            StringRowId(page->stringRows, page->stringRowCount, row, &id)
                ? ReadWideStringRowText(source, id, TextBufferOfPage(page), &units)
                : nullptr;
        const SIZE_T needed = used + static_cast<SIZE_T>(units) + 3;
        HGLOBAL grown =
            text == nullptr || needed > 0x3FFFFFFF ? nullptr
            : needed <= room
                ? block
                : GlobalReAlloc(block, (needed > room * 2 ? needed : room * 2) * 2, GMEM_MOVEABLE);
        wchar_t* out = grown != nullptr ? static_cast<wchar_t*>(GlobalLock(grown)) : nullptr;
        if (out == nullptr) {
            GlobalFree(grown != nullptr ? grown : block);
            return nullptr;
        }
        if (needed > room)
            room = needed > room * 2 ? needed : room * 2;
        block = grown;
        memcpy(out + used, text, static_cast<size_t>(units) * sizeof(wchar_t));
        used += static_cast<SIZE_T>(units);
        out[used++] = L'\r';
        out[used++] = L'\n';
        out[used] = L'\0';
        GlobalUnlock(block);
    }
    return block;
}
