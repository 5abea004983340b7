// The page through a screen reader's eyes: each list asked for its object as
// the platform's accessibility library asks it, the entries' names and
// descriptions against what the page shows, the play button's name, the menu
// from the keyboard, and an object held past the page's end.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "catalogue/ResourceKinds.h"
#include "page/state/PageState.h"
#include "support/AccessibleClient.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

const int kMemberListId = 1010;

std::string DescriptionOf(IAccessible* object, LONG child) {
    BSTR description = nullptr;
    object->get_accDescription(Child(child), &description);
    return Narrow(description);
}

LONG I4Of(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object,
          LONG child) {
    VARIANT value;
    VariantInit(&value);
    (object->*get)(Child(child), &value);
    return value.vt == VT_I4 ? value.lVal : -1;
}

long ChildCount(IAccessible* object) {
    long count = -1;
    object->get_accChildCount(&count);
    return count;
}

// The child of the first entry named name, 0 when none is.
LONG ChildNamed(IAccessible* object, const std::string& name) {
    for (LONG child = 1; child <= ChildCount(object); ++child) {
        if (NameOf(object, child) == name)
            return child;
    }
    return 0;
}

class PageAccessibilityTest : public AccessiblePageTest {};

// Every entry of every picture list, and the members of a group, are children
// of the list's object, named as control 1002 shows them (text names without
// their quotes), placed where the list draws them and selected with the list.
TEST_F(PageAccessibilityTest, EveryEntryOfEveryListIsNamedAsThePageShowsIt) {
    for (const std::string& file : {FixturePath("pe-resources.dll"), FixturePath("ne-kinds.exe"),
                                    SystemFilePath("shell32.dll"), SystemFilePath("user32.dll")}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(OpenResourcePage(file, &open));
        HWND page = open.page;
        int named = 0;
        for (int kind : {kKindIcon, kKindBitmap, kKindCursor, kKindAvi}) {
            SCOPED_TRACE(kind);
            ChooseKind(page, kind);
            const int listId = ResourceKindList(kind);
            HWND list = GetDlgItem(page, listId);
            Held held = {AskFor(list)};
            ASSERT_NE(nullptr, held.object);
            const int count = ListCount(page, listId);
            ASSERT_EQ(count, ChildCount(held.object));
            for (LONG child = 1; child <= count; ++child) {
                EXPECT_NE("", NameOf(held.object, child)) << "entry " << child;
                EXPECT_EQ(ROLE_SYSTEM_LISTITEM,
                          I4Of(&IAccessible::get_accRole, held.object, child));
            }
            named += count;
            for (int index : {0, count / 2, count - 1}) {
                if (index < 0 || index >= count)
                    continue;
                ChooseEntry(page, listId, index);
                std::string shown = ControlText(page, 1002);
                if (shown.size() > 2 && shown.front() == '"')
                    shown = shown.substr(1, shown.size() - 2);
                EXPECT_EQ(shown, NameOf(held.object, index + 1));
                VARIANT selection;
                VariantInit(&selection);
                held.object->get_accSelection(&selection);
                EXPECT_EQ(index + 1, selection.vt == VT_I4 ? selection.lVal : -1);
                EXPECT_TRUE(I4Of(&IAccessible::get_accState, held.object, index + 1) &
                            STATE_SYSTEM_SELECTED);

                RECT item = {};
                SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item));
                MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
                long x = 0, y = 0, w = 0, h = 0;
                EXPECT_EQ(S_OK, held.object->accLocation(&x, &y, &w, &h, Child(index + 1)));
                EXPECT_EQ(item.left, x);
                EXPECT_EQ(item.top, y);
                EXPECT_EQ(item.right - item.left, w);
                VARIANT hit;
                VariantInit(&hit);
                if (index == 0 && item.right > item.left) {
                    held.object->accHitTest(x + w / 2, y + h / 2, &hit);
                    EXPECT_EQ(1, hit.vt == VT_I4 ? hit.lVal : -1) << "hit at the entry's centre";
                }
            }
            if (kind == kKindIcon || kind == kKindCursor) {
                for (int index = 0; index < count && ListCount(page, kMemberListId) == 0; ++index)
                    ChooseEntry(page, listId, index);
                Held members = {AskFor(GetDlgItem(page, kMemberListId))};
                ASSERT_NE(nullptr, members.object);
                const int memberCount = ListCount(page, kMemberListId);
                EXPECT_EQ(memberCount, ChildCount(members.object));
                for (LONG child = 1; child <= memberCount; ++child)
                    EXPECT_NE("", NameOf(members.object, child)) << "member " << child;
            }
        }
        EXPECT_GT(named, 0);
        EXPECT_EQ(S_OK, CloseResourcePage(&open));
    }
}

