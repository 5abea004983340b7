// The library as the shell uses it: registered in the prefix (the CTest fixture
// runs tools/register-wine.sh), created by the shell's own Properties sheet from
// the handlers registered for every file, and its page destroyed with the sheet.
// (Whether the library may unload afterwards is not asked here: Wine's shell
// keeps one reference on every extension it initialised.)
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/PropertiesSheet.h"
#include "support/ShellSheetVisit.h"
#include "support/TestPaths.h"

namespace {

const char kPageTitle[] = "リソース";
const DWORD kTimeoutMs = 30000;

int CountOf(const std::vector<std::string>& texts, const std::string& text) {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

BOOL CALLBACK CountWindowOfProcess(HWND window, LPARAM count) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId())
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Top-level and message-only windows of this process. (Wine answers 0 to every
// GetGuiResources question, so windows are counted one by one.)
int CountProcessWindows() {
    int count = 0;
    EnumWindows(CountWindowOfProcess, reinterpret_cast<LPARAM>(&count));
    HWND window = nullptr;
    while ((window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr) {
        CountWindowOfProcess(window, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// What one visit of a sheet showed. The sheet is closed before anything is
// judged, so that a failure never leaves it open for the next test.
struct SheetFacts {
    bool shown;
    std::vector<std::string> tabs;
    bool pageShown;   // the page "リソース" selected and visible
    bool pageIsOurs;  // dialog template 101: kind drop-down and copy button
    // The play button shows its glyph: as a bitmap button, or as a button of
    // the newer controls that paints it (only those know their ideal size).
    bool playButtonDrawable;
    int windowsWhileOpen;
    bool closed;  // sheet gone and the verb returned
};

SheetFacts VisitSheet(const std::vector<std::string>& paths) {
    SheetFacts facts = {};
    ShellSheetVisit visit = {};
    visit.paths = paths;
    facts.shown = OpenShellSheet(&visit, kTimeoutMs);
    if (facts.shown) {
        facts.tabs = SheetTabTexts(visit.sheet);
        const int index = FindSheetTab(visit.sheet, kPageTitle);
        // Selecting the page creates it: its initialisation and, when the sheet
        // closes, its teardown both run.
        if (index >= 0 && SelectSheetTab(visit.sheet, index)) {
            HWND page =
                reinterpret_cast<HWND>(SendMessageA(visit.sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            facts.pageShown = page != nullptr && IsWindowVisible(page);
            facts.pageIsOurs = page != nullptr && GetDlgItem(page, 1000) != nullptr &&
                               GetDlgItem(page, 1013) != nullptr;
            HWND play = GetDlgItem(page, 1012);
            SIZE ideal = {};
            facts.playButtonDrawable =
                (GetWindowLongA(play, GWL_STYLE) & BS_BITMAP) != 0 ||
                SendMessageA(play, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != 0;
        }
        facts.windowsWhileOpen = CountProcessWindows();
    }
    facts.closed = CloseShellSheet(&visit, kTimeoutMs);
    return facts;
}

class TemporaryFile {
public:
    explicit TemporaryFile(const char* name) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + name;
    }
    ~TemporaryFile() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(ShellProperties, ExecutableWithResourcesGetsThePageAndItShows) {
    const SheetFacts facts = VisitSheet({SystemFilePath("shell32.dll")});
    ASSERT_TRUE(facts.shown);
    EXPECT_TRUE(facts.closed);
    EXPECT_EQ(1, CountOf(facts.tabs, kPageTitle));
    EXPECT_GE(facts.tabs.size(), 2u) << "the shell's own page comes too";
    EXPECT_TRUE(facts.pageShown);
    EXPECT_TRUE(facts.pageIsOurs);
    EXPECT_TRUE(facts.playButtonDrawable);
}

TEST(ShellProperties, TextFileGetsTheShellsPagesButNotThisOne) {
    TemporaryFile text("vantrel-shell-note.txt");
    HANDLE file =
        CreateFileA(text.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "MZ is not enough\r\n", 18, &written, nullptr);
    CloseHandle(file);

    const SheetFacts facts = VisitSheet({text.path()});
    ASSERT_TRUE(facts.shown);
    EXPECT_TRUE(facts.closed);
    EXPECT_FALSE(facts.tabs.empty());
    EXPECT_EQ(0, CountOf(facts.tabs, kPageTitle));
}

TEST(ShellProperties, HandlerForEveryFileJudgesByContentNotByName) {
    TemporaryFile image("vantrel-shell-image.dat");
    ASSERT_TRUE(CopyFileA(SystemFilePath("shell32.dll").c_str(), image.path().c_str(), FALSE));
    const SheetFacts facts = VisitSheet({image.path()});
    EXPECT_TRUE(facts.closed);
    EXPECT_EQ(1, CountOf(facts.tabs, kPageTitle));
}

TEST(ShellProperties, SelectionOfTwoExecutablesGetsNoPage) {
    TemporaryFile first("vantrel-shell-first.dll");
    TemporaryFile second("vantrel-shell-second.dll");
    ASSERT_TRUE(CopyFileA(SystemFilePath("shell32.dll").c_str(), first.path().c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(SystemFilePath("user32.dll").c_str(), second.path().c_str(), FALSE));
    ASSERT_EQ(1, CountOf(VisitSheet({first.path()}).tabs, kPageTitle));

    const SheetFacts facts = VisitSheet({first.path(), second.path()});
    ASSERT_TRUE(facts.shown);
    EXPECT_TRUE(facts.closed);
    EXPECT_FALSE(facts.tabs.empty());
    EXPECT_EQ(0, CountOf(facts.tabs, kPageTitle));
}

TEST(ShellProperties, ClosedSheetLeavesNoWindowBehind) {
    // A first visit makes what the shell keeps for the process.
    VisitSheet({SystemFilePath("shell32.dll")});
    const int windowsBefore = CountProcessWindows();

    const SheetFacts facts = VisitSheet({SystemFilePath("shell32.dll")});
    ASSERT_TRUE(facts.pageShown);
    EXPECT_TRUE(facts.closed);
    EXPECT_GT(facts.windowsWhileOpen, windowsBefore) << "the sheet itself is counted";
    // Whatever windows the page made outside the sheet went with it.
    EXPECT_EQ(windowsBefore, CountProcessWindows());
}

}  // namespace
