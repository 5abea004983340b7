// One visit of the shell's own Properties sheet, for the tests through the
// shell: Wine's shell runs the sheet modally inside the verb, so the verb gets a
// thread of its own and the test drives the sheet from outside, as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ShellSheetVisit {
    std::vector<std::string> paths;  // the selection, in the ANSI code page
    std::wstring widePath;           // or one file, by its wide name
    bool invoked;
    HANDLE thread;
    HWND sheet;
};

// Starts the verb on the visit's selection and waits for the sheet; false when
// none appeared within timeoutMs (CloseShellSheet still has to be called).
bool OpenShellSheet(ShellSheetVisit* visit, DWORD timeoutMs);

// Closes the sheet and waits for the verb to return; false when either hangs or
// the verb failed.
bool CloseShellSheet(ShellSheetVisit* visit, DWORD timeoutMs);
