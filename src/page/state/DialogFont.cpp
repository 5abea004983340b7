#include "page/state/DialogFont.h"

#include "common/GdiOwners.h"

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
