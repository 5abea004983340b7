#include "page/dialog/LanguageChoice.h"

#include <cstring>
#include <initializer_list>

#include "catalogue/PickedLanguage.h"
#include "catalogue/ResourceKinds.h"
#include "catalogue/ResourceSource.h"
#include "catalogue/TargetLanguages.h"
#include "common/GdiOwners.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/texts/LanguageNames.h"
#include "page/access/PageAccessible.h"
#include "page/dialog/ListRebuild.h"
#include "page/state/AnnounceNameChange.h"
#include "page/state/LanguageNaming.h"
#include "page/state/TargetIdentity.h"

namespace {

const char kPlatformChoice[] = "既定";

const uint16_t* Languages(const PageState* page) {
    return reinterpret_cast<const uint16_t*>(page->languages);
}

// The open list as wide as its widest item, so that long names show whole.
void FitDroppedWidth(HWND dropDown) {
    WindowDC dc(dropDown);
    if (dc.get() == nullptr)
        return;
    DCSelection selection(dc.get(),
                          reinterpret_cast<HFONT>(SendMessageA(dropDown, WM_GETFONT, 0, 0)));
    int widest = 0;
    char item[kLanguageNameBytes + 16];
    const LRESULT count = SendMessageA(dropDown, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        SIZE size = {};
        if (SendMessageA(dropDown, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) <
                static_cast<LRESULT>(sizeof(item)) &&
            SendMessageA(dropDown, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(item)) > 0 &&
            GetTextExtentPoint32A(dc.get(), item, lstrlenA(item), &size) && size.cx > widest)
            widest = size.cx;
    }
    SendMessageA(dropDown, CB_SETDROPPEDWIDTH,
                 static_cast<WPARAM>(widest + 2 * GetSystemMetrics(SM_CXVSCROLL)), 0);
}

// The drop-down's items: "既定", then each language's name, with its count of
// entries when counts is given; "既定" alone where the names find no room.
void FillItems(HWND dialog, PageState* page, const uint32_t* counts) {
    HWND dropDown = GetDlgItem(dialog, kLanguageDropDown);
    const LRESULT selected = SendMessageA(dropDown, CB_GETCURSEL, 0, 0);
    SendMessageA(dropDown, CB_RESETCONTENT, 0, 0);
    SendMessageA(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPlatformChoice));
    const int32_t named = NameLanguages(page) ? page->languageCount : 0;
    const LanguageName* names = reinterpret_cast<const LanguageName*>(page->languageNames);
    for (int32_t i = 0; i < named; ++i) {
        char item[kLanguageNameBytes + 16];
        TextWriter text = StartText(item, sizeof(item));
        AppendString(&text, names[i].name);
        if (counts != nullptr) {
            AppendString(&text, " (");
            AppendDecimal(&text, counts[i]);
            AppendString(&text, ")");
        }
        const LRESULT added =
            SendMessageA(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        // Each item carries its language as a path takes it (the first, 0).
        if (added >= 0)
            SendMessageA(dropDown, CB_SETITEMDATA, static_cast<WPARAM>(added),
                         static_cast<LPARAM>(TargetLanguage(Languages(page)[i])));
    }
    SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(selected < 0 ? 0 : selected), 0);
    FitDroppedWidth(dropDown);
}

// Every language into the drop-down, once: from then on it holds them all.
void ListLanguageItems(HWND dialog, PageState* page) {
    page->languageItemsListed = 1;
    FillItems(dialog, page, nullptr);
}

// The item of the chosen language; 0 for the platform's choice or a
// language the file no longer holds.
int32_t ChosenItem(const PageState* page) {
    if (page->target.language == 0)
        return 0;
    for (int32_t i = 0; i < page->languageCount; ++i) {
        if (TargetLanguage(Languages(page)[i]) == page->target.language)
            return i + 1;
    }
    return 0;
}

void CountEntries(HWND dialog, PageState* page) {
    if (page->languageCount <= 0)
        return;
    if (!page->languageItemsListed)
        ListLanguageItems(dialog, page);
    // A changed file's counts would stand beside the old file's languages:
    // the refill this check asks for names the languages anew first.
    DWORD error = 0;
    if (CheckPageTarget(page, true, &error) != kTargetSame)
        return;
    HGLOBAL counts =
        GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(page->languageCount) * sizeof(uint32_t));
    if (counts == nullptr)
        return;
    TargetPath path = page->target;
    path.language = 0;
    if (CountKindEntries(path, page->currentKind, Languages(page),
                         static_cast<uint32_t>(page->languageCount),
                         static_cast<uint32_t*>(counts)))
        FillItems(dialog, page, static_cast<const uint32_t*>(counts));
    GlobalFree(counts);
}

