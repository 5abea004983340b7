// A screen reader working the page, not only reading it: entries it can
// reach, the focus and selection it moves, the directions it steps in, the
// actions it does, the names of the lists, the string list's first column,
// and its calls from another thread and from another process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/ResourceKinds.h"
#include "page/state/PageState.h"
#include "support/AccessibleClient.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

const int kIdDisplay = 1002;
const int kStringListId = 1007;
const int kAviListId = 1008;
const int kMemberListId = 1010;
const int kPlayButtonId = 1012;
// The list a second process asks about, by its window's number.
const char kListVariable[] = "VANTREL_SCREEN_READER_LIST";

std::string ActionOf(IAccessible* object, LONG child) {
    BSTR action = nullptr;
    object->get_accDefaultAction(Child(child), &action);
    return Narrow(action);
}

LONG StateOf(IAccessible* object, LONG child) {
    VARIANT state;
    VariantInit(&state);
    object->get_accState(Child(child), &state);
    return state.vt == VT_I4 ? state.lVal : -1;
}

LONG FocusOf(IAccessible* object) {
    VARIANT focus;
    VariantInit(&focus);
    object->get_accFocus(&focus);
    return focus.vt == VT_I4 ? focus.lVal : -1;
}

long ChildCount(IAccessible* object) {
    long count = -1;
    object->get_accChildCount(&count);
    return count;
}

// Where a step from child leads: the child reached, 0 for none.
LONG Step(IAccessible* object, LONG child, long direction) {
    VARIANT end;
    VariantInit(&end);
    HRESULT answer = object->accNavigate(direction, Child(child), &end);
    return answer == S_OK && end.vt == VT_I4 ? end.lVal : 0;
}

LONG ChildNamed(IAccessible* object, const std::string& name) {
    for (LONG child = 1; child <= ChildCount(object); ++child) {
        if (NameOf(object, child) == name)
            return child;
    }
    return 0;
}

// The windows whose names the page said had changed, in order.
std::vector<HWND> renamed;

void CALLBACK NoteRenamed(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        renamed.push_back(window);
}

class ScreenReaderActionsTest : public AccessiblePageTest {};

// Handles what is queued for control alone until done says so: a default
// action is posted to its control and done once the caller has its answer.
template <typename Done>
bool HandleQueuedFor(HWND control, Done done) {
    MSG message;
    while (!done() && PeekMessageA(&message, control, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    return done();
}

// A scrolled-out entry of the shown list is only out of sight, so that
// clients which skip invisible objects still reach it; a hidden list's are
// invisible.
TEST_F(ScreenReaderActionsTest, ScrolledOutEntriesAreReachableHiddenOnesAreNot) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindIcon);
    Held icons = {AskFor(GetDlgItem(page, ResourceKindList(kKindIcon)))};
    ASSERT_NE(nullptr, icons.object);
    const long last = ChildCount(icons.object);
    ASSERT_GT(last, 20);
    EXPECT_EQ(STATE_SYSTEM_OFFSCREEN,
              StateOf(icons.object, last) & (STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE));
    EXPECT_EQ(0, StateOf(icons.object, 1) & (STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE));

    ChooseKind(page, kKindBitmap);
    EXPECT_TRUE(StateOf(icons.object, 1) & STATE_SYSTEM_INVISIBLE) << "the icon list is hidden";
}

