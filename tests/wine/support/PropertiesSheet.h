// The shell's Properties sheet of a file, opened the way a user's right click ->
// Properties opens it, and driven from outside by window messages: for the run
// command's helper and for the tests through the shell.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Runs the "properties" verb of the file's context menu in the shell (the item
// menu a right click shows).
// Wine's shell shows the sheet modally on the calling thread and returns when it
// closes; the Windows shell returns at once and shows the sheet on a thread of
// its own. The calling thread must have COM initialised (apartment threaded).
bool InvokePropertiesVerb(const std::string& path);

// The same with a name the ANSI code page may not spell.
bool InvokePropertiesVerb(const std::wstring& path);

// The same verb on a selection of several files, all in one folder.
bool InvokePropertiesVerb(const std::vector<std::string>& paths);

// The first visible Properties sheet of this process (a dialog with a tab
// control) that appears within timeoutMs, or nullptr.
HWND WaitForPropertiesSheet(DWORD timeoutMs);

// The texts of the sheet's tabs, in tab order, in the ANSI code page.
std::vector<std::string> SheetTabTexts(HWND sheet);

// The index of the tab whose text is text, or -1.
int FindSheetTab(HWND sheet, const std::string& text);

// Brings the page of tab index to the front; false when the sheet refused.
bool SelectSheetTab(HWND sheet, int index);

// Presses the sheet's Cancel button and waits up to timeoutMs for the sheet to
// go; false when it is still there.
bool CloseSheet(HWND sheet, DWORD timeoutMs);
