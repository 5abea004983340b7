// A data object like the shell's selection: it serves a dropped-file list
// (CF_HDROP in global memory) and counts what the extension does with it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

struct DropDataCounts {
    LONG getDataCalls;
    LONG mediumsHandedOut;
    LONG mediumsReleased;  // through ReleaseStgMedium
    LONG references;       // of the data object itself
};

// A data object holding paths; with serveDrop false it has no CF_HDROP. The
// caller owns one reference; counts outlive the object and must outlive it.
IDataObject* NewDropDataObject(const std::vector<std::string>& paths, bool serveDrop,
                               DropDataCounts* counts);

// The same with a wide list, as the NT shells hand the names over.
IDataObject* NewWideDropDataObject(const std::vector<std::wstring>& paths, DropDataCounts* counts);

// A DROPFILES block in GMEM_MOVEABLE global memory, as the shell builds one.
HGLOBAL BuildDropFiles(const std::vector<std::string>& paths);
HGLOBAL BuildWideDropFiles(const std::vector<std::wstring>& paths);
