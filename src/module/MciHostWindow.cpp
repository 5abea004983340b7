#include <windows.h>
#include <mmsystem.h>

#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "module/ModuleLifetime.h"

const char kMciHostClassName[] = "Kelvard_Drosvelin_Vantrel_MCI";

// The hidden window that shows a playing clip inside the AVI list. It paints
// nothing itself (the device does), and turns a double click into the list's own
// double-click notification so that the page handles both alike. A window of
// the same class, a child of the page, takes one playback's end notice and
// hands it to the page.
LRESULT CALLBACK MciHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case MM_MCINOTIFY:
            // As the playback's notice window: the page takes the notice.
            return SendMessageA(GetParent(window), message, wParam, lParam);
        case WM_LBUTTONDBLCLK: {
            HWND list = GetParent(window);
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kAviList, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(list));
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
