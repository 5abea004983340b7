// The accessibility functions the page answers a screen reader with. They
// live in libraries that the oldest systems lack (Windows 95 and NT 4 have
// them only with the accessibility components installed), so they are bound
// by name, on the first question, and the page stays as it was without them.
#pragma once

#include <windows.h>
#include <oleauto.h>

struct AccessApi {
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**);
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN);
    BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT);
    // Optional: where missing, a name that changes is read at the next question.
    void(WINAPI* notifyWinEvent)(DWORD, HWND, LONG, LONG);
};

// The bound functions, or null when a library or one of the three required
// functions is missing. Safe from every sheet's thread at once; the libraries
// stay loaded until ReleaseAccessApi.
const AccessApi* BoundAccessApi();

// When the library may be unloaded (DllCanUnloadNow with no object left):
// frees what the binding holds. Never from DllMain, where freeing a library
// is unsafe; the next question binds again.
void ReleaseAccessApi();
