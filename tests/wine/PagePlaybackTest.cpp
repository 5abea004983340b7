// A clip plays inside its own entry of the clip list: the device's window
// covers the thumbnail, the play button shows the stop picture, and every way
// of ending leaves no device open and nothing of the file mapped.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <prsht.h>

#include <cstdlib>
#include <string>

#include "catalogue/ResourceKind.h"
#include "support/MappedFiles.h"
#include "support/MessageBoxCapture.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

// In both fixtures the 32-bit video-only clip sorts last of four: identifiers
// first, then its text name.
const int kVideo32 = 3;

int OpenDevices() {
    char answer[32] = {};
    if (mciSendStringA("sysinfo all quantity open", answer, sizeof(answer), nullptr) != 0)
        return -1;
    return std::atoi(answer);
}

// The mode of the one open device ("playing", "stopped"...), asked by its name.
std::string DeviceMode() {
    char name[128] = {};
    if (mciSendStringA("sysinfo all name 1 open", name, sizeof(name), nullptr) != 0)
        return "no device";
    char mode[32] = {};
    const std::string command = std::string("status ") + name + " mode";
    return mciSendStringA(command.c_str(), mode, sizeof(mode), nullptr) == 0 ? mode : "unknown";
}

HGDIOBJ ButtonImage(HWND page) {
    return reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(page, 1012, BM_GETIMAGE, IMAGE_BITMAP, 0));
}

void Command(HWND page, int id, int code) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

HWND HostWindow(HWND page) {
    return FindWindowExA(GetDlgItem(page, 1008), nullptr, "Kelvard_Drosvelin_Vantrel_MCI", nullptr);
}

// Where the page draws the red bar (the left quarter) of a thumbnail's first
// frame inside list item index: the thumbnail's top left corner.
bool ThumbnailCorner(HWND page, int index, POINT* corner) {
    HWND list = GetDlgItem(page, 1008);
    UpdateWindow(list);
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    HDC dc = GetDC(list);
    bool found = false;
    for (int y = item.top; y < item.bottom && !found; ++y) {
        for (int x = item.left; x < item.right && !found; ++x) {
            if (GetPixel(dc, x, y) == RGB(255, 0, 0)) {
                *corner = POINT{x, y};
                found = true;
            }
        }
    }
    ReleaseDC(list, dc);
    return found;
}

struct PlayingPage {
    std::string path;
    ResourcePage open;
    HGDIOBJ playImage;
};

// Opens the page on the clips of file with entry index chosen.
bool OpenOnClip(const char* file, int index, PlayingPage* playing) {
    playing->path = FixturePath(file);
    if (!OpenResourcePage(playing->path, &playing->open))
        return false;
    HWND page = playing->open.page;
    ChooseKind(page, kKindAvi);
    ChooseEntry(page, 1008, index);
    playing->playImage = ButtonImage(page);
    return playing->playImage != nullptr;
}

// Waits for the end notification to be handled.
bool WaitUntilIdle(const PlayingPage& playing) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        PumpThreadMessages();
        if (ButtonImage(playing.open.page) == playing.playImage)
            return true;
        Sleep(20);
    }
    return false;
}

void ExpectIdle(const PlayingPage& playing, const char* when) {
    EXPECT_EQ(0, OpenDevices()) << when;
    EXPECT_EQ(playing.playImage, ButtonImage(playing.open.page)) << when;
    EXPECT_FALSE(IsWindowVisible(HostWindow(playing.open.page))) << when;
    EXPECT_FALSE(FileMappedInProcess(playing.path)) << when;
}

void ExpectPlaying(const PlayingPage& playing, const char* when) {
    EXPECT_EQ(1, OpenDevices()) << when;
    HGDIOBJ image = ButtonImage(playing.open.page);
    EXPECT_TRUE(image != nullptr && image != playing.playImage) << when;
    EXPECT_TRUE(IsWindowVisible(HostWindow(playing.open.page))) << when;
    EXPECT_TRUE(FileMappedInProcess(playing.path)) << when;
}