// Taking the focus makes the entry the focused and selected one, with all
// the page shows for a selection; a hidden list takes nothing.
TEST_F(ScreenReaderActionsTest, TakingTheFocusSelectsTheEntryAndAHiddenListRefuses) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindIcon);
    HWND list = GetDlgItem(page, ResourceKindList(kKindIcon));
    Held icons = {AskFor(list)};
    ASSERT_NE(nullptr, icons.object);
    ASSERT_GE(ChildCount(icons.object), 3);

    ASSERT_EQ(S_OK, icons.object->accSelect(SELFLAG_TAKEFOCUS, Child(3)));
    EXPECT_EQ(list, GetFocus());
    EXPECT_EQ(3, FocusOf(icons.object));
    EXPECT_EQ(NameOf(icons.object, 3), ControlText(page, kIdDisplay));
    EXPECT_TRUE(StateOf(icons.object, 3) & STATE_SYSTEM_SELECTED);
    EXPECT_GT(ListCount(page, kMemberListId), 0) << "the group's members follow";

    ChooseKind(page, kKindBitmap);
    HWND bitmaps = GetDlgItem(page, ResourceKindList(kKindBitmap));
    SetFocus(bitmaps);
    const std::string shown = ControlText(page, kIdDisplay);
    EXPECT_EQ(E_INVALIDARG,
              icons.object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(1)));
    EXPECT_EQ(E_INVALIDARG, icons.object->accSelect(SELFLAG_TAKEFOCUS, Child(CHILDID_SELF)));
    EXPECT_EQ(bitmaps, GetFocus());
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
    EXPECT_EQ(2, SendMessageA(list, LB_GETCURSEL, 0, 0)) << "the hidden list's selection stays";
    EXPECT_EQ(shown, ControlText(page, kIdDisplay));
}

// The picture lists are one row, the member list one column.
TEST_F(ScreenReaderActionsTest, StepsFollowTheWayEachListIsLaidOut) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindIcon);
    Held icons = {AskFor(GetDlgItem(page, ResourceKindList(kKindIcon)))};
    ASSERT_NE(nullptr, icons.object);
    EXPECT_EQ(3, Step(icons.object, 2, NAVDIR_RIGHT));
    EXPECT_EQ(1, Step(icons.object, 2, NAVDIR_LEFT));
    EXPECT_EQ(3, Step(icons.object, 2, NAVDIR_NEXT));
    EXPECT_EQ(0, Step(icons.object, 2, NAVDIR_DOWN));
    EXPECT_EQ(0, Step(icons.object, 2, NAVDIR_UP));
    EXPECT_EQ(0, Step(icons.object, 1, NAVDIR_LEFT));

    Held members = {AskFor(GetDlgItem(page, kMemberListId))};
    ASSERT_NE(nullptr, members.object);
    for (LONG child = 1; child <= ChildCount(icons.object) && ChildCount(members.object) < 2;
         ++child)
        ChooseEntry(page, ResourceKindList(kKindIcon), child - 1);
    ASSERT_GE(ChildCount(members.object), 2);
    EXPECT_EQ(2, Step(members.object, 1, NAVDIR_DOWN));
    EXPECT_EQ(1, Step(members.object, 2, NAVDIR_UP));
    EXPECT_EQ(2, Step(members.object, 1, NAVDIR_NEXT));
    EXPECT_EQ(0, Step(members.object, 1, NAVDIR_RIGHT));
    EXPECT_EQ(0, Step(members.object, 2, NAVDIR_LEFT));
}

