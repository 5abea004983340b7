// The page stays true to the file it shows: a file replaced under an open
// sheet (also by a copy that keeps its size and write time) is shown anew, a
// deleted file leaves the clipboard and the disk alone with one report, a file
// locked during a paint gets its pictures later, and the string list answers
// as a list with rows of its own (searches, cut texts, the oldest controls).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ResourceRecords.h"
#include "page/state/PageStores.h"
#include "support/AccessibleClient.h"
#include "support/ClipboardContent.h"
#include "support/MessageBoxCapture.h"
#include "support/ResourcePage.h"
#include "support/SaveDialogAnswer.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

std::string TempCopyOf(const std::string& fixture) {
    return WriteTempFile(ReadWholeFile(FixturePath(fixture)));
}

// The page and every list painted now, and the rebuild a paint posted done.
void PaintPage(HWND page) {
    RedrawWindow(page, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpThreadMessages();
    RedrawWindow(page, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpThreadMessages();
}

std::string RowText(HWND list, int row, int room = 4096) {
    std::vector<char> text(static_cast<size_t>(room) + 1, '\0');
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = text.data();
    item.cchTextMax = room;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::string(item.pszText);
}

LPARAM RowId(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

void SelectAllRows(HWND list) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void PressCopy(HWND page) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1013)));
}

// A save to a path no earlier run left a file at.
DialogAnswer FreshSaveAs(HWND list, const std::string& path) {
    DeleteFileA(path.c_str());
    return SaveAs(list, path);
}

std::string SavePath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The record behind entry index of a picture list.
uint8_t* EntryRecord(HWND page, int kind, int index) {
    PictureStore store;
    if (!PictureStoreOfPage(FindPageState(page), kind, &store))
        return nullptr;
    HWND list = GetDlgItem(page, ResourceKindList(kind));
    return RecordOfItem(store, static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA,
                                                                   static_cast<WPARAM>(index), 0)));
}

