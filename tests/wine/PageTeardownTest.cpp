// What the page leaves behind: between messages it holds nothing of its file,
// after the sheet closes no window, no view of the file and no object of the
// library remain, and a file that vanished before the page started gives a page
// that is empty but works and closes cleanly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "catalogue/ResourceKinds.h"
#include "support/MappedFiles.h"
#include "support/MessageBoxCapture.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Nothing of the file is held: no view, and nobody keeps it open.
void ExpectFileFree(const std::string& path, const char* when) {
    EXPECT_FALSE(FileMappedInProcess(path)) << when;
    EXPECT_TRUE(OpenableExclusively(path)) << when;
}

TEST(PageTeardown, TheProbeSeesDataModulesAndMappedViews) {
    // Guards the checks below: without this they could pass by seeing nothing.
    const std::string path = FixturePath("pe-resources.dll");
    ASSERT_FALSE(FileMappedInProcess(path));
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    EXPECT_TRUE(FileMappedInProcess(path));
    FreeLibrary(module);
    EXPECT_FALSE(FileMappedInProcess(path));

    const std::string neImage = FixturePath("ne-kinds.exe");
    HANDLE file = CreateFileA(neImage.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    EXPECT_TRUE(view != nullptr && FileMappedInProcess(neImage));
    if (view != nullptr)
        UnmapViewOfFile(view);
    if (mapping != nullptr)
        CloseHandle(mapping);
    CloseHandle(file);
}

TEST(PageTeardown, EveryListsPaintLeavesTheFileFree) {
    for (const char* name : {"pe-resources.dll", "ne-kinds.exe"}) {
        SCOPED_TRACE(name);
        const std::string path = FixturePath(name);
        ResourcePage open;
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(path, &open));
        for (int kind = 0; kind < 5; ++kind) {
            ChooseKind(open.page, kind);
            HWND list = GetDlgItem(open.page, kind == 3 ? 1007 : 1004 + kind);
            // A paint of every entry shown, pictures and row texts made from the file.
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            ExpectFileFree(path, ("after the paint of kind " + std::to_string(kind)).c_str());
        }
    }
}

TEST(PageTeardown, NothingOfTheFileOrTheLibraryOutlivesTheSheet) {
    for (const char* name : {"pe-resources.dll", "ne-kinds.exe"}) {
        SCOPED_TRACE(name);
        const std::string path = FixturePath(name);
        const int windowsBefore = ThreadWindowCount();
        ResourcePage open;
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(path, &open));
        ExpectFileFree(path, "after the start");
        // Listing members and switching kinds open the file only while they run.
        ChooseEntry(open.page, 1004, 1);
        ChooseKind(open.page, kKindCursor);
        ChooseKind(open.page, kKindAvi);
        ExpectFileFree(path, "after choosing entries");
        EXPECT_EQ(S_OK, CloseResourcePage(&open));
        EXPECT_EQ(windowsBefore, ThreadWindowCount());
        EXPECT_EQ(nullptr,
                  FindWindowExA(nullptr, nullptr, "Kelvard_Drosvelin_Vantrel_MCI", nullptr));
        ExpectFileFree(path, "after the close");
    }
}

TEST(PageTeardown, AFileThatVanishedBeforeTheStartGivesAQuietEmptyPage) {
    const std::string path = WriteTempFile(ReadWholeFile(FixturePath("pe-resources.dll")));
    ASSERT_FALSE(path.empty());
    const int windowsBefore = ThreadWindowCount();
    ResourcePage open;
    PageCloser closer{&open};
    // The check passes on the file; it is gone when the page starts.
    ASSERT_TRUE(OfferResourcePage(path, &open));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    CapturedMessageBox box = CaptureMessageBox([&] { ASSERT_TRUE(ShowOfferedPage(&open)); });
    EXPECT_EQ(0, box.count) << box.caption << ": " << box.text;
    HWND page = open.page;
    for (int id : {1004, 1005, 1006, 1007, 1008, 1010})
        EXPECT_EQ(0, ListCount(page, id)) << id;
    EXPECT_EQ(5, SendMessageA(GetDlgItem(page, 1000), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(GetDlgItem(page, 1000), CB_GETCURSEL, 0, 0));
    EXPECT_EQ("", ControlText(page, 1002));
    EXPECT_FALSE(ControlEnabled(page, 1013));

    // Everything a user or the system can do to the page stays quiet.
    box = CaptureMessageBox([&] {
        for (int kind : {kKindBitmap, kKindCursor, kKindString, kKindAvi, kKindIcon}) {
            ChooseKind(page, kind);
            EXPECT_FALSE(ControlEnabled(page, 1013)) << kind;
        }
        ChooseKind(page, kKindAvi);
        EXPECT_FALSE(ControlEnabled(page, 1012));
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, 1012)));
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, 1013)));
        SendMessageA(page, WM_SETTINGCHANGE, 0, 0);
        SendMessageA(page, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        PumpThreadMessages();
    });
    EXPECT_EQ(0, box.count) << box.text;
    for (int id : {1004, 1005, 1006, 1008})
        EXPECT_EQ(0, ListCount(page, id)) << "after a rebuild, " << id;
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
    EXPECT_EQ(windowsBefore, ThreadWindowCount());
}

TEST(PageTeardown, AnOfferedPageThatNeverShowsReleasesTheLibrary) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OfferResourcePage(FixturePath("pe-resources.dll"), &open));
    EXPECT_EQ(S_FALSE, open.server.canUnloadNow());
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

}  // namespace
