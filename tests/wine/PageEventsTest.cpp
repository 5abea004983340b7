// The page's context menu, keys and right clicks, its answers to the sheet,
// its play button's drawing mode, and the rebuild after a settings or
// display change, all through a real page in a real sheet.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "page/state/PageState.h"
#include "support/OlderSystem.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

// What the last popup menu held; the menu is closed as soon as it idles.
struct MenuSeen {
    int shown;
    int items;
    UINT id;
    std::string text;
    bool copyGreyed;
};
MenuSeen seenMenu;

LRESULT CALLBACK WatchMenus(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(message->wParam);
        char text[64] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE;
        item.dwTypeData = text;
        item.cch = sizeof(text);
        GetMenuItemInfoA(menu, 0, TRUE, &item);
        seenMenu = MenuSeen{seenMenu.shown + 1, GetMenuItemCount(menu), item.wID, text,
                            (item.fState & MFS_GRAYED) != 0};
    } else if (code == HC_ACTION && message->message == WM_ENTERIDLE) {
        EndMenu();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

// Runs send with the menu watch on; what the menu held, shown 0 when none came.
template <typename Send>
MenuSeen MenuDuring(Send send) {
    seenMenu = MenuSeen{};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenus, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 500, CloseMenu);
    send();
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    return seenMenu;
}

MenuSeen MenuAt(HWND page, POINT screen) {
    return MenuDuring([&] {
        SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page),
                     MAKELPARAM(screen.x, screen.y));
    });
}

POINT CentreOf(HWND page, int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(page, id), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The copy item first, the save item under it.
void ExpectCopyMenu(const MenuSeen& menu, const char* where, const char* text = "コピー(&C)") {
    SCOPED_TRACE(where);
    EXPECT_EQ(menu.shown, 1);
    EXPECT_EQ(menu.items, 2);
    EXPECT_EQ(menu.id, 1u);
    EXPECT_EQ(menu.text, text);
    EXPECT_FALSE(menu.copyGreyed);
}

int Selection(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, LB_GETCURSEL, 0, 0));
}

// Row -1: every row.
void SelectStringRow(HWND page, int row, UINT state) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = state;
    SendDlgItemMessageA(page, 1007, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&item));
}

// Shows the icon kind with a group of at least two members chosen; false when
// the file has none.
bool ChooseGroupWithMembers(HWND page) {
    ChooseKind(page, 0);
    for (int i = 0; i < ListCount(page, 1004); ++i) {
        ChooseEntry(page, 1004, i);
        if (ListCount(page, 1010) >= 2)
            return true;
    }
    return false;
}

