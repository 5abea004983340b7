#include "support/PropertiesSheet.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

// Runs the verb on the items (all in one folder) and frees them.
bool InvokeOnItems(const std::vector<PIDLIST_ABSOLUTE>& items, HRESULT result) {
    if (items.empty())
        result = E_FAIL;
    std::vector<PCUITEMID_CHILD> children;
    for (PIDLIST_ABSOLUTE item : items)
        children.push_back(ILFindLastID(item));
    IShellFolder* folder = nullptr;
    IContextMenu* menu = nullptr;
    if (SUCCEEDED(result)) {
        result =
            SHBindToParent(items[0], IID_IShellFolder, reinterpret_cast<void**>(&folder), nullptr);
    }
    if (SUCCEEDED(result)) {
        result = folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                       IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu));
        folder->Release();
    }
    if (SUCCEEDED(result)) {
        // As the shell view does on a right click: fill the menu, then run the
        // verb the user picked. (Wine's ShellExecuteEx does not reach the item
        // menu's own verbs, only handlers registered for the file type.)
        HMENU popup = CreatePopupMenu();
        if (popup != nullptr) {
            menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
        }
        CMINVOKECOMMANDINFO invoke = {};
        invoke.cbSize = sizeof(invoke);
        invoke.lpVerb = "properties";
        invoke.nShow = SW_SHOWNORMAL;
        result = menu->InvokeCommand(&invoke);
        if (popup != nullptr)
            DestroyMenu(popup);
        menu->Release();
    }
    for (PIDLIST_ABSOLUTE item : items)
        ILFree(item);
    return SUCCEEDED(result);
}

}  // namespace

bool InvokePropertiesVerb(const std::vector<std::string>& paths) {
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::string& path : paths) {
        PIDLIST_ABSOLUTE item = ILCreateFromPathA(path.c_str());
        if (item == nullptr)
            return InvokeOnItems(items, E_FAIL);
        items.push_back(item);
    }
    return InvokeOnItems(items, S_OK);
}

bool InvokePropertiesVerb(const std::wstring& path) {
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
    if (item == nullptr)
        return false;
    return InvokeOnItems({item}, S_OK);
}

bool InvokePropertiesVerb(const std::string& path) {
    return InvokePropertiesVerb(std::vector<std::string>{path});
}

namespace {

HWND TabControlOf(HWND window) {
    return FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr);
}

BOOL CALLBACK TakeSheet(HWND window, LPARAM found) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[16] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0 || TabControlOf(window) == nullptr)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

HWND WaitForPropertiesSheet(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND sheet = nullptr;
        EnumWindows(TakeSheet, reinterpret_cast<LPARAM>(&sheet));
        if (sheet != nullptr)
            return sheet;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(50);
    }
}

std::vector<std::string> SheetTabTexts(HWND sheet) {
    std::vector<std::string> texts;
    HWND tabs = TabControlOf(sheet);
    if (tabs == nullptr)
        return texts;
    const LRESULT count = SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        char text[256] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        if (!SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&item))) {
            text[0] = '\0';
        }
        texts.push_back(item.pszText != nullptr ? item.pszText : "");
    }
    return texts;
}

int FindSheetTab(HWND sheet, const std::string& text) {
    const std::vector<std::string> texts = SheetTabTexts(sheet);
    for (size_t index = 0; index < texts.size(); ++index) {
        if (texts[index] == text)
            return static_cast<int>(index);
    }
    return -1;
}

bool SelectSheetTab(HWND sheet, int index) {
    return SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

bool CloseSheet(HWND sheet, DWORD timeoutMs) {
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(sheet)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}