// A clip's default action plays it as a double-click does, and stops it
// while it plays; the play button's presses it; other entries have none.
TEST_F(ScreenReaderActionsTest, AClipIsPlayedAndStoppedByItsDefaultAction) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindBitmap);
    Held bitmaps = {AskFor(GetDlgItem(page, ResourceKindList(kKindBitmap)))};
    ASSERT_NE(nullptr, bitmaps.object);
    EXPECT_EQ("", ActionOf(bitmaps.object, 1)) << "a bitmap has no action";
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, bitmaps.object->accDoDefaultAction(Child(1)));

    ChooseKind(page, kKindAvi);
    Held clips = {AskFor(GetDlgItem(page, kAviListId))};
    Held play = {AskFor(GetDlgItem(page, kPlayButtonId))};
    ASSERT_NE(nullptr, clips.object);
    ASSERT_NE(nullptr, play.object);
    const LONG video = ChildNamed(clips.object, "VIDEO32");
    ASSERT_NE(0, video);
    ChooseEntry(page, kAviListId, video == 1 ? 1 : 0);
    EXPECT_EQ("再生", ActionOf(clips.object, video));

    renamed.clear();
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, NoteRenamed,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    // Only the list's own messages are handled between the start and the
    // checks, so the clip's end cannot come in between.
    HWND clipList = GetDlgItem(page, kAviListId);
    ASSERT_EQ(S_OK, clips.object->accDoDefaultAction(Child(video)));
    ASSERT_TRUE(HandleQueuedFor(clipList, [&] {
        return FindPageState(page)->playingIndex == video - 1;
    })) << "that clip plays";
    EXPECT_EQ("\"VIDEO32\"", ControlText(page, kIdDisplay));
    EXPECT_EQ("停止", NameOf(play.object, CHILDID_SELF));
    EXPECT_EQ("停止", ActionOf(clips.object, video));
    EXPECT_EQ("再生", ActionOf(clips.object, video == 1 ? 2 : 1));
    EXPECT_EQ(S_OK, clips.object->accDoDefaultAction(Child(video)));
    ASSERT_TRUE(PumpUntil([&] { return FindPageState(page)->playingIndex < 0; }));
    EXPECT_EQ("再生", ActionOf(clips.object, video));
    // The ID display, which speaks the entry's language, is told of too.
    HWND button = GetDlgItem(page, kPlayButtonId);
    PumpUntil([&] { return std::count(renamed.begin(), renamed.end(), button) >= 2; });
    UnhookWinEvent(hook);
    EXPECT_EQ(2, std::count(renamed.begin(), renamed.end(), button))
        << "the button's new name is told at the start and at the end";

    EXPECT_EQ("押す", ActionOf(play.object, CHILDID_SELF));
    ASSERT_EQ(S_OK, play.object->accDoDefaultAction(Child(CHILDID_SELF)));
    EXPECT_TRUE(HandleQueuedFor(GetDlgItem(page, kPlayButtonId), [&] {
        return FindPageState(page)->playingIndex == video - 1;
    })) << "the button pressed";
    EXPECT_EQ(S_OK, play.object->accDoDefaultAction(Child(CHILDID_SELF)));
    ASSERT_TRUE(PumpUntil([&] { return FindPageState(page)->playingIndex < 0; }));

    // Another clip's "再生" while one plays plays that clip: its selection
    // stopped the first, whose end the device has not told yet.
    const LONG other = ChildNamed(clips.object, "150");
    ASSERT_NE(0, other);
    ASSERT_EQ(S_OK, clips.object->accDoDefaultAction(Child(video)));
    ASSERT_TRUE(
        HandleQueuedFor(clipList, [&] { return FindPageState(page)->playingIndex == video - 1; }));
    EXPECT_EQ("再生", ActionOf(clips.object, other));
    ASSERT_EQ(S_OK, clips.object->accDoDefaultAction(Child(other)));
    EXPECT_TRUE(HandleQueuedFor(clipList, [&] {
        return FindPageState(page)->playingIndex == other - 1;
    })) << "the other clip plays";
    EXPECT_EQ(S_OK, play.object->accDoDefaultAction(Child(CHILDID_SELF)));
    ASSERT_TRUE(PumpUntil([&] { return FindPageState(page)->playingIndex < 0; }));

    ChooseKind(page, kKindBitmap);
    EXPECT_EQ("", ActionOf(clips.object, video)) << "a hidden list's entries have none";
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, clips.object->accDoDefaultAction(Child(video)));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, play.object->accDoDefaultAction(Child(CHILDID_SELF)));
    EXPECT_GT(0, FindPageState(page)->playingIndex);
}

// Each list and the language drop-down have a name of their own, whichever
// kind is shown.
TEST_F(ScreenReaderActionsTest, EveryListIsNamedByItsCaption) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    const struct {
        int listId;
        const char* name;
    } lists[] = {{1004, "アイコン一覧"},        {1005, "ビットマップ一覧"},
                 {1006, "カーソル一覧"},        {1008, "AVI 一覧"},
                 {kStringListId, "文字列一覧"}, {kMemberListId, "グループ"},
                 {1014, "メッセージ一覧"},      {1016, "言語"}};
    for (const auto& list : lists) {
        // As a walk of the page's windows comes to each: its window first.
        Held window = {nullptr};
        AccessibleObjectFromWindow(GetDlgItem(page, list.listId), static_cast<DWORD>(OBJID_WINDOW),
                                   IID_IAccessible, reinterpret_cast<void**>(&window.object));
        Held object = {AskFor(GetDlgItem(page, list.listId))};
        ASSERT_NE(nullptr, object.object);
        EXPECT_EQ(list.name, NameOf(object.object, CHILDID_SELF)) << list.listId;
    }
    EXPECT_NE(0, GetWindowLongA(GetDlgItem(page, kStringListId), GWL_STYLE) & LVS_OWNERDATA)
        << "the walk filled the template's string list row by row";
    Held strings = {AskFor(GetDlgItem(page, kStringListId))};
    ASSERT_NE(nullptr, strings.object);
    EXPECT_NE("文字列一覧", NameOf(strings.object, 1)) << "a row is not the list";
}