LPARAM CentreOfItem(HWND page, int id, int index) {
    RECT r = {};
    SendDlgItemMessageA(page, id, LB_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The dialog procedure's own answer; through SendMessage only its
// DWLP_MSGRESULT would be seen.
INT_PTR Notify(HWND page, NMHDR* header) {
    DLGPROC procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(page, DWLP_DLGPROC));
    return procedure(page, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

class PageEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
        page = open.page;
    }
    ResourcePage open = {};
    PageCloser closer{&open};
    HWND page = nullptr;
};

TEST_F(PageEventsTest, ContextMenuOffersCopyAndSaveOnlyOverCopyableLists) {
    ChooseKind(page, 1);
    ASSERT_TRUE(ControlEnabled(page, 1013));
    ExpectCopyMenu(MenuAt(page, CentreOf(page, 1005)), "bitmaps");
    EXPECT_EQ(MenuAt(page, CentreOf(page, 1000)).shown, 0) << "over the drop-down";
    ChooseKind(page, 4);
    ExpectCopyMenu(MenuAt(page, CentreOf(page, 1008)), "clips");

    ASSERT_TRUE(ChooseGroupWithMembers(page));
    ASSERT_TRUE(ControlEnabled(page, 1013));
    EXPECT_EQ(MenuAt(page, CentreOf(page, 1004)).shown, 0) << "icon groups copy by member";
    ExpectCopyMenu(MenuAt(page, CentreOf(page, 1010)), "members");

    ChooseKind(page, 3);
    SelectStringRow(page, -1, 0);
    ASSERT_FALSE(ControlEnabled(page, 1013)) << "no string row chosen yet";
    EXPECT_EQ(MenuAt(page, CentreOf(page, 1007)).shown, 0);
    SelectStringRow(page, 0, LVIS_SELECTED);
    ExpectCopyMenu(MenuAt(page, CentreOf(page, 1007)), "string rows");
}

TEST_F(PageEventsTest, ContextMenuPointIsSignedAndTheKeyboardsPointIsNoPointerPosition) {
    ChooseKind(page, 1);
    // The bitmap list's centre at (-1, -1): on a monitor above and left of
    // the primary one.
    POINT centre = CentreOf(page, 1005);
    RECT sheet = {};
    GetWindowRect(open.sheet, &sheet);
    SetWindowPos(open.sheet, nullptr, sheet.left - centre.x - 1, sheet.top - centre.y - 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    centre = CentreOf(page, 1005);
    if (centre.x != -1 || centre.y != -1)
        GTEST_SKIP() << "the sheet cannot be moved off the screen here";
    // (-1, -1) is the keyboard's request; from the page itself, not from a
    // list, it opens nothing, whatever lies under that point.
    EXPECT_EQ(MenuAt(page, POINT{-1, -1}).shown, 0);
    ExpectCopyMenu(MenuAt(page, POINT{-6, -6}), "negative point");
}

TEST_F(PageEventsTest, RightClickSelectsTheEntryUnderThePointerBeforeTheMenu) {
    ChooseKind(page, 1);
    ASSERT_GE(ListCount(page, 1005), 2);
    ChooseEntry(page, 1005, 0);
    std::string firstName = ControlText(page, 1002);
    HWND bitmaps = GetDlgItem(page, 1005);
    LPARAM second = CentreOfItem(page, 1005, 1);
    MenuSeen menu = MenuDuring([&] {
        SendMessageA(bitmaps, WM_RBUTTONDOWN, MK_RBUTTON, second);
        SendMessageA(bitmaps, WM_RBUTTONUP, 0, second);
    });
    EXPECT_EQ(Selection(page, 1005), 1);
    EXPECT_NE(ControlText(page, 1002), firstName) << "the page took the new entry";
    ExpectCopyMenu(menu, "after the right click");

    // A bitmap that cannot be drawn is saved, never copied: its copy is grey.
    int undrawable = 0;
    while (undrawable < ListCount(page, 1005) && ControlEnabled(page, 1013))
        ChooseEntry(page, 1005, ++undrawable);
    ASSERT_LT(undrawable, ListCount(page, 1005));
    LPARAM point = CentreOfItem(page, 1005, undrawable);
    menu = MenuDuring([&] {
        SendMessageA(bitmaps, WM_RBUTTONDOWN, MK_RBUTTON, point);
        SendMessageA(bitmaps, WM_RBUTTONUP, 0, point);
    });
    EXPECT_EQ(menu.shown, 1);
    EXPECT_TRUE(menu.copyGreyed);

    // In the member list only the member changes, not the copy button.
    ASSERT_TRUE(ChooseGroupWithMembers(page));
    SendDlgItemMessageA(page, 1010, LB_SETCURSEL, 0, 0);
    bool copy = ControlEnabled(page, 1013);
    LPARAM member = CentreOfItem(page, 1010, 1);
    menu = MenuDuring([&] {
        SendDlgItemMessageA(page, 1010, WM_RBUTTONDOWN, MK_RBUTTON, member);
        SendDlgItemMessageA(page, 1010, WM_RBUTTONUP, 0, member);
    });
    EXPECT_EQ(Selection(page, 1010), 1);
    EXPECT_EQ(ControlEnabled(page, 1013), copy);
    EXPECT_EQ(menu.shown, 1) << "the member can be saved whether or not it copies";
    EXPECT_EQ(menu.copyGreyed, !copy);

    // Below the last member lies no member: the selection stays.
    const int last = ListCount(page, 1010) - 1;
    RECT lastRect = {};
    RECT client = {};
    SendDlgItemMessageA(page, 1010, LB_GETITEMRECT, static_cast<WPARAM>(last),
                        reinterpret_cast<LPARAM>(&lastRect));
    GetClientRect(GetDlgItem(page, 1010), &client);
    ASSERT_LT(lastRect.bottom + 2, client.bottom) << "no room below the last member";
    SendDlgItemMessageA(page, 1010, LB_SETCURSEL, 0, 0);
    const LPARAM below = MAKELPARAM(client.right / 2, (lastRect.bottom + client.bottom) / 2);
    MenuDuring([&] {
        SendDlgItemMessageA(page, 1010, WM_RBUTTONDOWN, MK_RBUTTON, below);
        SendDlgItemMessageA(page, 1010, WM_RBUTTONUP, 0, below);
    });
    EXPECT_EQ(Selection(page, 1010), 0);
}

TEST_F(PageEventsTest, TheMenuKeyOpensTheMenuOnItsReleaseNotItsPress) {
    ChooseKind(page, 1);
    HWND bitmaps = GetDlgItem(page, 1005);
    MenuSeen menu = MenuDuring([&] { SendMessageA(bitmaps, WM_KEYDOWN, VK_APPS, 1); });
    EXPECT_EQ(menu.shown, 0) << "on the press";
    menu = MenuDuring([&] { SendMessageA(bitmaps, WM_KEYUP, VK_APPS, 0xC0000001); });
    ExpectCopyMenu(menu, "on the release");
}

TEST_F(PageEventsTest, CtrlCInTheIconListLeavesTheClipboardAlone) {
    ASSERT_TRUE(ChooseGroupWithMembers(page));
    ASSERT_TRUE(ControlEnabled(page, 1013));
    int selection = Selection(page, 1004);
    DWORD clipboard = GetClipboardSequenceNumber();
    SendDlgItemMessageA(page, 1004, WM_CHAR, 3, 1);
    EXPECT_EQ(GetClipboardSequenceNumber(), clipboard);
    EXPECT_EQ(Selection(page, 1004), selection);
}

TEST_F(PageEventsTest, SheetNotificationsAreAnsweredAndApplyChangesNothing) {
    ChooseKind(page, 1);
    ChooseEntry(page, 1005, 1);
    int count = ListCount(page, 1005);
    for (UINT code : {PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY, PSN_QUERYCANCEL}) {
        PSHNOTIFY notify = {};
        notify.hdr.hwndFrom = open.sheet;
        notify.hdr.code = code;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 77);
        EXPECT_EQ(Notify(page, &notify.hdr), TRUE) << static_cast<int>(code);
        EXPECT_EQ(GetWindowLongPtrA(page, DWLP_MSGRESULT), PSNRET_NOERROR)
            << static_cast<int>(code);
    }
    NMHDR other = {open.sheet, 0, static_cast<UINT>(PSN_HELP)};
    EXPECT_EQ(Notify(page, &other), FALSE);
    EXPECT_EQ(ListCount(page, 1005), count);
    EXPECT_EQ(Selection(page, 1005), 1);
    EXPECT_TRUE(ControlShown(page, 1005));
}

bool ProcessIsThemed() {
    HMODULE uxTheme = LoadLibraryA("uxtheme.dll");
    using IsAppThemedProc = BOOL(WINAPI*)();
    IsAppThemedProc isAppThemed =
        uxTheme != nullptr ? reinterpret_cast<IsAppThemedProc>(
                                 reinterpret_cast<void*>(GetProcAddress(uxTheme, "IsAppThemed")))
                           : nullptr;
    bool themed = isAppThemed != nullptr && isAppThemed();
    if (uxTheme != nullptr)
        FreeLibrary(uxTheme);
    return themed;
}

// Only a button of the newer controls paints a themed face and sends custom
// draw; only it knows its ideal size.
bool NewerButton(HWND button) {
    SIZE ideal = {};
    return SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != 0;
}

TEST_F(PageEventsTest, PlayButtonFollowsTheVisualStyle) {
    SendMessageA(page, WM_THEMECHANGED, 0, 0);
    HWND play = GetDlgItem(page, 1012);
    NMCUSTOMDRAW draw = {};
    draw.hdr = NMHDR{play, 1012, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.dwDrawStage = CDDS_PREPAINT;
    if (!ProcessIsThemed() || !NewerButton(play)) {
        EXPECT_NE(GetWindowLongA(play, GWL_STYLE) & BS_BITMAP, 0);
        EXPECT_NE(SendMessageA(play, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        EXPECT_EQ(ControlText(page, 1012), "");
        EXPECT_EQ(Notify(page, &draw.hdr), FALSE) << "no custom drawing with a bitmap";
    } else {
        EXPECT_EQ(GetWindowLongA(play, GWL_STYLE) & BS_BITMAP, 0);
        EXPECT_EQ(SendMessageA(play, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        EXPECT_EQ(ControlText(page, 1012), " ");
    }
    // The themed face's glyph, whichever mode this process's button has.
    PageState* state = FindPageState(page);
    const int32_t mode = state->themedPlayButton;
    state->themedPlayButton = 1;
    EXPECT_EQ(Notify(page, &draw.hdr), TRUE);
    EXPECT_EQ(GetWindowLongPtrA(page, DWLP_MSGRESULT), CDRF_NOTIFYPOSTPAINT);

    // Over the face the theme painted, the glyph goes into the 9 x 9 cell in
    // the middle (and its shadow beside it) and nowhere else.
    const int w = 30, h = 24, left = (w - 9) / 2, top = (h - 9) / 2;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, CreateBitmap(w, h, 1, 32, nullptr));
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    COLORREF grey = GetPixel(dc, 0, 0);
    draw.dwDrawStage = CDDS_POSTPAINT;
    draw.hdc = dc;
    draw.rc = all;
    EXPECT_EQ(Notify(page, &draw.hdr), TRUE);
    int inCell = 0, outside = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bool painted = GetPixel(dc, x, y) != grey;
            inCell += painted && x >= left && x < left + 9 && y >= top && y < top + 9;
            outside += painted && !(x >= left && x < left + 11 && y >= top && y < top + 11);
        }
    }
    EXPECT_GT(inCell, 4);
    EXPECT_EQ(outside, 0);
    DeleteObject(SelectObject(dc, previous));
    DeleteDC(dc);
    state->themedPlayButton = mode;
}

// Counts the refills of the bitmap list, and can send a second change from
// inside one.
WNDPROC bitmapListProc;
int bitmapListResets;
bool changeInsideFill;

LRESULT CALLBACK WatchBitmapList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_RESETCONTENT)
        ++bitmapListResets;
    if ((message == LB_ADDSTRING || message == LB_INSERTSTRING) && changeInsideFill) {
        changeInsideFill = false;
        SendMessageA(GetParent(list), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    }
    return CallWindowProcA(bitmapListProc, list, message, wParam, lParam);
}

struct PageSnapshot {
    int counts[5];
    int selections[5];
    std::string name;
};

PageSnapshot Snapshot(HWND page) {
    PageSnapshot shot = {};
    const int lists[] = {1004, 1005, 1006, 1008, 1010};
    for (int i = 0; i < 5; ++i) {
        shot.counts[i] = ListCount(page, lists[i]);
        shot.selections[i] = Selection(page, lists[i]);
    }
    shot.name = ControlText(page, 1002);
    return shot;
}

void ExpectSame(const PageSnapshot& before, const PageSnapshot& after, const char* what) {
    SCOPED_TRACE(what);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(after.counts[i], before.counts[i]) << "list " << i;
        EXPECT_EQ(after.selections[i], before.selections[i]) << "list " << i;
    }
    EXPECT_EQ(after.name, before.name);
}

TEST_F(PageEventsTest, ChangesRebuildOnlyWhatTheyAffectAndKeepTheSelections) {
    ChooseKind(page, 1);
    ChooseEntry(page, 1005, 2);
    ASSERT_TRUE(ChooseGroupWithMembers(page));
    SendDlgItemMessageA(page, 1010, LB_SETCURSEL, 1, 0);
    PageSnapshot before = Snapshot(page);
    HWND bitmaps = GetDlgItem(page, 1005);
    bitmapListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bitmaps, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchBitmapList)));
    bitmapListResets = 0;

    SendMessageA(page, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(bitmapListResets, 0) << "nothing the lists are drawn with changed";
    ExpectSame(before, Snapshot(page), "settings");

    // A keyboard user in the shown list stays there: the next arrow key must
    // move in the list, not change the kind.
    SetForegroundWindow(open.sheet);
    HWND icons = GetDlgItem(page, 1004);
    SetFocus(icons);
    ASSERT_EQ(GetFocus(), icons);
    changeInsideFill = true;
    SendMessageA(page, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_FALSE(changeInsideFill);
    EXPECT_EQ(bitmapListResets, 1) << "one rebuild, the change inside it ignored";
    ExpectSame(before, Snapshot(page), "display");
    EXPECT_EQ(GetFocus(), icons) << "the keyboard focus kept in the list";

    // Rows built for another icon size: the next settings change rebuilds.
    LRESULT height = SendDlgItemMessageA(page, 1004, LB_GETITEMHEIGHT, 0, 0);
    SendDlgItemMessageA(page, 1004, LB_SETITEMHEIGHT, 0, MAKELPARAM(height - 5, 0));
    SendMessageA(page, WM_SETTINGCHANGE, SPI_SETICONMETRICS, 0);
    EXPECT_EQ(bitmapListResets, 2);
    EXPECT_EQ(SendDlgItemMessageA(page, 1004, LB_GETITEMHEIGHT, 0, 0), height);
    ExpectSame(before, Snapshot(page), "icon size");
    SetWindowLongPtrA(bitmaps, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(bitmapListProc));
}

}  // namespace

