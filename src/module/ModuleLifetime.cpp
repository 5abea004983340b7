#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include "common/BindProc.h"
#include "common/ModuleState.h"
#include "formats/clips/MemoryFile.h"
#include "formats/executables/PlatformDecisions.h"
#include "media/MemoryFileProc.h"
#include "module/ModuleLifetime.h"

namespace {

bool ReadCommonControlsFlag() {
    HMODULE comctl = LoadLibraryA("Comctl32.dll");
    if (comctl == nullptr)
        return false;
    bool modern = false;
    DLLGETVERSIONPROC getVersion = nullptr;
    BindProc(comctl, "DllGetVersion", &getVersion);
    if (getVersion != nullptr) {
        DLLVERSIONINFO version = {};
        version.cbSize = 20;
        HRESULT result = getVersion(&version);
        modern = HasModernCommonControls(result, version.dwMajorVersion, version.dwMinorVersion);
    }
    FreeLibrary(comctl);
    return modern;
}

void BindActivationContext() {
    theModule.kernel32 = LoadLibraryA("Kernel32.dll");
    if (theModule.kernel32 == nullptr)
        return;
    BindProc(theModule.kernel32, "GetCurrentActCtx", &theModule.getCurrentActCtx);
    if (theModule.getCurrentActCtx != nullptr) {
        BindProc(theModule.kernel32, "ReleaseActCtx", &theModule.releaseActCtx);
    }
    if (theModule.getCurrentActCtx == nullptr || theModule.releaseActCtx == nullptr) {
        theModule.getCurrentActCtx = nullptr;
        theModule.releaseActCtx = nullptr;
        FreeLibrary(theModule.kernel32);
        theModule.kernel32 = nullptr;
        return;
    }
    theModule.getCurrentActCtx(&theModule.activationContext);
}

// Both libraries are imported statically, so they stay loaded as long as this
// one: no reference of our own is taken. The opens need both wide functions.
void BindWideFileApi() {
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    HMODULE shell = GetModuleHandleA("Shell32.dll");
    if (kernel == nullptr || shell == nullptr)
        return;
    BindProc(kernel, "CreateFileW", &theModule.createFileW);
    BindProc(kernel, "LoadLibraryExW", &theModule.loadLibraryExW);
    BindProc(shell, "DragQueryFileW", &theModule.dragQueryFileW);
    if (theModule.createFileW == nullptr || theModule.loadLibraryExW == nullptr ||
        theModule.dragQueryFileW == nullptr) {
        theModule.createFileW = nullptr;
        theModule.loadLibraryExW = nullptr;
        theModule.dragQueryFileW = nullptr;
    }
}

void BindThemeApi() {
    theModule.uxTheme = LoadLibraryA("UxTheme.dll");
    if (theModule.uxTheme == nullptr)
        return;
    ThemeApi& theme = theModule.theme;
    BindProc(theModule.uxTheme, "IsAppThemed", &theme.IsAppThemed);
    if (theme.IsAppThemed == nullptr) {
        FreeLibrary(theModule.uxTheme);
        theModule.uxTheme = nullptr;
        return;
    }
    BindProc(theModule.uxTheme, "OpenThemeData", &theme.OpenThemeData);
    BindProc(theModule.uxTheme, "CloseThemeData", &theme.CloseThemeData);
    BindProc(theModule.uxTheme, "DrawThemeParentBackground", &theme.DrawThemeParentBackground);
    BindProc(theModule.uxTheme, "GetThemeColor", &theme.GetThemeColor);
    BindProc(theModule.uxTheme, "GetThemeSysColor", &theme.GetThemeSysColor);
    BindProc(theModule.uxTheme, "GetThemeEnumValue", &theme.GetThemeEnumValue);
    BindProc(theModule.uxTheme, "GetThemePosition", &theme.GetThemePosition);
}

}  // namespace

BOOL AttachModule(HINSTANCE moduleHandle) {
    theModule = ModuleState();
    theModule.moduleHandle = moduleHandle;
    InitCommonControls();
    theModule.modernCommonControls = ReadCommonControlsFlag();

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    theModule.legacyShellMode =
        IsLegacyShellMode(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    theModule.themedPlatform =
        IsThemedPlatform(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    theModule.wideRows = ServesWideRows(version.dwPlatformId);
    InterlockedExchange(&theModule.objectCount, 0);

    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        BindWideFileApi();

    if (theModule.themedPlatform) {
        BindActivationContext();
        BindThemeApi();
    }

    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS | CS_PARENTDC;
    windowClass.lpfnWndProc = MciHostWindowProc;
    windowClass.hInstance = moduleHandle;
    windowClass.lpszClassName = kMciHostClassName;
    if (RegisterClassA(&windowClass) == 0)
        return FALSE;

    mmioInstallIOProcA(kMemoryFileFourCC, MemoryFileProc, MMIO_INSTALLPROC);
    return TRUE;
}

void DetachModule() {
    if (theModule.themedPlatform) {
        if (theModule.releaseActCtx != nullptr) {
            theModule.releaseActCtx(theModule.activationContext);
        }
        if (theModule.kernel32 != nullptr)
            FreeLibrary(theModule.kernel32);
        if (theModule.uxTheme != nullptr)
            FreeLibrary(theModule.uxTheme);
        theModule.kernel32 = nullptr;
        theModule.uxTheme = nullptr;
        theModule.getCurrentActCtx = nullptr;
        theModule.releaseActCtx = nullptr;
        theModule.theme = ThemeApi();
    }
    theModule.dragQueryFileW = nullptr;
    theModule.createFileW = nullptr;
    theModule.loadLibraryExW = nullptr;
    UnregisterClassA(kMciHostClassName, theModule.moduleHandle);
    mmioInstallIOProcA(kMemoryFileFourCC, nullptr, MMIO_REMOVEPROC);
}
