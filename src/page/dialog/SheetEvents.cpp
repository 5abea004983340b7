#include "page/dialog/SheetEvents.h"

#include <commctrl.h>
#include <prsht.h>

#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "page/commands/PagePlayback.h"
#include "page/dialog/ListRebuild.h"
#include "page/state/DialogResult.h"
#include "page/state/PageState.h"

namespace {

// Visual-style values of the push button, as the platform's theme tables
// number them.
const int kPushButtonPart = 1;
enum PushButtonState { kNormal = 1, kHot = 2, kPressed = 3, kDisabled = 4, kDefaulted = 5 };
const int kTextShadowType = 4010;
const int kTextShadowOffset = 3402;
const int kTextColour = 3803;
const int kTextShadowColour = 3818;
const int kSingleShadow = 1;
const DWORD kClearWhereSource = 0x220326;  // destination AND NOT source
const COLORREF kNoColour = static_cast<COLORREF>(-1);

// The themed face exists only where version 6 of the common controls runs the
// page: a platform with styles, the library's activation context and the
// controls flag, and a themed application. A sheet may still create the page
// outside that context (some shells ignore the page's context); then the
// button is the system's older one, which sends no custom draw and would stay
// blank, so the button itself is asked: only the newer one knows its ideal size.
bool CanDrawThemedButton(HWND button) {
    const ThemeApi& api = theModule.theme;
    if (!theModule.themedPlatform || !theModule.modernCommonControls ||
        theModule.activationContext == nullptr ||
        theModule.activationContext == INVALID_HANDLE_VALUE || api.IsAppThemed == nullptr ||
        api.IsAppThemed() != 1) {
        return false;
    }
    SIZE ideal = {};
    return SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != 0;
}

int ButtonState(UINT itemState) {
    if (itemState & CDIS_DISABLED)
        return kDisabled;
    if (itemState & CDIS_SELECTED)
        return kPressed;
    if (itemState & CDIS_HOT)
        return kHot;
    if (itemState & CDIS_FOCUS)
        return kDefaulted;
    return kNormal;
}

struct GlyphColours {
    COLORREF glyph;
    int shadowType;
    POINT shadowOffset;
    COLORREF shadow;
};

// The button text's colours and shadow in the current theme; the system's
// colours and no shadow where the theme says nothing.
GlyphColours ReadGlyphColours(HWND dialog, UINT itemState) {
    bool disabled = (itemState & CDIS_DISABLED) != 0;
    int systemColour = disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    GlyphColours colours = {GetSysColor(systemColour), 0, {0, 0}, kNoColour};
    const ThemeApi& api = theModule.theme;
    if (api.OpenThemeData == nullptr || api.CloseThemeData == nullptr)
        return colours;
    HANDLE theme = api.OpenThemeData(dialog, L"Button");
    if (theme == nullptr)
        return colours;
    int state = ButtonState(itemState);
    if (api.GetThemeEnumValue != nullptr)
        api.GetThemeEnumValue(theme, kPushButtonPart, state, kTextShadowType, &colours.shadowType);
    bool single = colours.shadowType == kSingleShadow;
    if (single && api.GetThemePosition != nullptr)
        api.GetThemePosition(theme, kPushButtonPart, state, kTextShadowOffset,
                             &colours.shadowOffset);
    HRESULT textColour = E_FAIL;
    if (api.GetThemeColor != nullptr) {
        textColour = api.GetThemeColor(theme, kPushButtonPart, state, kTextColour, &colours.glyph);
        if (single)
            api.GetThemeColor(theme, kPushButtonPart, state, kTextShadowColour, &colours.shadow);
    }
    if (textColour != S_OK && api.GetThemeSysColor != nullptr)
        colours.glyph = api.GetThemeSysColor(theme, systemColour);
    api.CloseThemeData(theme);
    return colours;
}

// Two blits write colour into exactly the glyph's pixels: the first clears
// them (white glyph, destination AND NOT source), the second ORs the colour
// in. The face the theme painted around the glyph stays.
void BlitGlyph(HDC dc, HDC glyph, const SIZE& size, int x, int y, COLORREF colour) {
    SetTextColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, size.cx, size.cy, glyph, 0, 0, kClearWhereSource);
    SetTextColor(dc, colour);
    BitBlt(dc, x, y, size.cx, size.cy, glyph, 0, 0, SRCPAINT);
}