// The oldest shells: the half-width menu text, and the play button as a bitmap
// button whose picture follows playback.
TEST(PageEventsLegacy, MenuTextAndBitmapPlayButton) {
    EXPECT_TRUE(RunAsOlderSystem("win95", "legacy", "PageEventsLegacyChild.*"));
}

TEST(PageEventsLegacyChild, InTheReportedSystem) {
    if (OlderSystemTask() != "legacy")
        GTEST_SKIP() << "runs only as a child";
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindBitmap);
    ChooseEntry(page, 1005, 0);
    ASSERT_TRUE(ControlEnabled(page, 1013));
    ExpectCopyMenu(MenuAt(page, CentreOf(page, 1005)), "bitmaps", "ｺﾋﾟｰ(&C)");

    const PageState* state = FindPageState(page);
    ASSERT_EQ(0, state->themedPlayButton);
    auto image = [&] {
        return reinterpret_cast<HGDIOBJ>(
            SendDlgItemMessageA(page, 1012, BM_GETIMAGE, IMAGE_BITMAP, 0));
    };
    ChooseKind(page, kKindAvi);
    ChooseEntry(page, 1008, 3);  // the 32-bit clip
    EXPECT_EQ(state->playBitmap, image());
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1012)));
    EXPECT_EQ(state->stopBitmap, image());
    for (DWORD start = GetTickCount(); state->playingIndex >= 0 && GetTickCount() - start < 5000;)
        PumpThreadMessages();
    EXPECT_EQ(-1, state->playingIndex);
    EXPECT_EQ(state->playBitmap, image());
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
    ReportOlderSystemResult(!::testing::Test::HasFailure());
}