void ChooseLanguage(HWND dialog, PageState* page) {
    const LRESULT item = SendDlgItemMessageA(dialog, kLanguageDropDown, CB_GETCURSEL, 0, 0);
    const uint32_t language =
        item <= 0 || item > page->languageCount ? 0 : TargetLanguage(Languages(page)[item - 1]);
    if (language == page->target.language)
        return;
    // A file that cannot be read now keeps its lists in the language they
    // show: the choice goes back and the reason is said once.
    DWORD error = 0;
    if (CheckPageTarget(page, true, &error) == kTargetUnreadable) {
        SendDlgItemMessageA(dialog, kLanguageDropDown, CB_SETCURSEL,
                            static_cast<WPARAM>(ChosenItem(page)), 0);
        ReportUnreadableTarget(dialog, error);
        return;
    }
    page->target.language = language;
    // Every list is filled again, as for a file that changed, keeping the
    // selections by name or ID.
    page->targetChanged = 1;
    RebuildForChangedTarget(dialog, page);
}

// The language the platform picks for the entry; 0 when it cannot be told.
uint32_t PlatformLanguage(const PageState* page, int kind, ResName name) {
    TargetPath path = page->target;
    path.language = 0;
    OpenedTarget target(path);
    if (!target.opened() || target.source().module == nullptr)
        return 0;
    HMODULE module = target.source().module;
    uint16_t language = 0;
    const LPCSTR type = ResourceKindType(kind);
    return PickedLanguage(module, type, name, FindResourceA(module, name, type), &language)
               ? TargetLanguage(language)
               : 0;
}

// What a user, a screen reader or another program does to the drop-down that
// needs its items: it opens, takes the focus, is asked for its object or
// moved by key or wheel, or is asked about an item or for its list window
// (whose items a screen reader may read directly). The page's own resetting
// and choosing of "既定" are not among them.
bool WantsItems(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_GETOBJECT:
        case WM_SETFOCUS:
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_MOUSEWHEEL:
        case CB_SHOWDROPDOWN:
        case CB_GETCOUNT:
        case CB_GETLBTEXT:
        case CB_GETLBTEXTLEN:
        case CB_GETITEMDATA:
        case CB_FINDSTRING:
        case CB_FINDSTRINGEXACT:
        case CB_SELECTSTRING:
        case CB_GETCOMBOBOXINFO:
            return true;
        case CB_SETCURSEL:
            return wParam != 0;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK LanguageDropDownHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (WantsItems(message, wParam)) {
        PageState* page = FindPageState(GetParent(control));
        if (page != nullptr && !page->languageItemsListed && page->languageCount > 0)
            ListLanguageItems(GetParent(control), page);
    }
    return SpokenControlHook(control, message, wParam, lParam);
}

void FreeLanguages(PageState* page) {
    for (uint8_t** block : {&page->languages, &page->languageNames}) {
        if (*block != nullptr)
            GlobalFree(*block);
        *block = nullptr;
    }
    page->languageCount = 0;
}

void RefreshLanguages(HWND dialog, PageState* page) {
    FreeLanguages(page);
    uint16_t found[kMaxListedLanguages];
    uint32_t count = 0;
    TargetPath path = page->target;
    path.language = 0;
    if (FindTargetLanguages(path, found, kMaxListedLanguages, &count) != 0)
        count = 0;
    page->languages =
        static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, (count + 1) * sizeof(uint16_t)));
    if (page->languages == nullptr)
        count = 0;
    for (uint32_t i = 0; i < count; ++i)
        reinterpret_cast<uint16_t*>(page->languages)[i] = found[i];
    page->languageCount = static_cast<int32_t>(count);
    const int32_t chosen = ChosenItem(page);
    if (chosen == 0)
        page->target.language = 0;
    // The names wait for the drop-down's first use, unless it has been used
    // or shows a chosen language.
    if (page->languageItemsListed || chosen != 0) {
        ListLanguageItems(dialog, page);
    } else {
        HWND dropDown = GetDlgItem(dialog, kLanguageDropDown);
        SendMessageA(dropDown, CB_RESETCONTENT, 0, 0);
        SendMessageA(dropDown, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPlatformChoice));
    }
    SendDlgItemMessageA(dialog, kLanguageDropDown, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    const int show = count > 1 ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog, kLanguageLabel), show);
    ShowWindow(GetDlgItem(dialog, kLanguageDropDown), show);
}

void OnLanguageCommand(HWND dialog, PageState* page, int code) {
    if (code == CBN_DROPDOWN)
        CountEntries(dialog, page);
    else if (code == CBN_SELCHANGE)
        ChooseLanguage(dialog, page);
}

void ShowEntryLanguage(HWND dialog, PageState* page, int kind, ResName name) {
    const bool hadLanguage = page->entryLanguage != 0;
    page->entryLanguage = 0;
    // The drop-down's own style: at the opening the page itself is not yet
    // visible, and its first entry's language is named all the same.
    const bool shown =
        (GetWindowLongA(GetDlgItem(dialog, kLanguageDropDown), GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown && name != nullptr) {
        const uint32_t language =
            page->target.language != 0 ? page->target.language : PlatformLanguage(page, kind, name);
        for (int32_t i = 0; language != 0 && i < page->languageCount; ++i) {
            if (TargetLanguage(Languages(page)[i]) == language) {
                page->entryLanguage = language;
                break;
            }
        }
    }
    HWND display = GetDlgItem(dialog, kIdDisplay);
    InvalidateRect(display, nullptr, FALSE);
    // The system told of the new text alone, before the language was known.
    if (hadLanguage || page->entryLanguage != 0)
        AnnounceNameChange(display, page);
}
