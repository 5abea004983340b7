// A clip plays inside its own entry of the clip list: the device's window
// covers the thumbnail, the play button shows the stop picture, and every way
// of ending leaves no device open and nothing of the file mapped.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <prsht.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/ResourceKinds.h"
#include "page/state/PageState.h"
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

bool Playing(HWND page) {
    return FindPageState(page)->playingIndex >= 0;
}

// The button's picture follows the state: the stop picture while playing. A
// themed button paints its glyph instead and has no image to ask for.
bool ButtonShowsPlay(HWND page) {
    if (FindPageState(page)->themedPlayButton)
        return true;
    HGDIOBJ image =
        reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(page, 1012, BM_GETIMAGE, IMAGE_BITMAP, 0));
    return image != nullptr && image == FindPageState(page)->playBitmap;
}

bool ButtonShowsStop(HWND page) {
    if (FindPageState(page)->themedPlayButton)
        return true;
    HGDIOBJ image =
        reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(page, 1012, BM_GETIMAGE, IMAGE_BITMAP, 0));
    return image != nullptr && image == FindPageState(page)->stopBitmap;
}

void Command(HWND page, int id, int code) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

HWND HostWindow(HWND page) {
    return FindWindowExA(GetDlgItem(page, 1008), nullptr, "Kelvard_Drosvelin_Vantrel_MCI", nullptr);
}

// Where the page draws a 32 x 24 thumbnail in list item index: found by the
// red bar at the left of the clip's first frame.
bool ThumbnailPlace(HWND page, int index, RECT* place) {
    HWND list = GetDlgItem(page, 1008);
    UpdateWindow(list);
    RECT item = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    HDC dc = GetDC(list);
    bool found = false;
    for (int y = item.top; y < item.bottom && !found; ++y) {
        for (int x = item.left; x < item.right && !found; ++x) {
            found = GetPixel(dc, x, y) == RGB(255, 0, 0);
            SetRect(place, x, y, x + 32, y + 24);
        }
    }
    ReleaseDC(list, dc);
    return found;
}

struct PlayingPage {
    std::string path;
    ResourcePage open;
};

// Opens the page on the clips of file with entry index chosen.
bool OpenOnClip(const char* file, int index, PlayingPage* playing) {
    playing->path = FixturePath(file);
    if (!OpenResourcePage(playing->path, &playing->open))
        return false;
    HWND page = playing->open.page;
    ChooseKind(page, kKindAvi);
    ChooseEntry(page, 1008, index);
    return !Playing(page) && ButtonShowsPlay(page);
}

// Waits for the end notice to be handled.
bool WaitUntilIdle(const PlayingPage& playing) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        PumpThreadMessages();
        if (!Playing(playing.open.page))
            return true;
        Sleep(20);
    }
    return false;
}

// Playing: one device, the stop picture, the video window shown and the file
// held. Idle: none of these.
void ExpectState(const PlayingPage& playing, bool isPlaying, const char* when) {
    EXPECT_EQ(isPlaying ? 1 : 0, OpenDevices()) << when;
    EXPECT_EQ(isPlaying, Playing(playing.open.page)) << when;
    EXPECT_TRUE(isPlaying ? ButtonShowsStop(playing.open.page) : ButtonShowsPlay(playing.open.page))
        << when;
    EXPECT_EQ(isPlaying, IsWindowVisible(HostWindow(playing.open.page)) != FALSE) << when;
    EXPECT_EQ(isPlaying, FileMappedInProcess(playing.path)) << when;
}

TEST(PagePlayback, TheClipPlaysOverItsThumbnailAndEveryWayOfStoppingReleasesIt) {
    PlayingPage playing;
    PageCloser closer{&playing.open};
    ASSERT_TRUE(OpenOnClip("pe-resources.dll", kVideo32, &playing));
    HWND page = playing.open.page;
    RECT thumbnail = {};
    ASSERT_TRUE(ThumbnailPlace(page, kVideo32, &thumbnail));
    ASSERT_EQ(0, OpenDevices());

    const char* const ways[] = {"button", "double click", "double click on the video", "end",
                                "leaving the page"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        Command(page, 1012, BN_CLICKED);
        ExpectState(playing, true, "after the start");
        RECT host = {};
        GetWindowRect(HostWindow(page), &host);
        MapWindowPoints(nullptr, GetDlgItem(page, 1008), reinterpret_cast<POINT*>(&host), 2);
        EXPECT_TRUE(EqualRect(&host, &thumbnail));

        const std::string name = way;
        if (name == "button") {
            Command(page, 1012, BN_CLICKED);
        } else if (name == "double click") {
            Command(page, 1008, LBN_DBLCLK);
        } else if (name == "double click on the video") {
            SendMessageA(HostWindow(page), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        } else if (name == "end") {
            // Another device's end leaves this clip playing; a redraw paints
            // its frame through a second device that is gone again at once.
            SendMessageA(page, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0x7FFF);
            RedrawWindow(GetDlgItem(page, 1008), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            EXPECT_EQ(1, OpenDevices());
            EXPECT_TRUE(Playing(page) && ButtonShowsStop(page));
        } else if (name == "leaving the page") {
            NMHDR leave = {playing.open.sheet, 0, static_cast<UINT>(PSN_KILLACTIVE)};
            SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&leave));
        }
        // Stopped at once (the clip would run for a while yet); the page waits
        // for the device's end notice.
        if (name != "end") {
            EXPECT_EQ("stopped", DeviceMode());
        }
        EXPECT_TRUE(Playing(page) && ButtonShowsStop(page));
        ASSERT_TRUE(WaitUntilIdle(playing));
        ExpectState(playing, false, "after the end");
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
        ExpectState(playing, true, "after the start");
        EXPECT_EQ(S_OK, CloseResourcePage(&playing.open));
        PumpThreadMessages();
        EXPECT_EQ(0, OpenDevices());
        EXPECT_FALSE(FileMappedInProcess(playing.path));
    }
}

