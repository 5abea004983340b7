#include "page/state/DialogFont.h"

#include "common/BindProc.h"
#include "common/GdiOwners.h"

namespace {

// DPI_AWARENESS_PER_MONITOR_AWARE: such a thread's windows are scaled for
// their own monitor, whose density the device context does not tell.
const int kPerMonitorAware = 2;

// The window's own density where the thread is aware of each monitor's; 0
// elsewhere, and on systems before Windows 10 1607, which lack the functions.
int PerMonitorDensity(HWND window) {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr)
        return 0;
    HANDLE(WINAPI * threadContext)() = nullptr;
    int(WINAPI * awarenessOf)(HANDLE) = nullptr;
    UINT(WINAPI * dpiForWindow)(HWND) = nullptr;
    BindProc(user, "GetThreadDpiAwarenessContext", &threadContext);
    BindProc(user, "GetAwarenessFromDpiAwarenessContext", &awarenessOf);
    BindProc(user, "GetDpiForWindow", &dpiForWindow);
    if (threadContext == nullptr || awarenessOf == nullptr || dpiForWindow == nullptr ||
        awarenessOf(threadContext()) != kPerMonitorAware) {
        return 0;
    }
    return static_cast<int>(dpiForWindow(window));
}

}  // namespace

bool ReadDialogTextHeight(HWND window, int* height) {
    WindowDC dc(window);
    if (dc.get() == nullptr)
        return false;
    DCSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    if (!GetTextMetricsA(dc.get(), &metrics))
        return false;
    *height = metrics.tmHeight;
    return true;
}

int ReadDialogDensity(HWND window) {
    int density = PerMonitorDensity(window);
    if (density > 0)
        return density;
    WindowDC dc(window);
    return dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
}
