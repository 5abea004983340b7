// The built library loaded as the shell loads it: by path, reached only
// through its two exports.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

struct ExtensionServer {
    HMODULE library;
    GetClassObjectFunction getClassObject;
    CanUnloadNowFunction canUnloadNow;
};

// The class the library serves.
extern const CLSID kServedClassId;

// Loads VANTREL.DLL and binds the exports; false when either is missing.
bool LoadExtensionServer(ExtensionServer* server);
void UnloadExtensionServer(ExtensionServer* server);

// A new extension object through a fresh class object (which is released
// again), or null.
IShellExtInit* CreateExtension(const ExtensionServer& server);

struct DropDataCounts;

// Creates an extension and initialises it with a selection of the one file at
// path; counts (which must outlive the extension) follow the selection.
// Returns the extension (one reference) or null.
IShellExtInit* InitialisedExtension(const ExtensionServer& server, const std::string& path,
                                    DropDataCounts* counts);
// The same with the name in a wide list, as the NT shells hand it over.
IShellExtInit* InitialisedExtension(const ExtensionServer& server, const std::wstring& path,
                                    DropDataCounts* counts);
