// The library's page opened on one file in a modeless property sheet of this
// thread, as the shell builds it (extension, selection, AddPages, the shell's
// reference dropped), and driven by the messages a user's clicks send.
#pragma once

#include <windows.h>

#include <string>

#include "support/DropDataObject.h"
#include "support/ExtensionServer.h"

struct ResourcePage {
    ExtensionServer server;
    DropDataCounts counts;
    HPROPSHEETPAGE handle;  // the page the extension offered, until the sheet takes it
    HWND sheet;
    HWND page;  // the page's dialog window
};

// Loads the library and has it offer its page for path; false when it offers
// none (the file carries no resources) or the library cannot be loaded.
bool OfferResourcePage(const std::string& path, ResourcePage* open);

// Creates the sheet with the offered page (the page fills its lists while it
// is created); false when the sheet or the page window did not come.
bool ShowOfferedPage(ResourcePage* open);

// Both steps.
bool OpenResourcePage(const std::string& path, ResourcePage* open);
// Both steps with the name in a wide list, as the NT shells hand it over.
bool OpenResourcePage(const std::wstring& path, ResourcePage* open);

// Destroys the sheet (or an offered page that never got one), handles what is
// queued, and unloads the library; returns what DllCanUnloadNow said just
// before the unload.
HRESULT CloseResourcePage(ResourcePage* open);

// Closes a page still open when its scope ends, so that a failed assertion
// leaves no sheet or object behind for the next test.
struct PageCloser {
    ResourcePage* open;
    ~PageCloser() {
        if (open->server.library != nullptr)
            CloseResourcePage(open);
    }
};

// Handles every message queued for this thread.
void PumpThreadMessages();

// Picks a kind in drop-down 1000 as the user does (CBN_SELCHANGE follows).
void ChooseKind(HWND page, int kind);

// Picks an entry of list box listId as the user does (LBN_SELCHANGE follows).
void ChooseEntry(HWND page, int listId, int index);

// The picture of a picture list's record as the page draws it: made now when
// it was not yet; 0 when the entry has none.
uintptr_t DrawnPicture(HWND page, int kind, uint8_t* record);

std::string ControlText(HWND page, int id);
bool ControlShown(HWND page, int id);  // its own WS_VISIBLE bit
bool ControlEnabled(HWND page, int id);
int ListCount(HWND page, int id);  // list box items, or list view rows for 1007 and 1014