// The first column holds the identifier that is drawn: what a list-view
// screen reader speaks first, and what typing digits finds.
TEST_F(ScreenReaderActionsTest, TheStringListsFirstColumnIsTheIdentifier) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindString);
    HWND list = GetDlgItem(page, kStringListId);
    const int rows = ListCount(page, kStringListId);
    ASSERT_GT(rows, 10);
    int probed = 0;
    std::string lastId;
    std::string withNine;
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (std::to_string(item.lParam).find('9') != std::string::npos) {
            withNine = std::to_string(item.lParam);
            break;
        }
    }
    for (int row = 0; row < rows; row += rows / 7 + 1) {
        char text[32] = "unchanged";
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        LVITEMA first = {};
        first.iSubItem = 0;
        first.pszText = text;
        first.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&first));
        EXPECT_EQ(std::to_string(item.lParam), text) << "row " << row;
        lastId = text;
        ++probed;
    }
    ASSERT_GT(probed, 3);
    ASSERT_NE("", withNine);
    for (const std::string& typed : {lastId, withNine}) {
        LVFINDINFOA find = {};
        find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
        find.psz = typed.c_str();
        const LRESULT found = SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find));
        ASSERT_GE(found, 0) << typed;
        char text[32] = "";
        LVITEMA first = {};
        first.pszText = text;
        first.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(found),
                     reinterpret_cast<LPARAM>(&first));
        EXPECT_EQ(typed, text);
    }
}

// An object asked for while the page ends (its link cut, its lists still
// there) answers as disconnected.
HWND endingList = nullptr;
HWND endingPage = nullptr;
bool pageEnding = false;
IAccessible* askedWhileEnding = nullptr;
bool askedAlready = false;
HRESULT countWhileEnding = E_FAIL;

// At the first message the list gets after the page's WM_DESTROY began
// (the page's teardown reads the list's entries to free their pictures).
LRESULT CALLBACK AskWhileEnding(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == endingPage && message->message == WM_DESTROY) {
        pageEnding = true;
    } else if (code == HC_ACTION && pageEnding && message->hwnd == endingList && !askedAlready) {
        askedAlready = true;
        askedWhileEnding = AskFor(endingList);
        long count = 0;
        if (askedWhileEnding != nullptr)
            countWhileEnding = askedWhileEnding->get_accChildCount(&count);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ScreenReaderActionsTest, AnObjectAskedForDuringThePagesEndIsDisconnected) {
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, kKindBitmap);
    endingPage = open.page;
    endingList = GetDlgItem(open.page, ResourceKindList(kKindBitmap));
    Held before = {AskFor(endingList)};
    ASSERT_NE(nullptr, before.object);
    pageEnding = false;
    askedAlready = false;
    askedWhileEnding = nullptr;
    countWhileEnding = E_FAIL;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, AskWhileEnding, nullptr, GetCurrentThreadId());
    DestroyWindow(open.sheet);
    open.sheet = nullptr;
    UnhookWindowsHookEx(hook);
    PumpThreadMessages();
    Held during = {askedWhileEnding};
    ASSERT_NE(nullptr, during.object) << "no object was handed out during the end";
    EXPECT_EQ(RPC_E_DISCONNECTED, countWhileEnding) << "while the lists were still there";
    long count = 7;
    EXPECT_EQ(RPC_E_DISCONNECTED, during.object->get_accChildCount(&count));
    EXPECT_EQ(RPC_E_DISCONNECTED, before.object->get_accChildCount(&count));
}

// A call on another thread (as a host whose page thread is in the
// multithreaded apartment hands on calls from other processes) is answered
// on the page's thread: only there does the focus move.
struct ThreadCall {
    IAccessible* object;
    HRESULT selected;
    LONG focus;
    std::string name;
    LONG entries;
    std::vector<std::string> names;  // of entries 1, 2, ... in turn, one call each
    volatile LONG done;
};

