// Times the page's start and the repaint of a long list under Wine, and prints a
// table. No test: run it by hand inside a Wine session (README, benchmarks).
//
//   PageStartBenchmark [REPEATS [openings|rows|rebuild]]
//
// With "openings", only the first table and the string list's first paint;
// with "rows", only the reading of every string row through messages; with
// "rebuild", only the rebuild that keeps selected string rows.
// First the page's opening against the same sheet holding the page's own
// dialog template with a procedure that does nothing (its controls and
// typeface, nothing read, filled or drawn): cold, each opening in a fresh
// process of this program (PageStartBenchmark --once FILE, the empty dialog
// for an empty FILE), as the first Properties of a session is; warm, in this
// process after a first opening that is not counted. The empty dialog and the
// page are opened in turns, as the machine's load drifts. "work" is the page's
// time beyond the empty dialog's, as a share of it; "paint" adds the first
// paint. The files: Wine's shell32.dll, app-library.dll (338 strings, 12
// cursor groups), strings-1000.dll, strings-10000.dll, mixed-300.dll (300
// strings, 36 icon groups), ne-cursors-30000.exe.
// Then the string list of strings-10000.dll shown for the first time.
//
// The page fills every list while it handles WM_INITDIALOG, so its start is
// the creation of a modeless sheet holding it, until PropertySheetA returns;
// "painted" adds the sheet's first paint, where the page makes the pictures it
// shows. The same sheet with the empty dialog above is timed beside
// it; the difference is the page's own work. The files are the icon libraries,
// shell32.dll, 16-bit files of 3,000 and 30,000 cursor groups, and a table of
// 10,000 strings. Each time is
// the median of REPEATS runs (default 5). The GDI objects of the process are
// counted after scrolling through the 5,000 icon groups of icons-5000.dll and
// after closing its sheet. The repaint is RedrawWindow with RDW_UPDATENOW on the icon list
// of icons-1000.dll, averaged over 50 passes. Last, the shell's own sheet of
// shell32.dll: how long it takes to open, and how long the page then takes to
// start when its tab is chosen (tests/wine/page-start-benchmark.sh registers
// the library for that part).
//
// Then the rebuild of the picture lists on the page of shell32.dll and of
// icons-1000.dll: WM_DISPLAYCHANGE, which always rebuilds, and a
// WM_SETTINGCHANGE after which every size is what it was, which keeps the
// lists. Wine offers no way to change the system's icon size from here, so
// the WM_DISPLAYCHANGE figure stands for a rebuild after a change of those
// sizes. Last, the copy of selected string rows of strings-10000.dll to the
// clipboard: all 10,000 rows, the first 1,000 and the first 100, to show that
// the time follows the bytes copied beyond a fixed part (the clipboard's
// opening and emptying). Then every row of strings-10000.dll read through
// LVM_GETITEMTEXTA, against the page's opening; and the rebuild after a change
// of that file's write time with one row and with all 10,000 rows selected,
// which it keeps. All are medians of REPEATS.
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/PropertiesSheet.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A sheet of one page: the time until PropertySheetA returns, and in painted
// the time until its first paint is done as well (the page draws the pictures
// it shows then); the sheet is closed again. Negative when no sheet came.
double TimeSheet(HPROPSHEETPAGE page, int* entries, double* painted = nullptr) {
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "benchmark";
    header.nPages = 1;
    header.phpage = &page;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    QueryPerformanceCounter(&end);
    if (sheet == nullptr)
        return -1.0;
    if (painted != nullptr) {
        LARGE_INTEGER paintEnd;
        RedrawWindow(sheet, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&paintEnd);
        *painted = Milliseconds(start, paintEnd);
    }
    if (entries != nullptr) {
        HWND dialog = PropSheet_GetCurrentPageHwnd(sheet);
        *entries = static_cast<int>(SendDlgItemMessageA(dialog, 1004, LB_GETCOUNT, 0, 0) +
                                    SendDlgItemMessageA(dialog, 1006, LB_GETCOUNT, 0, 0));
    }
    DestroyWindow(sheet);
    PumpThreadMessages();
    return Milliseconds(start, end);
}

INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The library, loaded once as the shell loads it, for its dialog template.
HMODULE PageLibrary() {
    static HMODULE library = LoadLibraryA(LibraryPath().c_str());
    return library;
}

// The sheet with the page's own dialog template (its controls and typeface)
// and a procedure that does nothing: no list is filled and nothing is drawn.
double TimeEmptySheet(double* painted = nullptr) {
    if (PageLibrary() == nullptr)
        return -1.0;
    PROPSHEETPAGEA description = {};
    description.dwSize = sizeof(description);
    description.hInstance = PageLibrary();
    description.pszTemplate = MAKEINTRESOURCEA(101);
    description.pfnDlgProc = EmptyPageProc;
    HPROPSHEETPAGE page = CreatePropertySheetPageA(&description);
    return page != nullptr ? TimeSheet(page, nullptr, painted) : -1.0;
}

// One opening in this process: of the empty dialog when path is empty, else
// of the page for path. Negative when no sheet came.
double OpenOnce(const std::string& path, double* painted) {
    if (path.empty())
        return TimeEmptySheet(painted);
    ResourcePage open;
    if (!OfferResourcePage(path, &open)) {
        CloseResourcePage(&open);
        return -1.0;
    }
    HPROPSHEETPAGE page = open.handle;
    open.handle = nullptr;  // the sheet takes it
    const double time = TimeSheet(page, nullptr, painted);
    CloseResourcePage(&open);
    return time;
}

// The child of a cold opening: one opening in a fresh process, its times on
// standard output.
int RunOnce(const std::string& path) {
    InitCommonControls();
    double painted = 0;
    const double time = OpenOnce(path, &painted);
    std::printf("%.3f %.3f\n", time, painted);
    std::fflush(stdout);
    return time < 0 ? 1 : 0;
}

// A fresh process of this program that opens path once (the empty dialog when
// path is empty); false when it gave no times.
bool OpenInFreshProcess(const std::string& path, double* time, double* painted) {
    char self[MAX_PATH];
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0)
        return false;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::string command = "\"" + std::string(self) + "\" --once \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            output.append(buffer, read);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return std::sscanf(output.c_str(), "%lf %lf", time, painted) == 2 && *time >= 0;
}

struct Openings {
    double sheet;
    double painted;
};

// Medians of repeats openings of the empty dialog and of the page for path,
// taken in turns (one of each, then the next pair) so that a drift of the
// machine's load falls on both alike: each in a fresh process (cold), or all
// in this one after a first opening of each that is not counted (warm).
bool MedianOpenings(const std::string& path, int repeats, bool cold, Openings* empty,
                    Openings* page) {
    std::vector<double> sheets[2], paints[2];
    const std::string paths[2] = {"", path};
    double time = 0, painted = 0;
    for (int which = 0; which < 2 && !cold; ++which) {
        if (OpenOnce(paths[which], &painted) < 0)
            return false;
    }
    for (int i = 0; i < repeats; ++i) {
        for (int which = 0; which < 2; ++which) {
            if (cold ? !OpenInFreshProcess(paths[which], &time, &painted)
                     : (time = OpenOnce(paths[which], &painted)) < 0)
                return false;
            sheets[which].push_back(time);
            paints[which].push_back(painted);
        }
    }
    *empty = Openings{Median(sheets[0]), Median(paints[0])};
    *page = Openings{Median(sheets[1]), Median(paints[1])};
    return true;
}

