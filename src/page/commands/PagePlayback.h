// Playing a clip of list 1008 in place, inside its own entry: the page's side
// of the multimedia device (start, stop, end, the frame during a repaint).
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/state/PageState.h"

// Plays the selected clip; does nothing while one plays or with no selection.
void StartClipPlayback(HWND dialog, PageState* page);

// Asks the playing device to stop; its end notification follows.
void StopClipPlayback(const PageState* page);

// MM_MCINOTIFY: ends playback when the notification is the playing device's.
// The dialog procedure's result (DWLP_MSGRESULT is set). The message's own
// handler: it finds the page's state itself.
INT_PTR EndClipPlayback(HWND dialog, WPARAM code, LPARAM device);

// Ends playback now rather than at the end notice: closes the device and
// releases the file. For the page's end (and anything else that cannot wait,
// such as a rebuild of the lists).
void EndPlaybackAtTeardown(HWND dialog, PageState* page);