void PaintGlyph(HWND dialog, const PageState* page, const NMCUSTOMDRAW& draw) {
    GlyphColours colours = ReadGlyphColours(dialog, draw.uItemState);
    MemoryDC memory(draw.hdc);
    HBITMAP glyph = page->playingIndex >= 0 ? page->stopBitmap : page->playBitmap;
    // The glyph was made at the screen's density: it is drawn at its own size.
    BITMAP bitmap = {};
    if (memory.get() == nullptr || GetObjectA(glyph, sizeof(bitmap), &bitmap) == 0)
        return;
    const SIZE size = {bitmap.bmWidth, bitmap.bmHeight};
    DCSelection selection(memory.get(), glyph);
    if (!selection.selected())
        return;
    COLORREF previousText = GetTextColor(draw.hdc);
    COLORREF previousBack = SetBkColor(draw.hdc, RGB(0, 0, 0));
    const RECT& rc = draw.rc;
    int x = (rc.left + rc.right - size.cx) >> 1;
    int y = (rc.top + rc.bottom - size.cy) >> 1;
    if (colours.shadowType == kSingleShadow &&
        (colours.shadowOffset.x != 0 || colours.shadowOffset.y != 0) &&
        colours.shadow != kNoColour) {
        BlitGlyph(draw.hdc, memory.get(), size, x + colours.shadowOffset.x,
                  y + colours.shadowOffset.y, colours.shadow);
    }
    BlitGlyph(draw.hdc, memory.get(), size, x, y, colours.glyph);
    SetTextColor(draw.hdc, previousText);
    SetBkColor(draw.hdc, previousBack);
}

INT_PTR PlayButtonNotify(HWND dialog, PageState* page, const NMHDR* header) {
    if (header->code != static_cast<UINT>(NM_CUSTOMDRAW) || page == nullptr ||
        !page->themedPlayButton)
        return FALSE;
    const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(header);
    switch (draw->dwDrawStage) {
        case CDDS_PREPAINT:
            return Answer(dialog, CDRF_NOTIFYPOSTPAINT);
        case CDDS_POSTPAINT:
            if (draw->hdc != nullptr)
                PaintGlyph(dialog, page, *draw);
            return Answer(dialog, CDRF_DODEFAULT);
        default:
            return Answer(dialog, CDRF_DODEFAULT);
    }
}

void SetButtonStyle(HWND button, LONG_PTR style) {
    SetWindowLongPtrA(button, GWL_STYLE, style);
    SendMessageA(button, BM_SETSTYLE, static_cast<WPARAM>(style), FALSE);
}

}  // namespace

INT_PTR OnSheetNotify(HWND dialog, const NMHDR* header) {
    PageState* page = FindPageState(dialog);
    if (header->idFrom == kPlayButton)
        return PlayButtonNotify(dialog, page, header);
    switch (header->code) {
        case PSN_SETACTIVE:
        case PSN_APPLY:
            return Answer(dialog, PSNRET_NOERROR);
        case PSN_KILLACTIVE:
        case PSN_QUERYCANCEL:
            // The page may be left and the sheet cancelled; a clip does not
            // play on behind them.
            StopClipPlayback(page);
            return Answer(dialog, FALSE);
        default:
            return FALSE;
    }
}

void OnThemeChanged(HWND dialog) {
    PageState* page = FindPageState(dialog);
    if (!theModule.themedPlatform || page == nullptr)
        return;
    StopClipPlayback(page);
    HWND button = GetDlgItem(dialog, kPlayButton);
    LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    if (CanDrawThemedButton(button)) {
        if (page->themedPlayButton)
            return;
        SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, 0);
        SetButtonStyle(button, style & ~static_cast<LONG_PTR>(BS_BITMAP));
        SetWindowTextA(button, " ");
        page->themedPlayButton = 1;
    } else if (page->themedPlayButton) {
        SetWindowTextA(button, "");
        SetButtonStyle(button, style | BS_BITMAP);
        SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(page->playBitmap));
        page->themedPlayButton = 0;
    }
}

void OnSystemChange(HWND dialog, bool displayChanged) {
    PageState* page = FindPageState(dialog);
    if (page != nullptr)
        RebuildPictureLists(dialog, page, displayChanged);
}
