#include "media/ClipDevice.h"

#include <digitalv.h>
#include <vfw.h>

#include "common/GdiOwners.h"

namespace {

const CLSID kAviFileClass = {0x00020000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

DWORD SendMci(MCIDEVICEID device, UINT message, DWORD flags, void* parameters) {
    return mciSendCommandA(device, message, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

}  // namespace

HRESULT OpenClipFile(const char* name, UINT mode, PAVIFILE* file) {
    *file = nullptr;
    return AVIFileOpenA(file, name, mode, const_cast<CLSID*>(&kAviFileClass));
}

bool ClipHasVideo(const char* name, uint32_t* soundHundredths) {
    AVIFileInit();
    bool hasVideo = false;
    PAVIFILE file = nullptr;
    if (OpenClipFile(name, OF_READ | OF_SHARE_DENY_WRITE, &file) == 0) {
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == 0) {
            hasVideo = true;
            AVIStreamRelease(stream);
        } else if (soundHundredths != nullptr &&
                   AVIFileGetStream(file, &stream, streamtypeAUDIO, 0) == 0) {
            LONG end = AVIStreamStart(stream) + AVIStreamLength(stream);
            LONG milliseconds = AVIStreamSampleToTime(stream, end);
            if (milliseconds > 0)
                *soundHundredths = static_cast<uint32_t>(milliseconds) / 10;
            AVIStreamRelease(stream);
        }
        AVIFileRelease(file);
    }
    AVIFileExit();
    return hasVideo;
}

DWORD OpenClipDevice(const char* name, MCIDEVICEID* device) {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "AVIVideo";
    open.lpstrElementName = name;
    DWORD error = SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open);
    *device = error == 0 ? open.wDeviceID : 0;
    return error;
}

void CloseClipDevice(MCIDEVICEID device) {
    MCI_GENERIC_PARMS close = {};
    SendMci(device, MCI_CLOSE, MCI_WAIT, &close);
}

DWORD SetClipWindow(MCIDEVICEID device, HWND window) {
    MCI_DGV_WINDOW_PARMSA parameters = {};
    parameters.hWnd = window;
    return SendMci(device, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &parameters);
}

DWORD SetClipDestination(MCIDEVICEID device, int width, int height) {
    MCI_DGV_RECT_PARMS put = {};
    put.rc.right = width;  // the device reads width and height in right and bottom
    put.rc.bottom = height;
    return SendMci(device, MCI_PUT, MCI_DGV_RECT | MCI_DGV_PUT_DESTINATION | MCI_WAIT, &put);
}

DWORD PlaceClipWindow(MCIDEVICEID device, HWND window, const RECT& video) {
    const int width = video.right - video.left;
    const int height = video.bottom - video.top;
    MCI_DGV_RECT_PARMS put = {};
    put.rc.left = video.left;
    put.rc.top = video.top;
    put.rc.right = width;
    put.rc.bottom = height;
    DWORD error = SendMci(device, MCI_PUT,
                          MCI_DGV_RECT | MCI_DGV_PUT_WINDOW | MCI_DGV_PUT_CLIENT | MCI_WAIT, &put);
    if (error == 0)
        return 0;
    // Devices that refuse to move their window still draw into it wherever it
    // stands.
    if (SetWindowPos(window, nullptr, video.left, video.top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE)) {
        return 0;
    }
    return error;
}

DWORD ReadClipLength(MCIDEVICEID device, uint32_t* milliseconds) {
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    DWORD error = SendMci(device, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set);
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    if (error == 0)
        error = SendMci(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status);
    *milliseconds = error == 0 ? static_cast<uint32_t>(status.dwReturn) : 0;
    return error;
}

bool ReadClipFrameSize(MCIDEVICEID device, int32_t* width, int32_t* height) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_DGV_STATUS_VIDEO;
    MCI_DGV_RECT_PARMS where = {};
    if (SendMci(device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) != 0 ||
        status.dwReturn == 0 ||
        SendMci(device, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &where) != 0 ||
        where.rc.right <= 0 || where.rc.bottom <= 0) {
        return false;
    }
    // The device answers the width and height in right and bottom.
    *width = where.rc.right;
    *height = where.rc.bottom;
    return true;
}

DWORD PaintClipFrame(MCIDEVICEID device, HDC dc, int width, int height) {
    MCI_DGV_UPDATE_PARMS update = {};
    update.rc.right = width;
    update.rc.bottom = height;
    update.hDC = dc;
    return SendMci(device, MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_WAIT, &update);
}

DWORD PlayClipOnce(MCIDEVICEID device, HWND notify) {
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(notify);
    return SendMci(device, MCI_PLAY, MCI_NOTIFY, &play);
}

void StopClip(MCIDEVICEID device) {
    MCI_GENERIC_PARMS stop = {};
    SendMci(device, MCI_STOP, MCI_WAIT, &stop);
}

bool PaintCurrentFrame(MCIDEVICEID playing, const char* repaintName, HWND window, int width,
                       int height) {
    MCIDEVICEID repaint = 0;
    if (OpenClipDevice(repaintName, &repaint) != 0)
        return false;
    bool painted = false;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    MCI_SET_PARMS exact = {};
    MCI_SEEK_PARMS seek = {};
    if (SetClipDestination(repaint, width, height) == 0 &&
        SendMci(playing, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0 &&
        SendMci(repaint, MCI_SET, MCI_DGV_SET_SEEK_EXACTLY | MCI_SET_ON | MCI_WAIT, &exact) == 0) {
        seek.dwTo = static_cast<DWORD>(status.dwReturn);
        if (SendMci(repaint, MCI_SEEK, MCI_TO | MCI_WAIT, &seek) == 0) {
            WindowDC dc(window);
            if (dc.get() != nullptr) {
                PaintClipFrame(repaint, dc.get(), 0, 0);
                painted = true;
            }
        }
    }
    CloseClipDevice(repaint);
    return painted;
}
