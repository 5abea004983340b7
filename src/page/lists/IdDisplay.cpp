#include "page/lists/IdDisplay.h"

#include <cstring>

#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "page/state/LanguageNaming.h"
#include "page/state/PageState.h"
#include "page/state/PageStores.h"

namespace {

const UINT kIdTextFlags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

// Visual styles are in use only where the platform has them and the
// application is themed now.
bool StylesActive() {
    const ThemeApi& api = theModule.theme;
    return theModule.themedPlatform && api.IsAppThemed != nullptr && api.IsAppThemed() == 1;
}

// The group box's border colour of the current style, else the style's (or
// the system's) shadow colour.
COLORREF ThemedFrameColour(HWND control) {
    const ThemeApi& api = theModule.theme;
    COLORREF colour = GetSysColor(COLOR_BTNSHADOW);
    HANDLE theme = api.OpenThemeData(control, L"Button");
    if (theme == nullptr)
        return colour;
    COLORREF hint = 0;
    const int kGroupBoxPart = 4;
    const int kNormalState = 1;
    const int kBorderColourHint = 3822;
    if (api.GetThemeColor != nullptr &&
        api.GetThemeColor(theme, kGroupBoxPart, kNormalState, kBorderColourHint, &hint) == S_OK) {
        colour = hint;
    } else if (api.GetThemeSysColor != nullptr) {
        colour = api.GetThemeSysColor(theme, COLOR_BTNSHADOW);
    }
    api.CloseThemeData(theme);
    return colour;
}

void DrawThemed(const DRAWITEMSTRUCT* item, const char* text, RECT* textRect) {
    const ThemeApi& api = theModule.theme;
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    if (api.DrawThemeParentBackground != nullptr) {
        api.DrawThemeParentBackground(item->hwndItem, dc, &r);
    } else {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, textRect, kIdTextFlags);
    SetBkMode(dc, oldMode);

    if (api.OpenThemeData == nullptr || api.CloseThemeData == nullptr) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    GdiObject brush(CreateSolidBrush(ThemedFrameColour(item->hwndItem)));
    if (brush.get() != nullptr)
        FrameRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

void ShownIdText(PageState* page, HWND display, char* text, int size) {
    if (size <= 0)
        return;
    text[0] = '\0';
    GetWindowTextA(display, text, size);
    const char* name = page != nullptr && text[0] != '\0' && page->entryLanguage != 0
                           ? NamedLanguage(page, page->entryLanguage)
                           : nullptr;
    if (name == nullptr)
        return;
    const int length = lstrlenA(text);
    const int language = lstrlenA(name);
    if (length + language + 4 > size)
        return;
    text[length] = ' ';
    text[length + 1] = '(';
    memcpy(text + length + 2, name, static_cast<size_t>(language));
    text[length + language + 2] = ')';
    text[length + language + 3] = '\0';
}

void DrawIdDisplay(PageState* page, const DRAWITEMSTRUCT* item) {
    char local[256];
    int size = sizeof(local);
    char* text = ScratchText(page, local, &size);
    ShownIdText(page, item->hwndItem, text, size);

    HDC dc = item->hDC;
    COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    RECT textRect = item->rcItem;
    textRect.left += 4;
    textRect.right -= 4;
    if (StylesActive()) {
        DrawThemed(item, text, &textRect);
    } else {
        RECT r = item->rcItem;
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawTextA(dc, text, -1, &textRect, kIdTextFlags);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}
