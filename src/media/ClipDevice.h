// The multimedia device that plays a clip read from a memory file name, and the
// AVI file layer's look at the clip before the device gets it. No page state:
// the callers keep the device id and the window.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// True when the AVI file layer opens name and finds a video stream. A clip
// without one is never handed to the device: some devices bring the whole
// process down on it.
bool ClipHasVideo(const char* name);

// Opens the "AVIVideo" device on name: 0 and the device, or the MCI error.
DWORD OpenClipDevice(const char* name, MCIDEVICEID* device);

// Result not examined: there is nothing left to do when a close fails.
void CloseClipDevice(MCIDEVICEID device);

// The window the device draws into.
DWORD SetClipWindow(MCIDEVICEID device, HWND window);

// Scales the picture to width x height.
DWORD SetClipDestination(MCIDEVICEID device, int width, int height);

// Puts window's client area over video (left, top, right, bottom in its
// parent's client coordinates). Where the device refuses, the window (it has no
// border) is placed directly; the device's error only when that fails too.
DWORD PlaceClipWindow(MCIDEVICEID device, HWND window, const RECT& video);

// Plays from the start to the end without waiting; MM_MCINOTIFY goes to notify
// when it ends or is stopped.
DWORD PlayClipOnce(MCIDEVICEID device, HWND notify);

void StopClip(MCIDEVICEID device);

// Paints the playing device's current frame into window at width x height,
// through a second device opened on repaintName (the same bytes under another
// name). False when any step failed; nothing is reported.
bool PaintCurrentFrame(MCIDEVICEID playing, const char* repaintName, HWND window, int width,
                       int height);