// The page's opening against the empty dialog's, cold and warm.
void CompareWithEmptyDialog(const char* label, const std::string& path, int repeats) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("%-22s (missing: %s)\n", label, path.c_str());
        return;
    }
    std::printf("%-22s", label);
    for (bool cold : {true, false}) {
        Openings empty = {}, page = {};
        if (!MedianOpenings(path, repeats, cold, &empty, &page)) {
            std::printf("   (no sheet)");
            continue;
        }
        std::printf(" %7.1f %7.1f %6.2f %7.1f %7.1f", empty.sheet, page.sheet,
                    (page.sheet - empty.sheet) / empty.sheet, page.painted,
                    (page.painted - empty.painted) / empty.painted);
    }
    std::printf("\n");
}

// The string list of a page shown for the first time: the choice of the kind
// until the list's first paint is done, and that paint alone.
void TimeFirstStringPaint(const std::string& path, int repeats) {
    std::vector<double> shown, paints;
    for (int i = 0; i < repeats; ++i) {
        ResourcePage open;
        if (!OpenResourcePage(path, &open)) {
            std::printf("string list: no page for %s\n", path.c_str());
            CloseResourcePage(&open);
            return;
        }
        HWND list = GetDlgItem(open.page, 1007);
        HWND dropDown = GetDlgItem(open.page, 1000);
        LARGE_INTEGER start, chosen, end;
        QueryPerformanceCounter(&start);
        SendMessageA(dropDown, CB_SETCURSEL, 3, 0);
        SendMessageA(open.page, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(dropDown));
        QueryPerformanceCounter(&chosen);
        UpdateWindow(list);
        QueryPerformanceCounter(&end);
        shown.push_back(Milliseconds(start, end));
        paints.push_back(Milliseconds(chosen, end));
        CloseResourcePage(&open);
    }
    std::printf(
        "string list of strings-10000.dll shown for the first time: %.1f ms from the choice, "
        "first paint %.1f ms (medians of %d)\n",
        Median(shown), Median(paints), repeats);
}

// The first switch to each kind the drop-down lists beyond the one the page
// opens with, each on a page of its own: from the choice until the kind's list
// is shown and painted (the page fills a list when it is first shown).
void TimeFirstSwitches(const char* label, const std::string& path, int repeats) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("%-22s (missing: %s)\n", label, path.c_str());
        return;
    }
    static const int lists[] = {1004, 1005, 1006, 1007, 1008, 1014};
    std::printf("%-22s", label);
    for (int kind = 1; kind < 6; ++kind) {
        std::vector<double> times;
        for (int i = 0; i < repeats; ++i) {
            ResourcePage open;
            if (!OpenResourcePage(path, &open)) {
                CloseResourcePage(&open);
                break;
            }
            HWND dropDown = GetDlgItem(open.page, 1000);
            if (SendMessageA(dropDown, CB_GETCOUNT, 0, 0) <= kind) {
                CloseResourcePage(&open);
                break;
            }
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
            SendMessageA(open.page, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dropDown));
            UpdateWindow(GetDlgItem(open.page, lists[kind]));
            QueryPerformanceCounter(&end);
            times.push_back(Milliseconds(start, end));
            CloseResourcePage(&open);
        }
        if (times.empty())
            std::printf(" %8s", "-");
        else
            std::printf(" %8.1f", Median(times));
    }
    std::printf("\n");
}

void TimeStart(const char* label, const std::string& path, int repeats, double empty) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("%-20s %8s  (missing: %s)\n", label, "-", path.c_str());
        return;
    }
    std::vector<double> times;
    std::vector<double> paints;
    int entries = 0;
    for (int i = 0; i < repeats; ++i) {
        ResourcePage open;
        if (!OfferResourcePage(path, &open)) {
            std::printf("%-20s no page offered\n", label);
            CloseResourcePage(&open);
            return;
        }
        HPROPSHEETPAGE page = open.handle;
        open.handle = nullptr;  // the sheet takes it
        double painted = 0;
        const double time = TimeSheet(page, &entries, &painted);
        CloseResourcePage(&open);
        if (time < 0) {
            std::printf("%-20s no sheet\n", label);
            return;
        }
        times.push_back(time);
        paints.push_back(painted);
    }
    const double median = Median(times);
    std::printf("%-20s %8d %10.1f %10.1f %10.1f %10.1f\n", label, entries, median, empty,
                median - empty, Median(paints));
}

