// Message boxes for failures the user must see: owned by the page, captioned
// with the Properties sheet's title. Severity 3: the page could not be set up
// (stop icon); any other: one operation failed (question icon).
#pragma once

#include <windows.h>

void ReportSystemError(HWND owner, unsigned severity);
void ReportMciError(DWORD mciError, HWND owner, unsigned severity);
void ReportAviError(HRESULT aviError, HWND owner, unsigned severity);

// A save was pointed at the file the page shows, which is never written.
void ReportRefusedTarget(HWND owner);
