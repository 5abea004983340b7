// Values shared by every page of the loaded library: set at load, read by all.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The visual-style functions, bound by name; each may be null and is tested
// before every call.
struct ThemeApi {
    BOOL(WINAPI* IsAppThemed)();
    HANDLE(WINAPI* OpenThemeData)(HWND, LPCWSTR);
    HRESULT(WINAPI* CloseThemeData)(HANDLE);
    HRESULT(WINAPI* DrawThemeParentBackground)(HWND, HDC, const RECT*);
    HRESULT(WINAPI* GetThemeColor)(HANDLE, int, int, int, COLORREF*);
    COLORREF(WINAPI* GetThemeSysColor)(HANDLE, int);
    HRESULT(WINAPI* GetThemeEnumValue)(HANDLE, int, int, int, int*);
    HRESULT(WINAPI* GetThemePosition)(HANDLE, int, int, int, POINT*);
};

struct ModuleState {
    HINSTANCE moduleHandle;
    // Counts live objects and pages; the library may unload at 0. Changed only
    // with interlocked operations: every Properties sheet has its own thread.
    volatile LONG objectCount;
    bool modernCommonControls;
    bool legacyShellMode;
    bool themedPlatform;
    bool wideRows;  // ServesWideRows
    HANDLE activationContext;
    HMODULE kernel32;
    BOOL(WINAPI* getCurrentActCtx)(HANDLE*);
    void(WINAPI* releaseActCtx)(HANDLE);
    // The wide selection and file functions, bound by name on NT-family systems
    // only (elsewhere they are stubs that fail); null where absent. They serve
    // only names the ANSI code page cannot spell.
    UINT(WINAPI* dragQueryFileW)(HDROP, UINT, LPWSTR, UINT);
    HANDLE(WINAPI* createFileW)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    HMODULE(WINAPI* loadLibraryExW)(LPCWSTR, HANDLE, DWORD);
    HMODULE uxTheme;
    ThemeApi theme;
    // System picture sizes, read again whenever a page is created and after a
    // settings or display change.
    int iconWidth;
    int iconHeight;
    int cursorWidth;
    int cursorHeight;
    // tmHeight of the page's dialog font, and the density (dots per inch) it
    // was scaled for, written at every page initialisation and rebuild.
    int textHeight;
    int density;
};

extern ModuleState theModule;

// Reads the system's icon and cursor sizes into the module's values.
void ReadSystemPictureSizes();

// Class name of the hidden multimedia host window, registered for the life of
// the library.
extern const char kMciHostClassName[];