// Live GDI objects of the process: under Wine a handle's low word names its
// slot, and GetGuiResources answers 0.
int LiveGdiObjects() {
    int count = 0;
    for (uintptr_t slot = 1; slot <= 0xFFFF; ++slot)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return count;
}

// The GDI objects the page holds after the user scrolled through every icon
// group, and after the sheet closed.
void CountPicturesAfterScrolling(const std::string& path) {
    ResourcePage open;
    if (!OpenResourcePage(path, &open)) {
        std::printf("scrolling: no page for %s\n", path.c_str());
        CloseResourcePage(&open);
        return;
    }
    CloseResourcePage(&open);  // the platform's own caches come with the first sheet
    const int withoutPage = LiveGdiObjects();
    OpenResourcePage(path, &open);
    HWND list = GetDlgItem(open.page, 1004);
    UpdateWindow(list);
    const int shown = LiveGdiObjects();
    const int entries = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < entries; i += 2) {
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
        UpdateWindow(list);
    }
    const int scrolled = LiveGdiObjects();
    CloseResourcePage(&open);
    std::printf(
        "GDI objects, %d icon groups: without the page %d, page shown %d, after scrolling "
        "through all %d, after closing %d\n",
        entries, withoutPage, shown, scrolled, LiveGdiObjects());
}

void TimeRepaint(const std::string& path) {
    const int passes = 50;
    ResourcePage open;
    if (!OpenResourcePage(path, &open)) {
        std::printf("repaint: no page for %s\n", path.c_str());
        CloseResourcePage(&open);
        return;
    }
    HWND list = GetDlgItem(open.page, 1004);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < passes; ++i)
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    QueryPerformanceCounter(&end);
    const int entries = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    std::printf("repaint of list 1004 with %d entries: %.2f ms per pass (%d passes)\n", entries,
                Milliseconds(start, end) / passes, passes);
    CloseResourcePage(&open);
}

// The shell's own sheet: the time from the "properties" verb until the sheet
// is activated, and the time the page then takes when its tab is chosen (the
// shell creates a page only when it is first shown). The library must be
// registered in the prefix (page-start-benchmark.sh does that).
struct ShellTiming {
    LARGE_INTEGER start;
    double openMs;
    double pageMs;
    HHOOK hook;
};

ShellTiming shellTiming;

void CALLBACK ChooseResourceTab(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND sheet = WaitForPropertiesSheet(0);
    if (sheet == nullptr)
        return;
    int tab = FindSheetTab(sheet, "リソース");
    if (tab >= 0) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        SelectSheetTab(sheet, tab);
        QueryPerformanceCounter(&end);
        shellTiming.pageMs = Milliseconds(start, end);
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && shellTiming.openMs < 0) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        shellTiming.openMs = Milliseconds(shellTiming.start, now);
        // Out of the hook: the tab is chosen from the sheet's own message loop.
        SetTimer(nullptr, 0, 0, ChooseResourceTab);
    }
    return CallNextHookEx(shellTiming.hook, code, wParam, lParam);
}

