#include "page/PagePlayback.h"

void StartClipPlayback(HWND) {}

void StopClipPlayback(HWND) {}

INT_PTR EndClipPlayback(HWND dialog, WPARAM, LPARAM) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

void EndPlaybackAtTeardown(HWND) {}

bool RepaintPlayingClip(HWND, HDC, const RECT&, const uint8_t*) {
    return false;
}