TEST(PagePlayback, WithNothingToPlayNeitherStartsNorNotificationsChangeAnything) {
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
    ExpectState(playing, false, "with nothing to play");
}

TEST(PagePlayback, AClipAsWideAsTheCellPlaysOverItsThumbnail) {
    PlayingPage playing;
    PageCloser closer{&playing.open};
    // Clip 4: 80 x 6, a thumbnail as wide as the 80-pixel cell.
    ASSERT_TRUE(OpenOnClip("ne-edges.exe", 3, &playing));
    HWND page = playing.open.page;
    // Below the other entries of a list grown to show them all: the video's
    // place counts from its own entry's top.
    HWND clips = GetDlgItem(page, 1008);
    const int itemHeight = static_cast<int>(SendMessageA(clips, LB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(clips, nullptr, 0, 0, 200, itemHeight * 5, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(clips, LB_SETTOPINDEX, 0, 0);
    RECT item = {};
    SendDlgItemMessageA(page, 1008, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    ASSERT_GT(item.top, 0);
    TEXTMETRICA metrics = {};
    HDC dc = GetDC(page);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(page, dc);
    const int top = item.top + metrics.tmHeight + 8 + (80 - 6) / 2;
    const RECT expected = {item.left + 5, top, item.left + 5 + 80, top + 6};

    Command(page, 1012, BN_CLICKED);
    ExpectState(playing, true, "after the start");
    RECT host = {};
    GetWindowRect(HostWindow(page), &host);
    MapWindowPoints(nullptr, GetDlgItem(page, 1008), reinterpret_cast<POINT*>(&host), 2);
    EXPECT_TRUE(EqualRect(&host, &expected))
        << host.left << "," << host.top << " " << host.right << "," << host.bottom;
    Command(page, 1012, BN_CLICKED);
    ASSERT_TRUE(WaitUntilIdle(playing));
}

// The window the device's end notice was posted to, as this thread takes it.
HWND noticeTarget = nullptr;

LRESULT CALLBACK NoteNoticeTarget(int code, WPARAM removal, LPARAM message) {
    const MSG* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && taken->message == MM_MCINOTIFY)
        noticeTarget = taken->hwnd;
    return CallNextHookEx(nullptr, code, removal, message);
}

TEST(PagePlayback, ALateNoticeOfAnEndedPlaybackLeavesTheNextClipPlaying) {
    PlayingPage playing;
    PageCloser closer{&playing.open};
    ASSERT_TRUE(OpenOnClip("pe-resources.dll", kVideo32, &playing));
    HWND page = playing.open.page;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, NoteNoticeTarget, nullptr, GetCurrentThreadId());
    noticeTarget = nullptr;
    Command(page, 1012, BN_CLICKED);
    const MCIDEVICEID firstDevice = FindPageState(page)->mciDevice;
    Command(page, 1012, BN_CLICKED);
    const bool ended = WaitUntilIdle(playing);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(ended);
    // The device was handed a window of that playback alone, gone with it.
    const HWND firstCallback = noticeTarget;
    ASSERT_NE(nullptr, firstCallback);
    EXPECT_NE(page, firstCallback);
    EXPECT_FALSE(IsWindow(firstCallback));

    // The next clip's device may get the same id; the first device's notice
    // may come only now, to the window it was given.
    Command(page, 1012, BN_CLICKED);
    ASSERT_TRUE(Playing(page));
    PostMessageA(firstCallback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, firstDevice);
    PostMessageA(firstCallback, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, firstDevice);
    PumpThreadMessages();
    ExpectState(playing, true, "after the late notice");
    Command(page, 1012, BN_CLICKED);
    ASSERT_TRUE(WaitUntilIdle(playing));
}

TEST(PagePlayback, ARebuildOrARepaintOfBytesGoneLeavesNoDeviceOrViewBehind) {
    for (const char* file : {"pe-resources.dll", "ne-kinds.exe"}) {
        SCOPED_TRACE(file);
        PlayingPage playing;
        PageCloser closer{&playing.open};
        ASSERT_TRUE(OpenOnClip(file, kVideo32, &playing));
        HWND page = playing.open.page;
        PageState* state = FindPageState(page);

        // The bytes the device reads vanish: the repaint's second device is
        // not handed them.
        Command(page, 1012, BN_CLICKED);
        ASSERT_TRUE(Playing(page));
        const uint8_t* bytes = state->playData;
        void* gone = VirtualAlloc(nullptr, state->playSize, MEM_RESERVE, PAGE_NOACCESS);
        state->playData = static_cast<const uint8_t*>(gone);
        RedrawWindow(GetDlgItem(page, 1008), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        state->playData = bytes;
        VirtualFree(gone, 0, MEM_RELEASE);
        ExpectState(playing, true, "after the repaint");

        SendMessageA(page, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        PumpThreadMessages();
        ExpectState(playing, false, "after the rebuild");
    }
}

}  // namespace