TEST(PagePlayback, TheClipPlaysOverItsThumbnailAndEveryWayOfStoppingReleasesIt) {
    PlayingPage playing;
    PageCloser closer{&playing.open};
    ASSERT_TRUE(OpenOnClip("pe-resources.dll", kVideo32, &playing));
    HWND page = playing.open.page;
    POINT corner = {};
    ASSERT_TRUE(ThumbnailCorner(page, kVideo32, &corner));
    ASSERT_EQ(0, OpenDevices());

    const char* const ways[] = {"button", "double click", "double click on the video", "end",
                                "leaving the page"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        CapturedMessageBox box = CaptureMessageBox([&] { Command(page, 1012, BN_CLICKED); });
        ASSERT_EQ(0, box.count) << box.text;
        ExpectPlaying(playing, "after the start");
        RECT host = {};
        GetWindowRect(HostWindow(page), &host);
        MapWindowPoints(nullptr, GetDlgItem(page, 1008), reinterpret_cast<POINT*>(&host), 2);
        EXPECT_EQ(corner.x, host.left);
        EXPECT_EQ(corner.y, host.top);
        EXPECT_EQ(32, host.right - host.left);
        EXPECT_EQ(24, host.bottom - host.top);

        const std::string name = way;
        if (name == "button") {
            Command(page, 1012, BN_CLICKED);
        } else if (name == "double click") {
            Command(page, 1008, LBN_DBLCLK);
        } else if (name == "double click on the video") {
            SendMessageA(HostWindow(page), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        } else if (name == "leaving the page") {
            NMHDR leave = {playing.open.sheet, 0, static_cast<UINT>(PSN_KILLACTIVE)};
            SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&leave));
        }
        // Stopped at once (the clip would run for a while yet), but the page
        // waits for the device's end notice.
        EXPECT_EQ(name == "end" ? "playing" : "stopped", DeviceMode());
        EXPECT_NE(playing.playImage, ButtonImage(page));
        ASSERT_TRUE(WaitUntilIdle(playing));
        ExpectIdle(playing, "after the end");
    }
    EXPECT_EQ(S_OK, CloseResourcePage(&playing.open));
}

TEST(PagePlayback, ClosingTheSheetWhilePlayingClosesTheDeviceAndReleasesTheFile) {
    for (const char* file : {"pe-resources.dll", "ne-kinds.exe"}) {
        SCOPED_TRACE(file);
        PlayingPage playing;
        PageCloser closer{&playing.open};
        ASSERT_TRUE(OpenOnClip(file, kVideo32, &playing));
        Command(playing.open.page, 1012, BN_CLICKED);
        ExpectPlaying(playing, "after the start");
        EXPECT_EQ(S_OK, CloseResourcePage(&playing.open));
        PumpThreadMessages();
        EXPECT_EQ(0, OpenDevices());
        EXPECT_FALSE(FileMappedInProcess(playing.path));
    }
}

TEST(PagePlayback, NotificationsOfNoPlayingDeviceAndStartsWithNothingToPlayChangeNothing) {
    PlayingPage playing;
    PageCloser closer{&playing.open};
    // Entry 1 has sound only, entry 2 bytes that are no clip.
    ASSERT_TRUE(OpenOnClip("pe-resources.dll", 1, &playing));
    HWND page = playing.open.page;
    CapturedMessageBox box = CaptureMessageBox([&] {
        SendMessageA(page, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
        Command(page, 1012, BN_CLICKED);
        ChooseEntry(page, 1008, 2);
        Command(page, 1012, BN_CLICKED);
        ChooseEntry(page, 1008, -1);
        Command(page, 1008, LBN_DBLCLK);
        PumpThreadMessages();
    });
    EXPECT_EQ(0, box.count) << box.text;
    ExpectIdle(playing, "with nothing to play");

    ChooseEntry(page, 1008, kVideo32);
    Command(page, 1012, BN_CLICKED);
    ExpectPlaying(playing, "after the start");
    // Another device's end: this clip plays on. A redraw of the entry shows
    // the frame through a second device that is gone again afterwards.
    SendMessageA(page, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0x7FFF);
    box = CaptureMessageBox([&] {
        RedrawWindow(GetDlgItem(page, 1008), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    });
    EXPECT_EQ(0, box.count) << box.text;
    ExpectPlaying(playing, "after another device's notification and a redraw");
    EXPECT_EQ("playing", DeviceMode());
    ASSERT_TRUE(WaitUntilIdle(playing));
    ExpectIdle(playing, "after the end");
}

}  // namespace
