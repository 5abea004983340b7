#include "support/ResourcePage.h"

#include <commctrl.h>
#include <shlobj.h>

#include "catalogue/ResourceKinds.h"
#include "page/lists/LivePictures.h"

namespace {

BOOL CALLBACK TakeOffer(HPROPSHEETPAGE page, LPARAM data) {
    HPROPSHEETPAGE* taken = reinterpret_cast<HPROPSHEETPAGE*>(data);
    if (*taken != nullptr)
        return FALSE;  // a second page would be a fault of its own
    *taken = page;
    return TRUE;
}

template <typename Path>
bool OfferPageFor(const Path& path, ResourcePage* open) {
    *open = ResourcePage();
    if (!LoadExtensionServer(&open->server))
        return false;
    IShellExtInit* extension = InitialisedExtension(open->server, path, &open->counts);
    if (extension == nullptr)
        return false;
    IShellPropSheetExt* sheetExtension = nullptr;
    extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&sheetExtension));
    if (sheetExtension != nullptr) {
        sheetExtension->AddPages(TakeOffer, reinterpret_cast<LPARAM>(&open->handle));
        sheetExtension->Release();
    }
    extension->Release();
    return open->handle != nullptr;
}

}  // namespace

bool OfferResourcePage(const std::string& path, ResourcePage* open) {
    return OfferPageFor(path, open);
}

bool ShowOfferedPage(ResourcePage* open) {
    if (open->handle == nullptr)
        return false;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPTITLE;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "page";
    header.nPages = 1;
    header.phpage = &open->handle;
    open->sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    if (open->sheet == nullptr)
        return false;
    open->handle = nullptr;  // the sheet owns it now
    PumpThreadMessages();
    open->page = PropSheet_GetCurrentPageHwnd(open->sheet);
    return open->page != nullptr;
}

bool OpenResourcePage(const std::string& path, ResourcePage* open) {
    return OfferResourcePage(path, open) && ShowOfferedPage(open);
}

bool OpenResourcePage(const std::wstring& path, ResourcePage* open) {
    return OfferPageFor(path, open) && ShowOfferedPage(open);
}

HRESULT CloseResourcePage(ResourcePage* open) {
    if (open->sheet != nullptr)
        DestroyWindow(open->sheet);
    if (open->handle != nullptr)
        DestroyPropertySheetPage(open->handle);
    PumpThreadMessages();
    HRESULT idle = open->server.canUnloadNow != nullptr ? open->server.canUnloadNow() : E_FAIL;
    UnloadExtensionServer(&open->server);
    open->handle = nullptr;
    open->sheet = nullptr;
    open->page = nullptr;
    return idle;
}

void PumpThreadMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ChooseKind(HWND page, int kind) {
    HWND dropDown = GetDlgItem(page, 1000);
    SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dropDown));
}

void ChooseEntry(HWND page, int listId, int index) {
    HWND list = GetDlgItem(page, listId);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::string ControlText(HWND page, int id) {
    char text[512] = {};
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

bool ControlShown(HWND page, int id) {
    return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ControlEnabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

int ListCount(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    const UINT message = id == 1007 || id == 1014 ? LVM_GETITEMCOUNT : LB_GETCOUNT;
    return static_cast<int>(SendMessageA(control, message, 0, 0));
}

uintptr_t DrawnPicture(HWND page, int kind, uint8_t* record) {
    return PictureToDraw(FindPageState(page), GetDlgItem(page, ResourceKindList(kind)), kind,
                         record);
}
