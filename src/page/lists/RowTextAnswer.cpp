#include "page/lists/RowTextAnswer.h"

#include <cstring>

#include "formats/texts/ControlEscapes.h"

namespace {

// Room between a column's widest text and its edge, as the fill leaves it.
const int kColumnSlack = 8;
const int kMaxColumnWidth = 32767;

// A virtual list's text column is sized from the rows guessed widest; a row
// that draws wider widens it, once the paint is over.
void WidenForRow(HWND list, HDC dc, const wchar_t* text, int drawn, int32_t* wanted) {
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc, text, drawn, &size))
        return;
    int width = size.cx + kColumnSlack;
    if (width > kMaxColumnWidth)
        width = kMaxColumnWidth;
    const int now = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
    if (width <= now || width <= *wanted)
        return;
    *wanted = width;
    PostMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(width, 0));
}

}  // namespace

void DrawEscapedRowText(HWND list, HDC dc, int x, int y, const wchar_t* text, int32_t units,
                        size_t room, int32_t* wanted) {
    if (text == nullptr || units <= 0 || room == 0)
        return;
    wchar_t* drawn = static_cast<wchar_t*>(GlobalAlloc(GMEM_FIXED, room * sizeof(wchar_t)));
    if (drawn == nullptr)
        return;
    const size_t count =
        EscapeControls(reinterpret_cast<const uint16_t*>(text), static_cast<size_t>(units),
                       reinterpret_cast<uint16_t*>(drawn), room);
    TextOutW(dc, x, y, drawn, static_cast<int>(count));
    if (wanted != nullptr)
        WidenForRow(list, dc, drawn, static_cast<int>(count), wanted);
    GlobalFree(drawn);
}

void AnswerRowText(LVITEMA* item, bool wide, const wchar_t* text, int32_t units) {
    if (wide) {
        wchar_t* out = reinterpret_cast<wchar_t*>(item->pszText);
        int32_t kept = units < item->cchTextMax - 1 ? units : item->cchTextMax - 1;
        // Never half a surrogate pair.
        if (kept > 0 && kept < units && text[kept - 1] >= 0xD800 && text[kept - 1] < 0xDC00)
            --kept;
        memcpy(out, text, static_cast<size_t>(kept) * sizeof(wchar_t));
        out[kept] = L'\0';
        return;
    }
    // A narrow asker gets whole characters of the system's code page.
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
    while (units > 0 && bytes > item->cchTextMax - 1)
        bytes = WideCharToMultiByte(CP_ACP, 0, text, --units, nullptr, 0, nullptr, nullptr);
    bytes = units > 0 ? WideCharToMultiByte(CP_ACP, 0, text, units, item->pszText, bytes, nullptr,
                                            nullptr)
                      : 0;
    item->pszText[bytes > 0 ? bytes : 0] = '\0';
}