void TimeShellSheet(const std::string& path, int repeats) {
    std::vector<double> opens, pages;
    for (int i = 0; i < repeats; ++i) {
        shellTiming.openMs = -1.0;
        shellTiming.pageMs = -1.0;
        shellTiming.hook =
            SetWindowsHookExA(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
        QueryPerformanceCounter(&shellTiming.start);
        InvokePropertiesVerb(path);
        UnhookWindowsHookEx(shellTiming.hook);
        if (shellTiming.openMs < 0 || shellTiming.pageMs < 0) {
            std::printf("shell sheet of %s: no sheet or no page (is the library registered?)\n",
                        path.c_str());
            return;
        }
        opens.push_back(shellTiming.openMs);
        pages.push_back(shellTiming.pageMs);
    }
    std::printf("shell's sheet of shell32.dll: opens in %.1f ms, the page then starts in %.1f ms\n",
                Median(opens), Median(pages));
}

// The page's handling of one message sent to its dialog; what the handling
// leaves queued (repaints) is handled outside the time.
double TimeSentMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageA(dialog, message, wParam, lParam);
    QueryPerformanceCounter(&end);
    PumpThreadMessages();
    return Milliseconds(start, end);
}

void TimeRebuild(const char* label, const std::string& path, int repeats) {
    ResourcePage open;
    if (!OpenResourcePage(path, &open)) {
        std::printf("%-16s no page for %s\n", label, path.c_str());
        CloseResourcePage(&open);
        return;
    }
    const int entries = static_cast<int>(SendDlgItemMessageA(open.page, 1004, LB_GETCOUNT, 0, 0));
    HDC screen = GetDC(nullptr);
    const WPARAM bits = static_cast<WPARAM>(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::vector<double> display, settings;
    for (int i = 0; i < repeats; ++i) {
        display.push_back(TimeSentMessage(open.page, WM_DISPLAYCHANGE, bits, size));
        settings.push_back(TimeSentMessage(open.page, WM_SETTINGCHANGE, 0, 0));
    }
    const int after = static_cast<int>(SendDlgItemMessageA(open.page, 1004, LB_GETCOUNT, 0, 0));
    std::printf("%-16s %8d %14.1f %14.2f%s\n", label, entries, Median(display), Median(settings),
                after == entries ? "" : "  (icon count changed!)");
    CloseResourcePage(&open);
}

void SelectStringRows(HWND list, int count) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    if (count < 0) {
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
        return;
    }
    for (int row = 0; row < count; ++row)
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
}

// Bytes of the clipboard's text before its terminating zero; -1 without text.
long ClipboardTextBytes(HWND owner) {
    long bytes = -1;
    if (!OpenClipboard(owner))
        return bytes;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text != nullptr) {
        const SIZE_T size = GlobalSize(data);
        bytes = 0;
        while (static_cast<SIZE_T>(bytes) < size && text[bytes] != '\0')
            ++bytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// rows < 0 selects every row.
void TimeStringCopy(HWND page, int rows, int repeats) {
    HWND list = GetDlgItem(page, 1007);
    SelectStringRows(list, rows);
    const int selected = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        times.push_back(TimeSentMessage(page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(GetDlgItem(page, 1013))));
    }
    const long bytes = ClipboardTextBytes(page);
    const double median = Median(times);
    std::printf("%8d %10ld %10.1f %14.1f\n", selected, bytes, median,
                bytes > 0 ? median * 1048576.0 / static_cast<double>(bytes) : 0.0);
}

void TimeStringCopies(const std::string& path, int repeats) {
    ResourcePage open;
    if (!OpenResourcePage(path, &open)) {
        std::printf("string copy: no page for %s\n", path.c_str());
        CloseResourcePage(&open);
        return;
    }
    ChooseKind(open.page, 3);
    std::printf("copy of string rows of strings-10000.dll (button 1013), median of %d\n", repeats);
    std::printf("%8s %10s %10s %14s\n", "rows", "bytes", "ms", "ms per MiB");
    TimeStringCopy(open.page, 100, repeats);
    TimeStringCopy(open.page, 1000, repeats);
    TimeStringCopy(open.page, -1, repeats);
    CloseResourcePage(&open);
}

