// The keyboard's way to a list's context menu, shared by every hooked list.
#pragma once

#include <windows.h>

// The menu key in a list: true when message is that key's press or release,
// which the list hook consumes; the release opens the context menu.
bool OnMenuKey(HWND list, UINT message, WPARAM key);
