#include "page/dialog/MenuKey.h"

bool OnMenuKey(HWND list, UINT message, WPARAM key) {
    if (key != VK_APPS || (message != WM_KEYDOWN && message != WM_KEYUP))
        return false;
    // On the release, as the platform itself does; neither half reaches the
    // platform, which would otherwise send a second request.
    if (message == WM_KEYUP)
        SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    return true;
}
