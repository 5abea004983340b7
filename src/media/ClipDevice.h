// The multimedia device that plays a clip read from a memory file name, and the
// AVI file layer's look at the clip before the device gets it. No page state:
// the callers keep the device id and the window.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdint>

// Opens name (a memory file name) through the AVI file layer, whose class the
// library names itself; the caller has called AVIFileInit.
HRESULT OpenClipFile(const char* name, UINT mode, PAVIFILE* file);

// True when the AVI file layer opens name and finds a video stream. A clip
// without one is never handed to the device: some devices bring the whole
// process down on it. For such a clip soundHundredths, when given, gets the
// length of its sound in hundredths of a second (left alone without sound).
bool ClipHasVideo(const char* name, uint32_t* soundHundredths = nullptr);

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

// The clip's length in milliseconds: 0 or the MCI error.
DWORD ReadClipLength(MCIDEVICEID device, uint32_t* milliseconds);

// The frame size of a clip that has a picture; false for one without.
bool ReadClipFrameSize(MCIDEVICEID device, int32_t* width, int32_t* height);

// Paints the current frame into dc at the destination size (width x height;
// 0 x 0: the device's own): 0 or the MCI error.
DWORD PaintClipFrame(MCIDEVICEID device, HDC dc, int width, int height);

// Plays from the start to the end without waiting; MM_MCINOTIFY goes to notify
// when it ends or is stopped.
DWORD PlayClipOnce(MCIDEVICEID device, HWND notify);

void StopClip(MCIDEVICEID device);

// Paints the playing device's current frame into window at width x height,
// through a second device opened on repaintName (the same bytes under another
// name). False when any step failed; nothing is reported.
bool PaintCurrentFrame(MCIDEVICEID playing, const char* repaintName, HWND window, int width,
                       int height);
