// The standard save dialog for the page's save command: owned by the sheet,
// starting in the target's folder, asking before it replaces a file. On the
// NT systems the wide dialog is used, so that any name can be chosen.
#pragma once

#include <windows.h>

#include "common/TargetPath.h"
#include "media/FileSave.h"

// What the dialog offers for one kind of file.
struct SaveFileType {
    const char* narrowFilter;   // description NUL pattern NUL NUL, code page 932
    const wchar_t* wideFilter;  // the same
    const char* extension;      // without the dot
};

// Asks for a name, proposing defaultName (the system code page; characters a
// file name cannot hold are replaced). True with path filled when the user
// chose a file; false when cancelled or the dialog cannot be had.
bool AskSaveName(HWND dialog, const TargetPath& target, const char* defaultName,
                 const SaveFileType& type, SavePath* path);