// What the page draws under or beside an entry's name is its description.
TEST_F(PageAccessibilityTest, DescriptionsAreWhatIsDrawnBesideTheName) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;

    ChooseKind(page, kKindIcon);
    Held icons = {AskFor(GetDlgItem(page, 1004))};
    ASSERT_NE(nullptr, icons.object);
    const LONG first = ChildNamed(icons.object, "1");
    ASSERT_NE(0, first);
    EXPECT_EQ("", DescriptionOf(icons.object, first)) << "a group shows only its picture";
    EXPECT_NE(0, ChildNamed(icons.object, "APPICON")) << "a text name without its quotes";

    ChooseKind(page, kKindBitmap);
    Held bitmaps = {AskFor(GetDlgItem(page, 1005))};
    ASSERT_NE(nullptr, bitmaps.object);
    const LONG wide = ChildNamed(bitmaps.object, "WIDE");
    ASSERT_NE(0, wide);
    EXPECT_EQ("120x10, 256 色", DescriptionOf(bitmaps.object, wide));

    ChooseKind(page, kKindAvi);
    Held clips = {AskFor(GetDlgItem(page, 1008))};
    ASSERT_NE(nullptr, clips.object);
    const LONG video = ChildNamed(clips.object, "VIDEO32");
    ASSERT_NE(0, video);
    EXPECT_EQ("32x24, 0.40 秒", DescriptionOf(clips.object, video));

    // The cursor group's members, 16 x 16 first: size and depth name them,
    // the hot spot under its column's caption describes them.
    ChooseKind(page, kKindCursor);
    Held cursors = {AskFor(GetDlgItem(page, 1006))};
    ASSERT_NE(nullptr, cursors.object);
    const LONG pointer = ChildNamed(cursors.object, "POINTER");
    ASSERT_NE(0, pointer);
    ChooseEntry(page, 1006, pointer - 1);
    Held members = {AskFor(GetDlgItem(page, kMemberListId))};
    ASSERT_NE(nullptr, members.object);
    ASSERT_EQ(2, ChildCount(members.object));
    const std::string caption = ControlText(page, 1011);
    EXPECT_EQ("16x16, 16 色", NameOf(members.object, 1));
    EXPECT_EQ(caption + " (0,15)", DescriptionOf(members.object, 1));
    EXPECT_EQ("32x32, モノクロ", NameOf(members.object, 2));
    EXPECT_EQ(caption + " (16,16)", DescriptionOf(members.object, 2));
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(E_INVALIDARG, members.object->get_accRole(Child(3), &role)) << "past the last member";
}

TEST_F(PageAccessibilityTest, ThePlayButtonIsNamedByWhatPressingItDoes) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindAvi);
    Held clips = {AskFor(GetDlgItem(page, 1008))};
    ASSERT_NE(nullptr, clips.object);
    const LONG video = ChildNamed(clips.object, "VIDEO32");
    ASSERT_NE(0, video);

    HWND button = GetDlgItem(page, 1012);
    Held play = {AskFor(button)};
    ASSERT_NE(nullptr, play.object);
    IAccessible* system = nullptr;
    ASSERT_EQ(S_OK, CreateStdAccessibleObject(button, OBJID_CLIENT, IID_IAccessible,
                                              reinterpret_cast<void**>(&system)));
    Held systems = {system};
    EXPECT_EQ(I4Of(&IAccessible::get_accRole, system, CHILDID_SELF),
              I4Of(&IAccessible::get_accRole, play.object, CHILDID_SELF))
        << "the rest is the system's";
    // The first entry (150, video and sound) as well as a later one.
    for (const LONG entry : {LONG{0}, video - 1}) {
        ChooseEntry(page, 1008, entry);
        EXPECT_EQ("再生", NameOf(play.object, CHILDID_SELF)) << entry;
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        ASSERT_EQ(entry, FindPageState(page)->playingIndex) << "the clip did not start";
        EXPECT_EQ("停止", NameOf(play.object, CHILDID_SELF)) << entry;
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        ASSERT_TRUE(PumpUntil([&] { return FindPageState(page)->playingIndex < 0; }));
        EXPECT_EQ("再生", NameOf(play.object, CHILDID_SELF)) << entry;
    }
}

// Where the context menu came up, and whether it came; its save item is
// chosen by its mnemonic as soon as it is shown.
struct MenuSeen {
    int shown;
    RECT place;
    bool chooseSave;
};
MenuSeen seenMenu;

LRESULT CALLBACK WatchMenus(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_ENTERIDLE && message->wParam == MSGF_MENU) {
        if (seenMenu.shown++ == 0)
            GetWindowRect(reinterpret_cast<HWND>(message->lParam), &seenMenu.place);
        if (seenMenu.chooseSave)
            PostMessageA(message->hwnd, WM_CHAR, 'a', 0);
        else
            EndMenu();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <typename Press>
MenuSeen MenuDuring(bool chooseSave, Press press) {
    seenMenu = MenuSeen{0, {}, chooseSave};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMenus, nullptr, GetCurrentThreadId());
    press();
    UnhookWindowsHookEx(hook);
    return seenMenu;
}