// The rebuild after a change of the file's write time, with rows of
// strings-10000.dll selected (all of them, or the first one), from the paint
// that notices the change until the rebuild has kept the selection.
void TimeRebuildKeepingRows(const std::string& fixture, int repeats) {
    const std::string path = WriteTempFile(ReadWholeFile(fixture));
    std::printf("rebuild after a change of strings-10000.dll's write time, median of %d\n",
                repeats);
    std::printf("%8s %10s %10s\n", "selected", "kept", "ms");
    for (int rows : {1, -1}) {
        ResourcePage open;
        if (!OpenResourcePage(path, &open)) {
            std::printf("rebuild: no page for %s\n", path.c_str());
            CloseResourcePage(&open);
            break;
        }
        ChooseKind(open.page, 3);
        HWND list = GetDlgItem(open.page, 1007);
        std::vector<double> times;
        int selected = 0;
        int kept = 0;
        for (int i = 0; i < repeats; ++i) {
            SelectStringRows(list, rows);
            selected = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
            HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            FILETIME written = {};
            GetSystemTimeAsFileTime(&written);
            written.dwHighDateTime += static_cast<DWORD>(i + 1);
            SetFileTime(file, nullptr, nullptr, &written);
            CloseHandle(file);
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            PumpThreadMessages();
            QueryPerformanceCounter(&end);
            kept = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
            times.push_back(Milliseconds(start, end));
        }
        std::printf("%8d %10d %10.1f\n", selected, kept, Median(times));
        CloseResourcePage(&open);
    }
    DeleteFileA(path.c_str());
}

}  // namespace