// The colour at the middle of a thumbnail.
COLORREF MiddlePixel(HBITMAP thumbnail) {
    BITMAP size = {};
    GetObjectA(thumbnail, sizeof(size), &size);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, thumbnail);
    COLORREF colour = GetPixel(dc, size.bmWidth / 2, size.bmHeight / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

TEST(PageFileChange, AReplacedFileShowsItsNewRowsPicturesAndMembers) {
    const std::string path = TempCopyOf("pe-resources.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    const int oldRows = ListCount(open.page, 1007);
    ChooseKind(open.page, 2);
    ChooseEntry(open.page, 1006, 0);
    ASSERT_GT(ListCount(open.page, 1010), 0);

    ASSERT_TRUE(CopyFileA(FixturePath("app-library.dll").c_str(), path.c_str(), FALSE));
    PaintPage(open.page);

    // The new file's 338 strings, 12 cursor groups and no icons, the kind kept.
    EXPECT_NE(ListCount(open.page, 1007), oldRows);
    EXPECT_EQ(ListCount(open.page, 1007), 338);
    EXPECT_EQ(ListCount(open.page, 1006), 12);
    EXPECT_EQ(ListCount(open.page, 1004), 0);
    EXPECT_EQ(SendDlgItemMessageA(open.page, 1000, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageA(open.page, 1006, LB_GETCURSEL, 0, 0), 0);
    EXPECT_GT(ListCount(open.page, 1010), 0);
    HMODULE library =
        LoadLibraryExA(FixturePath("app-library.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    char expected[4096] = {};
    LoadStringA(library, static_cast<UINT>(RowId(strings, 0)), expected, sizeof(expected));
    FreeLibrary(library);
    EXPECT_STRNE(expected, "");
    EXPECT_EQ(RowText(strings, 0), expected);
    // A picture of the new file's: its first cursor group's.
    uint8_t* record = EntryRecord(open.page, 2, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_NE(DrawnPicture(open.page, 2, record), 0u);
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

TEST(PageFileChange, ACopyKeepingTheWriteTimeIsNoticed) {
    const std::string path = TempCopyOf("pe-resources.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    PaintPage(open.page);
    OverwriteKeepingWriteTime(path, ReadWholeFile(FixturePath("app-library.dll")));
    PaintPage(open.page);
    EXPECT_EQ(ListCount(open.page, 1007), 338);
    ChooseKind(open.page, 2);
    EXPECT_EQ(ListCount(open.page, 1006), 12);
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

// A string of a fixture as the platform reads it.
std::string FixtureString(const char* fixture, UINT id) {
    HMODULE library =
        LoadLibraryExA(FixturePath(fixture).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[4096] = {};
    if (library != nullptr)
        LoadStringA(library, id, text, sizeof(text));
    FreeLibrary(library);
    return text;
}

// The lists the opening did not show are filled when first shown, or when a
// screen reader asks for one, from the file as it is then: replaced by another
// file, or by a copy that keeps its size and write time, the rows are the new
// file's at once, and the list shown since the opening follows.
TEST(PageFileChange, AListFirstShownOrAskedForAfterAReplacementHasTheNewFilesRows) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    for (const bool byScreenReader : {false, true}) {
        SCOPED_TRACE(byScreenReader ? "asked for by a screen reader" : "shown by the user");
        const std::string path = TempCopyOf(byScreenReader ? "walk-base.dll" : "pe-resources.dll");
        ResourcePage open = {};
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(path, &open));
        ASSERT_GT(ListCount(open.page, 1004), 0);
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        if (byScreenReader) {
            OverwriteKeepingWriteTime(path, ReadWholeFile(FixturePath("walk-samesize.dll")));
            Held object{AskFor(GetDlgItem(open.page, 1007))};
            ASSERT_NE(object.object, nullptr);
            find.lParam = 15;
        } else {
            ASSERT_TRUE(CopyFileA(FixturePath("app-library.dll").c_str(), path.c_str(), FALSE));
            ChooseKind(open.page, 3);
            EXPECT_EQ(ListCount(open.page, 1007), 338);
            EXPECT_EQ(ListCount(open.page, 1004), 0);
            find.lParam = 2001;
        }
        // The list made virtual when first shown or asked for.
        HWND strings = GetDlgItem(open.page, 1007);
        const int row = static_cast<int>(SendMessageA(
            strings, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
        ASSERT_GE(row, 0);
        EXPECT_EQ(RowText(strings, row),
                  byScreenReader ? std::string("FIFTEEN") : FixtureString("app-library.dll", 2001));
        CloseResourcePage(&open);
        DeleteFileA(path.c_str());
    }
    CoUninitialize();
}

// Texts kept from the old file are given again only once the markers say the
// file is the same: a row read by message after the look-up interval, and a
// paint soon after the copy, each notice a copy that keeps size and time.
TEST(PageFileChange, KeptRowsAreNotGivenFromACopyThatKeepsSizeAndTime) {
    for (const bool byPaint : {false, true}) {
        SCOPED_TRACE(byPaint ? "noticed by a paint" : "noticed by a row read by message");
        const std::string path = TempCopyOf("walk-base.dll");
        ResourcePage open = {};
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(path, &open));
        ChooseKind(open.page, 3);
        HWND strings = GetDlgItem(open.page, 1007);
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        find.lParam = 15;
        const int row = static_cast<int>(SendMessageA(
            strings, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
        ASSERT_GE(row, 0);
        ASSERT_EQ(RowText(strings, row), "Fifteen");
        OverwriteKeepingWriteTime(path, ReadWholeFile(FixturePath("walk-samesize.dll")));
        if (byPaint) {
            // Within the interval of the read above: only the paint can see it.
            RedrawWindow(strings, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            PumpThreadMessages();
        } else {
            Sleep(300);
        }
        const std::string now = RowText(strings, row);
        EXPECT_NE(now, "Fifteen");
        PumpThreadMessages();
        EXPECT_EQ(RowText(strings, row), "FIFTEEN");
        CloseResourcePage(&open);
        DeleteFileA(path.c_str());
    }
}

// Inside the context menu's loop the file is replaced and a paint refills the
// lists; Copy chosen afterwards acts on nothing of the new file.
HWND menuPage = nullptr;
std::string menuTarget;
int menuTicks = 0;

void CALLBACK ReplaceThenChooseCopy(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++menuTicks == 1) {
        CopyFileA(FixturePath("walk-renumbered.dll").c_str(), menuTarget.c_str(), FALSE);
        RedrawWindow(menuPage, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    } else if (menuTicks == 3) {
        KillTimer(nullptr, timer);
        PostMessageA(menuPage, WM_CHAR, 'c', 0);
    }
}

TEST(PageFileChange, CopyFromAMenuWhoseFileWasReplacedInsideItChangesNothing) {
    menuTarget = TempCopyOf("walk-base.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(menuTarget, &open));
    menuPage = open.page;
    menuTicks = 0;
    ChooseKind(open.page, 1);
    ChooseEntry(open.page, 1005, 0);
    PaintPage(open.page);
    HWND list = GetDlgItem(open.page, 1005);
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &centre);
    SeedClipboard();
    CapturedMessageBox copied = CaptureMessageBox([&] {
        UINT_PTR timer = SetTimer(nullptr, 0, 150, ReplaceThenChooseCopy);
        SendMessageA(open.page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                     MAKELPARAM(centre.x, centre.y));
        KillTimer(nullptr, timer);
    });
    EXPECT_GE(menuTicks, 3) << "the menu closed before Copy was chosen";
    EXPECT_EQ(copied.count, 1);
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
    EXPECT_STREQ(std::string(text.begin(), text.end()).c_str(), kSentinel);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    CloseResourcePage(&open);
    DeleteFileA(menuTarget.c_str());
}

// A member the page holds in memory goes out from the page's own copy while
// its file is locked or gone, without a word, but never from a file that
// changed, even where size and write time stayed: that is refused once.
TEST(PageFileChange, AMemberCopyFollowsWhatBecameOfItsFile) {
    enum Fate { kLocked, kDeleted, kSameStampCopy };
    for (const Fate fate : {kLocked, kDeleted, kSameStampCopy}) {
        SCOPED_TRACE(fate == kLocked ? "locked" : fate == kDeleted ? "deleted" : "same-stamp copy");
        const std::string path = TempCopyOf("walk-base.dll");
        ResourcePage open = {};
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(path, &open));
        ChooseKind(open.page, 0);
        ChooseEntry(open.page, 1004, 0);
        ASSERT_GT(ListCount(open.page, 1010), 0);
        ChooseEntry(open.page, 1010, 0);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (fate == kLocked) {
            lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        } else if (fate == kDeleted) {
            ASSERT_TRUE(DeleteFileA(path.c_str()));
        } else {
            OverwriteKeepingWriteTime(path, ReadWholeFile(FixturePath("walk-samesize.dll")));
        }
        SeedClipboard();
        CapturedMessageBox copied = CaptureMessageBox([&] { PressCopy(open.page); });
        EXPECT_EQ(copied.count, fate == kSameStampCopy ? 1 : 0) << copied.text;
        EXPECT_EQ(IsClipboardFormatAvailable(CF_DIB) != FALSE, fate != kSameStampCopy);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        CloseResourcePage(&open);
        DeleteFileA(path.c_str());
    }
}

TEST(PageFileChange, ARebuildOfTheSameSizeAndWriteTimeIsNoticedAtTheNextOpening) {
    const std::string path = TempCopyOf("pe-resources.dll");
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 1);
    ChooseEntry(open.page, 1005, 1);
    PaintPage(open.page);
    uint8_t* record = EntryRecord(open.page, 1, 1);
    ASSERT_NE(record, nullptr);
    HBITMAP before = reinterpret_cast<HBITMAP>(DrawnPicture(open.page, 1, record));
    ASSERT_NE(before, nullptr);
    const COLORREF oldColour = MiddlePixel(before);
    const ResName name = ReadResName(record + kBitmapFixedPart);

    // A rebuild: a new time stamp and the bitmap's colours inverted, of the
    // same size, written with the old write time.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));
    ASSERT_NE(found, nullptr);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const uint8_t* base =
        reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(module) & ~uintptr_t{3});
    const size_t at = static_cast<size_t>(data - base);
    const uint32_t size = SizeofResource(module, found);
    FreeLibrary(module);
    ASSERT_LT(at + size, bytes.size());
    const uint32_t header = PeekU32(&bytes[at]);
    for (size_t i = at + header; i < at + size; ++i)
        bytes[i] = static_cast<uint8_t>(~bytes[i]);
    bytes[PeekU32(&bytes[0x3C]) + 8] ^= 0x5A;
    OverwriteKeepingWriteTime(path, bytes);

    // The copy's opening finds the change: nothing is copied, one report, and
    // the lists are the new file's.
    SeedClipboard();
    CapturedMessageBox copied = CaptureMessageBox([&] { PressCopy(open.page); });
    EXPECT_EQ(copied.count, 1);
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
    EXPECT_STREQ(std::string(text.begin(), text.end()).c_str(), kSentinel);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    PaintPage(open.page);
    EXPECT_EQ(SendDlgItemMessageA(open.page, 1005, LB_GETCURSEL, 0, 0), 1) << "the same bitmap";
    record = EntryRecord(open.page, 1, 1);
    ASSERT_NE(record, nullptr);
    HBITMAP after = reinterpret_cast<HBITMAP>(DrawnPicture(open.page, 1, record));
    ASSERT_NE(after, nullptr);
    EXPECT_NE(MiddlePixel(after), oldColour);
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

TEST(PageFileChange, ADeletedFileLeavesClipboardAndDiskAloneWithOneReport) {
    const std::string path = TempCopyOf("pe-resources.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    const int rows = ListCount(open.page, 1007);
    ASSERT_GT(rows, 3);
    SelectAllRows(strings);
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    PaintPage(open.page);
    ChooseKind(open.page, 3);
    SeedClipboard();
    // The rows stay, each with its ID.
    EXPECT_EQ(ListCount(open.page, 1007), rows);
    EXPECT_NE(RowId(strings, 2), 0);

    CapturedMessageBox copied = CaptureMessageBox([&] { PressCopy(open.page); });
    EXPECT_EQ(copied.count, 1);
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
    EXPECT_STREQ(std::string(text.begin(), text.end()).c_str(), kSentinel);

    const std::string saved = SavePath("vantrel-deleted-rows.txt");
    DialogAnswer answer = FreshSaveAs(strings, saved);
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.boxes.size(), 1u);
    EXPECT_EQ(GetFileAttributesA(saved.c_str()), INVALID_FILE_ATTRIBUTES);
    CloseResourcePage(&open);
}

TEST(PageFileChange, PicturesComeBackAfterALockThatHeldTheFirstPaint) {
    const std::string path = TempCopyOf("pe-resources.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    // The bitmaps were shown before the lock; their pictures were not drawn.
    ChooseKind(open.page, 1);
    ChooseKind(open.page, 0);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ChooseKind(open.page, 1);
    PaintPage(open.page);
    uint8_t* record = EntryRecord(open.page, 1, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(ReadPictureField(record), 0u);
    // A group chosen meanwhile gets its members once the file opens again.
    ChooseKind(open.page, 0);
    ChooseEntry(open.page, 1004, 1);
    EXPECT_EQ(ListCount(open.page, 1010), 0);
    CloseHandle(lock);
    PaintPage(open.page);
    EXPECT_GT(ListCount(open.page, 1010), 0);
    ChooseKind(open.page, 1);
    InvalidateRect(GetDlgItem(open.page, 1005), nullptr, TRUE);
    UpdateWindow(GetDlgItem(open.page, 1005));
    const uintptr_t picture = ReadPictureField(record);
    EXPECT_NE(picture, 0u);
    EXPECT_NE(picture, kPictureUnavailable);
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

// A lock that lasts into the rebuild keeps the entries and draws no text of
// either file; the rebuild is taken up once the lock ends. A page that
// started on a locked file gets its string list when the file opens.
TEST(PageFileChange, LocksAtTheRebuildOrAtTheStartLeaveTheListsToTheFileThatOpens) {
    const std::string path = TempCopyOf("pe-resources.dll");
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 1);
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    const int rows = ListCount(open.page, 1007);
    const int bitmaps = ListCount(open.page, 1005);
    ASSERT_GT(rows, 2);
    ASSERT_TRUE(CopyFileA(FixturePath("app-library.dll").c_str(), path.c_str(), FALSE));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PaintPage(open.page);
    EXPECT_EQ(ListCount(open.page, 1007), rows);
    EXPECT_EQ(ListCount(open.page, 1005), bitmaps);
    EXPECT_EQ(RowText(strings, 1), "");
    CloseHandle(lock);
    PaintPage(open.page);
    EXPECT_EQ(ListCount(open.page, 1007), 338);
    ChooseKind(open.page, 2);
    EXPECT_EQ(ListCount(open.page, 1006), 12);
    CloseResourcePage(&open);

    ASSERT_TRUE(OfferResourcePage(path, &open));
    lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(ShowOfferedPage(&open));
    CloseHandle(lock);
    ASSERT_TRUE(CopyFileA(FixturePath("pe-resources.dll").c_str(), path.c_str(), FALSE));
    ChooseKind(open.page, 3);
    CapturedMessageBox shown = CaptureMessageBox([&] { PaintPage(open.page); });
    EXPECT_EQ(shown.count, 0) << shown.text;
    EXPECT_EQ(ListCount(open.page, 1007), rows);
    EXPECT_NE(RowText(GetDlgItem(open.page, 1007), 1), "");
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

TEST(PageFileChange, ParameterSearchAnswersAsAListWithRowsOfItsOwn) {
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    const int rows = ListCount(open.page, 1007);
    ASSERT_GT(rows, 3);
    HWND own = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 100, 100,
                               open.page, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = RowId(strings, row);
        SendMessageA(own, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    const LPARAM ids[] = {RowId(strings, 0), RowId(strings, 1), RowId(strings, rows - 1), 60000};
    const int starts[] = {-1, 0, 1, rows - 2, rows - 1, rows, rows + 5};
    for (LPARAM id : ids) {
        for (int start : starts) {
            for (UINT flags : {UINT{LVFI_PARAM}, UINT{LVFI_PARAM | LVFI_WRAP}}) {
                LVFINDINFOA find = {};
                find.flags = flags;
                find.lParam = id;
                EXPECT_EQ(SendMessageA(strings, LVM_FINDITEMA, static_cast<WPARAM>(start),
                                       reinterpret_cast<LPARAM>(&find)),
                          SendMessageA(own, LVM_FINDITEMA, static_cast<WPARAM>(start),
                                       reinterpret_cast<LPARAM>(&find)))
                    << "id " << id << " start " << start << " flags " << flags;
            }
        }
    }
    DestroyWindow(own);
    CloseResourcePage(&open);
}

TEST(PageFileChange, AShortBufferGetsWholeCharactersOnly) {
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    int row = -1;
    size_t lead = 0;
    for (int i = 0; i < ListCount(open.page, 1007) && row < 0; ++i) {
        const std::string text = RowText(strings, i);
        for (size_t at = 0; at < text.size(); ++at) {
            if (IsDBCSLeadByte(static_cast<BYTE>(text[at]))) {
                row = i;
                lead = at;
                break;
            }
        }
    }
    ASSERT_GE(row, 0) << "no row with a double-byte character";
    const std::string whole = RowText(strings, row);
    // Room for the bytes before the character and its first half only.
    EXPECT_EQ(RowText(strings, row, static_cast<int>(lead) + 2), whole.substr(0, lead));
    EXPECT_EQ(RowText(strings, row, static_cast<int>(lead) + 3), whole.substr(0, lead + 2));
    // The wide form: as many whole characters as the room holds, never a
    // replacement character for half of one.
    std::vector<wchar_t> wide(whole.size() + 1, L'\0');
    const int units = MultiByteToWideChar(CP_ACP, 0, whole.c_str(), -1, wide.data(),
                                          static_cast<int>(wide.size()));
    ASSERT_GT(units, 3);
    wchar_t cut[3] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = cut;
    item.cchTextMax = 3;
    SendMessageW(strings, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    // The list may ask the page in either form; the answer is a whole first
    // character or two, never half of one.
    const std::wstring answer(item.pszText);
    EXPECT_FALSE(answer.empty());
    EXPECT_EQ(answer, std::wstring(wide.data(), answer.size()));
    CloseResourcePage(&open);
}

TEST(PageFileChange, ALoneLeadByteIsCopiedWithItsLineEnd) {
    // ne-kinds.exe holds string 1 "One"; its last byte becomes a lead byte.
    std::vector<uint8_t> bytes = ReadWholeFile(FixturePath("ne-kinds.exe"));
    const char counted[] = "\x03One\x03Two";
    size_t at = 0;
    for (; at + 8 <= bytes.size(); ++at) {
        if (memcmp(&bytes[at], counted, 8) == 0)
            break;
    }
    ASSERT_LT(at + 8, bytes.size());
    bytes[at + 3] = 0x82;
    const std::string path = WriteTempFile(bytes);
    ResourcePage open = {};
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    HWND strings = GetDlgItem(open.page, 1007);
    int row = 0;
    while (row < ListCount(open.page, 1007) && RowId(strings, row) != 1)
        ++row;
    ASSERT_LT(row, ListCount(open.page, 1007));
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(strings, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageA(strings, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
    PressCopy(open.page);
    std::vector<uint8_t> unicode = ClipboardBytes(CF_UNICODETEXT);
    ASSERT_GE(unicode.size(), 12u);
    std::wstring text(reinterpret_cast<const wchar_t*>(unicode.data()), unicode.size() / 2);
    text = text.substr(0, text.find(L'\0'));
    ASSERT_EQ(text.size(), 5u) << "\"On\", the replaced byte, CR LF";
    EXPECT_EQ(text.substr(0, 2), L"On");
    EXPECT_EQ(text.substr(3), L"\r\n");
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

// A list control older than virtual lists: it keeps the LVS_OWNERDATA bit in
// its window style but knows nothing of it, so the page's count is ignored.
LRESULT CALLBACK OldListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(list, "OldListProc"));
    if (message == WM_NCCREATE || message == WM_CREATE)
        reinterpret_cast<CREATESTRUCTA*>(lParam)->style &= ~LVS_OWNERDATA;
    if (message == WM_STYLECHANGING || message == WM_STYLECHANGED)
        return 0;
    const LRESULT result = CallWindowProcA(previous, list, message, wParam, lParam);
    if (message == WM_CREATE) {
        // The window keeps the bit the control never saw.
        SetWindowLongA(list, GWL_STYLE, GetWindowLongA(list, GWL_STYLE) | LVS_OWNERDATA);
    }
    return result;
}

LRESULT CALLBACK MakeListsOld(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        char windowClass[32] = {};
        GetClassNameA(window, windowClass, sizeof(windowClass));
        if (lstrcmpiA(windowClass, WC_LISTVIEWA) == 0 && (create->lpcs->style & LVS_OWNERDATA)) {
            SetPropA(window, "OldListProc",
                     reinterpret_cast<HANDLE>(SetWindowLongPtrA(
                         window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldListProc))));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(PageFileChange, TheOldControlsFallbackSavesAndCopiesTheRows) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, MakeListsOld, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ResourcePage open = {};
    PageCloser closer{&open};
    const bool opened = OpenResourcePage(FixturePath("pe-resources.dll"), &open);
    // The string list is made when first shown.
    if (opened)
        ChooseKind(open.page, 3);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(opened);
    HWND strings = GetDlgItem(open.page, 1007);
    ASSERT_NE(GetWindowLongA(strings, GWL_STYLE) & LVS_OWNERDATA, 0);
    ASSERT_GT(ListCount(open.page, 1007), 2);
    ChooseKind(open.page, 3);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(strings, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    const std::string expected = std::to_string(RowId(strings, 0)) + "\t" + RowText(strings, 0) +
                                 "\r\n" + std::to_string(RowId(strings, 1)) + "\t" +
                                 RowText(strings, 1) + "\r\n";
    const std::string saved = SavePath("vantrel-old-controls.txt");
    DialogAnswer answer = FreshSaveAs(strings, saved);
    EXPECT_TRUE(answer.answered);
    EXPECT_TRUE(answer.boxes.empty()) << (answer.boxes.empty() ? "" : answer.boxes[0]);
    std::vector<uint8_t> file = ReadWholeFile(saved);
    ASSERT_GT(file.size(), 2u);
    // UTF-16 with its byte-order mark, from a 32-bit file.
    std::wstring text(reinterpret_cast<const wchar_t*>(file.data() + 2), (file.size() - 2) / 2);
    std::vector<wchar_t> wide(expected.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, expected.c_str(), -1, wide.data(),
                        static_cast<int>(wide.size()));
    EXPECT_EQ(text, std::wstring(wide.data()));
    DeleteFileA(saved.c_str());
    CloseResourcePage(&open);
}

}  // namespace