// More calls than can wait at once: each call's place is given back.
const LONG kManyCalls = 24;

DWORD WINAPI CallFromAnotherThread(void* data) {
    ThreadCall* call = static_cast<ThreadCall*>(data);
    call->selected = call->object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(2));
    call->focus = FocusOf(call->object);
    call->name = NameOf(call->object, 2);
    for (LONG i = 0; i < kManyCalls; ++i)
        call->names.push_back(NameOf(call->object, 1 + i % call->entries));
    InterlockedExchange(&call->done, 1);
    return 0;
}

TEST_F(ScreenReaderActionsTest, ACallFromAnotherThreadIsAnsweredOnThePagesThread) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindBitmap);
    HWND list = GetDlgItem(page, ResourceKindList(kKindBitmap));
    Held bitmaps = {AskFor(list)};
    ASSERT_NE(nullptr, bitmaps.object);
    const std::string second = NameOf(bitmaps.object, 2);
    ASSERT_NE("", second);
    SetFocus(GetDlgItem(page, 1000));

    const LONG entries = ChildCount(bitmaps.object);
    ASSERT_GT(entries, 2);
    std::vector<std::string> names;
    for (LONG i = 0; i < kManyCalls; ++i)
        names.push_back(NameOf(bitmaps.object, 1 + i % entries));
    ThreadCall call = {bitmaps.object, E_FAIL, -1, "", entries, {}, 0};
    HANDLE thread = CreateThread(nullptr, 0, CallFromAnotherThread, &call, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    const bool finished = PumpUntil([&] { return call.done != 0; });
    WaitForSingleObject(thread, finished ? INFINITE : 10000);
    CloseHandle(thread);
    ASSERT_TRUE(finished);
    EXPECT_EQ(S_OK, call.selected);
    EXPECT_EQ(list, GetFocus()) << "the focus moved on the page's thread";
    EXPECT_EQ(2, call.focus);
    EXPECT_EQ(second, call.name);
    EXPECT_EQ(names, call.names);
    // The page follows the selection once the call has its answer.
    PumpThreadMessages();
    EXPECT_EQ(second, ControlText(page, kIdDisplay));
}

// The second process: the list's object as another process gets it,
// marshalled, checked there; exit code 0 when everything held.
TEST(ScreenReaderOtherProcess, AsksThePageOfTheFirst) {
    const char* list = getenv(kListVariable);
    if (list == nullptr)
        GTEST_SKIP() << "run by the first process only";
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(list, nullptr, 10)));
    {
        Held icons = {AskFor(window)};
        ASSERT_NE(nullptr, icons.object);
        EXPECT_EQ("アイコン一覧", NameOf(icons.object, CHILDID_SELF));
        const long last = ChildCount(icons.object);
        ASSERT_GT(last, 20);
        EXPECT_EQ(STATE_SYSTEM_OFFSCREEN,
                  StateOf(icons.object, last) & (STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE));
        EXPECT_EQ(S_OK, icons.object->accSelect(SELFLAG_TAKEFOCUS, Child(3)));
        EXPECT_EQ(3, FocusOf(icons.object));
    }
    CoUninitialize();
}

TEST_F(ScreenReaderActionsTest, AnotherProcessReachesEveryEntryAndMovesTheFocus) {
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    HWND page = open.page;
    ChooseKind(page, kKindIcon);
    HWND list = GetDlgItem(page, ResourceKindList(kKindIcon));

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self +
                       "\" --gtest_filter=ScreenReaderOtherProcess.AsksThePageOfTheFirst";
    SetEnvironmentVariableA(kListVariable,
                            std::to_string(reinterpret_cast<uintptr_t>(list)).c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA(kListVariable, nullptr);
    ASSERT_TRUE(started);
    // The other process's calls arrive as messages to this thread.
    DWORD exitCode = 1;
    for (int i = 0; i < 3000; ++i) {
        if (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20, QS_ALLINPUT) ==
            WAIT_OBJECT_0)
            break;
        PumpThreadMessages();
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 2);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, exitCode) << "the second process's checks";
    EXPECT_EQ(2, SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(list, GetFocus());
}

}  // namespace