// Every row of the string list read through LVM_GETITEMTEXTA, as a screen
// reader or an automation client reads them, against the page's own opening
// of the same file in the same process (both after a first, uncounted pass).
void TimeRowsThroughMessages(const std::string& path, int repeats) {
    std::vector<double> openings, reads;
    int rows = 0;
    for (int i = 0; i <= repeats; ++i) {
        ResourcePage open;
        LARGE_INTEGER start, opened, read;
        QueryPerformanceCounter(&start);
        if (!OpenResourcePage(path, &open)) {
            std::printf("rows through messages: no page for %s\n", path.c_str());
            CloseResourcePage(&open);
            return;
        }
        QueryPerformanceCounter(&opened);
        HWND list = GetDlgItem(open.page, 1007);
        rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        char text[1024];
        size_t bytes = 0;
        for (int row = 0; row < rows; ++row) {
            LVITEMA item = {};
            item.iSubItem = 1;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            bytes += static_cast<size_t>(
                SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        }
        QueryPerformanceCounter(&read);
        CloseResourcePage(&open);
        if (bytes == 0)
            std::printf("rows through messages: no text read\n");
        if (i == 0)
            continue;
        openings.push_back(Milliseconds(start, opened));
        reads.push_back(Milliseconds(opened, read));
    }
    const double opening = Median(openings);
    const double reading = Median(reads);
    std::printf(
        "all %d rows of strings-10000.dll through LVM_GETITEMTEXTA: %.1f ms; the page's opening "
        "%.1f ms; ratio %.2f (medians of %d)\n",
        rows, reading, opening, reading / opening, repeats);
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--once")
        return RunOnce(argv[2]);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    InitCommonControls();
    if (argc > 2 && std::string(argv[2]) == "rows") {
        TimeRowsThroughMessages(FixturePath("strings-10000.dll"), repeats);
        return 0;
    }
    if (argc > 2 && std::string(argv[2]) == "rebuild") {
        TimeRebuildKeepingRows(FixturePath("strings-10000.dll"), repeats);
        return 0;
    }
    std::printf(
        "page's opening against the empty dialog (the page's own template, a procedure that\n"
        "does nothing), median of %d; cold: a fresh process per opening, warm: the same\n"
        "process after a first opening; work = (page - empty) / empty (ms)\n",
        repeats);
    std::printf("%-22s %7s %7s %6s %7s %7s %7s %7s %6s %7s %7s\n", "file", "c.empty", "c.page",
                "c.work", "c.paint", "c.pwork", "w.empty", "w.page", "w.work", "w.paint",
                "w.pwork");
    CompareWithEmptyDialog("shell32.dll", SystemFilePath("shell32.dll"), repeats);
    CompareWithEmptyDialog("app-library.dll (338)", FixturePath("app-library.dll"), repeats);
    CompareWithEmptyDialog("strings-1000.dll", FixturePath("strings-1000.dll"), repeats);
    CompareWithEmptyDialog("strings-10000.dll", FixturePath("strings-10000.dll"), repeats);
    CompareWithEmptyDialog("mixed-300.dll", FixturePath("mixed-300.dll"), repeats);
    CompareWithEmptyDialog("ne-cursors-30000.exe", FixturePath("ne-cursors-30000.exe"), repeats);
    TimeFirstStringPaint(FixturePath("strings-10000.dll"), repeats);
    std::printf(
        "first switch to each kind after the opening: the choice until the list is shown and\n"
        "painted, median of %d, a fresh page each (ms)\n",
        repeats);
    std::printf("%-22s %8s %8s %8s %8s %8s\n", "file", "bitmap", "cursor", "string", "AVI",
                "message");
    TimeFirstSwitches("shell32.dll", SystemFilePath("shell32.dll"), repeats);
    TimeFirstSwitches("strings-10000.dll", FixturePath("strings-10000.dll"), repeats);
    TimeFirstSwitches("mixed-300.dll", FixturePath("mixed-300.dll"), repeats);
    TimeFirstSwitches("kernelbase.dll", SystemFilePath("kernelbase.dll"), repeats);
    if (argc > 2 && std::string(argv[2]) == "openings")
        return 0;

    std::vector<double> emptyTimes;
    for (int i = 0; i < repeats; ++i)
        emptyTimes.push_back(TimeEmptySheet());
    const double empty = Median(emptyTimes);

    std::printf("page start, median of %d (ms)\n", repeats);
    std::printf("%-20s %8s %10s %10s %10s %10s\n", "file", "groups", "sheet", "empty", "page",
                "painted");
    TimeStart("icons-100.dll", FixturePath("icons-100.dll"), repeats, empty);
    TimeStart("icons-1000.dll", FixturePath("icons-1000.dll"), repeats, empty);
    TimeStart("icons-5000.dll", FixturePath("icons-5000.dll"), repeats, empty);
    TimeStart("shell32.dll", SystemFilePath("shell32.dll"), repeats, empty);
    TimeStart("ne-cursors-3000.exe", FixturePath("ne-cursors-3000.exe"), repeats, empty);
    TimeStart("ne-cursors-30000.exe", FixturePath("ne-cursors-30000.exe"), repeats, empty);
    TimeStart("strings-10000.dll", FixturePath("strings-10000.dll"), repeats, empty);
    TimeRepaint(FixturePath("icons-1000.dll"));
    CountPicturesAfterScrolling(FixturePath("icons-5000.dll"));
    std::printf(
        "picture lists' rebuild, median of %d (ms); WM_DISPLAYCHANGE stands for a\n"
        "change of the icon and cursor sizes, which Wine cannot make\n",
        repeats);
    std::printf("%-16s %8s %14s %14s\n", "file", "icons", "DISPLAYCHANGE", "SETTINGCHANGE");
    TimeRebuild("shell32.dll", SystemFilePath("shell32.dll"), repeats);
    TimeRebuild("icons-1000.dll", FixturePath("icons-1000.dll"), repeats);
    TimeStringCopies(FixturePath("strings-10000.dll"), repeats);
    TimeRowsThroughMessages(FixturePath("strings-10000.dll"), repeats);
    TimeRebuildKeepingRows(FixturePath("strings-10000.dll"), repeats);
    CoInitialize(nullptr);
    TimeShellSheet(SystemFilePath("shell32.dll"), repeats);
    CoUninitialize();
    return 0;
}