// Names path in the save dialog that comes while the action runs.
struct SaveAnswer {
    std::string path;
    volatile bool answered;
    volatile bool done;
};

BOOL CALLBACK AnswerSaveDialog(HWND window, LPARAM data) {
    auto* answer = reinterpret_cast<SaveAnswer*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const int kFileNameField = 0x47C;
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        GetDlgItem(window, kFileNameField) == nullptr || answer->answered)
        return TRUE;
    SetDlgItemTextA(window, kFileNameField, answer->path.c_str());
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    answer->answered = true;
    return FALSE;
}

DWORD WINAPI AnswerSaveDialogs(void* data) {
    auto* answer = static_cast<SaveAnswer*>(data);
    while (!answer->done) {
        Sleep(50);
        EnumWindows(AnswerSaveDialog, reinterpret_cast<LPARAM>(answer));
    }
    return 0;
}

void PressShiftF10(HWND list) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(list, WM_SYSKEYDOWN, VK_F10, 0);
    SendMessageA(list, WM_SYSKEYUP, VK_F10, 0xC0000000);
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
}

POINT ScreenCorner(HWND list, const RECT& r) {
    POINT corner = {r.left, r.top};
    MapWindowPoints(list, nullptr, &corner, 1);
    return corner;
}

TEST_F(PageAccessibilityTest, TheKeyboardOpensTheContextMenuAtTheSelectedEntry) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindBitmap);
    HWND list = GetDlgItem(page, 1005);
    ASSERT_GE(ListCount(page, 1005), 2);
    ChooseEntry(page, 1005, 1);
    RECT entry = {};
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&entry));

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    SaveAnswer answer = {std::string(folder) + "vantrel-keyboard-menu.bmp", false, false};
    DeleteFileA(answer.path.c_str());
    HANDLE thread = CreateThread(nullptr, 0, AnswerSaveDialogs, &answer, 0, nullptr);
    MenuSeen menu = MenuDuring(true, [&] { PressShiftF10(list); });
    answer.done = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_EQ(1, menu.shown) << "Shift+F10";
    const POINT corner = ScreenCorner(list, entry);
    EXPECT_EQ(corner.x, menu.place.left);
    EXPECT_EQ(corner.y, menu.place.top);
    EXPECT_TRUE(answer.answered) << "the save item asked for a name";
    HANDLE saved = CreateFileA(answer.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, saved);
    char magic[2] = {};
    DWORD read = 0;
    ReadFile(saved, magic, 2, &read, nullptr);
    CloseHandle(saved);
    DeleteFileA(answer.path.c_str());
    EXPECT_EQ(std::string("BM"), std::string(magic, read)) << "a bitmap file";

    // The menu key, once per press and release, at the list's corner while
    // nothing is selected.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    menu = MenuDuring(false, [&] {
        SendMessageA(list, WM_KEYDOWN, VK_APPS, 0);
        SendMessageA(list, WM_KEYUP, VK_APPS, 0xC0000000);
    });
    EXPECT_EQ(1, menu.shown) << "the menu key";
    RECT client = {};
    GetClientRect(list, &client);
    const POINT listCorner = ScreenCorner(list, client);
    EXPECT_EQ(listCorner.x, menu.place.left);
    EXPECT_EQ(listCorner.y, menu.place.top);
}

// A screen reader may keep an object after the sheet is closed: every call
// then fails cleanly, and the library stays loaded until it lets go.
TEST_F(PageAccessibilityTest, AnObjectHeldPastThePageAnswersDisconnected) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, kKindBitmap);
    IAccessible* list = AskFor(GetDlgItem(open.page, 1005));
    IAccessible* button = AskFor(GetDlgItem(open.page, 1012));
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, button);
    ASSERT_GT(ChildCount(list), 0);

    DestroyWindow(open.sheet);
    open.sheet = nullptr;
    PumpThreadMessages();
    long count = 7;
    EXPECT_EQ(RPC_E_DISCONNECTED, list->get_accChildCount(&count));
    EXPECT_EQ(0, count);
    BSTR name = nullptr;
    EXPECT_EQ(RPC_E_DISCONNECTED, list->get_accName(Child(1), &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(RPC_E_DISCONNECTED, list->get_accDescription(Child(1), &name));
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(RPC_E_DISCONNECTED, list->accLocation(&x, &y, &w, &h, Child(CHILDID_SELF)));
    EXPECT_EQ(RPC_E_DISCONNECTED, list->accSelect(SELFLAG_TAKESELECTION, Child(1)));
    EXPECT_EQ(RPC_E_DISCONNECTED, button->get_accName(Child(CHILDID_SELF), &name));
    EXPECT_EQ(nullptr, name);

    EXPECT_EQ(S_FALSE, open.server.canUnloadNow()) << "held objects keep the library";
    list->Release();
    button->Release();
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

}  // namespace
