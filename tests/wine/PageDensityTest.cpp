// The page on screens of 96, 144 and 192 dots per inch. Wine takes its
// density (LogPixels) once, when a program starts, so this program runs in a
// Wine session of its own: for each density it writes LogPixels and starts a
// copy of itself, which opens real pages and reports what they measure and
// draw; the comparisons are made here.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

const char kReportVariable[] = "VANTREL_DENSITY_REPORT";
const COLORREF kMarker = RGB(0x12, 0x34, 0x56);  // no picture of the fixtures has it
const UINT kDpiChangedAfterParent = 0x02E3;

typedef std::map<std::string, int> Report;

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value) : std::string();
}

// ---- In the child: what a page shows at the density it started with ----

// A 32-bit top-down bitmap for one item.
struct ItemCanvas {
    ItemCanvas(int width, int height) : width(width), height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void* data = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &data, nullptr, 0);
        bits = static_cast<uint32_t*>(data);
        previous = SelectObject(dc, bitmap);
    }
    ~ItemCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF Pixel(int x, int y) const {
        uint32_t value = bits[y * width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    int width;
    int height;
    HDC dc;
    HBITMAP bitmap;
    uint32_t* bits;
    HGDIOBJ previous;
};

// The box around everything an item draws that is not the window's colours,
// which the child has set to the marker: text vanishes, pictures stay.
struct DrawnBox {
    int left, top, width, height;
    bool sharpAtDouble;  // every 2 x 2 block from the item's origin is one colour
};

DrawnBox DrawItem(HWND page, int listId, int index) {
    HWND list = GetDlgItem(page, listId);
    RECT rect = {};
    DrawnBox box = {0, 0, 0, 0, false};
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
        return box;
    ItemCanvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = static_cast<UINT>(listId);
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = list;
    item.hDC = canvas.dc;
    item.rcItem = RECT{0, 0, canvas.width, canvas.height};
    item.itemData = static_cast<ULONG_PTR>(SendMessageA(list, LB_GETITEMDATA, index, 0));
    SendMessageA(page, WM_DRAWITEM, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&item));
    GdiFlush();
    int left = canvas.width, top = canvas.height, right = -1, bottom = -1;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            if (canvas.Pixel(x, y) == kMarker)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return box;
    box = DrawnBox{left, top, right - left + 1, bottom - top + 1, true};
    for (int y = top & ~1; y + 1 < canvas.height && y <= bottom; y += 2) {
        for (int x = left & ~1; x + 1 < canvas.width && x <= right; x += 2) {
            COLORREF c = canvas.Pixel(x, y);
            if (canvas.Pixel(x + 1, y) != c || canvas.Pixel(x, y + 1) != c ||
                canvas.Pixel(x + 1, y + 1) != c)
                box.sharpAtDouble = false;
        }
    }
    return box;
}

int ItemHeight(HWND page, int listId, int index = 0) {
    return static_cast<int>(SendDlgItemMessageA(page, listId, LB_GETITEMHEIGHT, index, 0));
}

void Put(Report* report, const std::string& key, const DrawnBox& box) {
    (*report)[key + ".width"] = box.width;
    (*report)[key + ".height"] = box.height;
    (*report)[key + ".sharp"] = box.sharpAtDouble ? 1 : 0;
}

// What the page's window and thread say about the density.
void PutDensity(Report* report, const std::string& key, HWND page) {
    HDC dc = GetDC(page);
    (*report)[key + ".logPixelsY"] = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(page, dc);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto dpiForWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    (*report)[key + ".dpiForWindow"] = dpiForWindow != nullptr ? dpiForWindow(page) : -1;
}

// The room the closed drop-down gives its text, less the longest kind name.
int KindNameRoom(HWND page) {
    HWND dropDown = GetDlgItem(page, 1000);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(dropDown, &info))
        return -1000;
    HDC dc = GetDC(dropDown);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dropDown, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "ビットマップ", lstrlenA("ビットマップ"), &size);
    SelectObject(dc, previous);
    ReleaseDC(dropDown, dc);
    return (info.rcItem.right - info.rcItem.left) - size.cx;
}

void MeasureFixturePage(Report* report) {
    ResourcePage open = {};
    PageCloser closer{&open};
    if (!OpenResourcePage(FixturePath("pe-resources.dll"), &open))
        return;
    HWND page = open.page;
    PutDensity(report, "page", page);
    (*report)["kindNameRoom"] = KindNameRoom(page);
    // The play button's glyph, where it is a bitmap button (without styles).
    BITMAP glyph = {};
    HGDIOBJ image =
        reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(page, 1012, BM_GETIMAGE, IMAGE_BITMAP, 0));
    (*report)["glyph.side"] =
        image != nullptr && GetObjectA(image, sizeof(glyph), &glyph) ? glyph.bmWidth : -1;
    const int lists[] = {1004, 1005, 1006, 1008};
    for (int id : lists)
        (*report)["row." + std::to_string(id)] = ItemHeight(page, id);
    ChooseKind(page, 1);
    Put(report, "bitmap", DrawItem(page, 1005, 0));  // 101: 16 x 8
    ChooseKind(page, 4);
    Put(report, "clip", DrawItem(page, 1008, 0));
    ChooseKind(page, 0);
    ChooseEntry(page, 1004, 0);  // group 1: 1-bit 16 x 16 and 32 x 32
    (*report)["row.1010"] = ItemHeight(page, 1010, 0);
    (*report)["row.1010.last"] = ItemHeight(page, 1010, ListCount(page, 1010) - 1);
    Put(report, "member", DrawItem(page, 1010, 0));

    // A move to a screen of another density. Wine runs a window's messages at
    // the density it was made with, so the page reads the same one again:
    // rows left at other heights show whether the lists were made anew.
    ChooseKind(page, 1);
    SendDlgItemMessageA(page, 1004, LB_SETITEMHEIGHT, 0, MAKELPARAM(30, 0));
    SendDlgItemMessageA(page, 1005, LB_SETITEMHEIGHT, 0, MAKELPARAM(100, 0));
    (*report)["moved.row.1005.before"] = ItemHeight(page, 1005);
    SendMessageA(page, kDpiChangedAfterParent, 0, 0);
    PumpThreadMessages();
    (*report)["moved.row.1004"] = ItemHeight(page, 1004);
    (*report)["moved.row.1005"] = ItemHeight(page, 1005);
    Put(report, "moved.bitmap", DrawItem(page, 1005, 0));
}

void MeasureShellPage(Report* report) {
    ResourcePage open = {};
    PageCloser closer{&open};
    if (!OpenResourcePage(SystemFilePath("shell32.dll"), &open))
        return;
    (*report)["shell.row.1004"] = ItemHeight(open.page, 1004);
    Put(report, "shell.icon", DrawItem(open.page, 1004, 0));
}

// ---- In the parent ----

bool SetLogPixels(DWORD density) {
    struct Place {
        HKEY root;
        const char* key;
    };
    const Place places[] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE,
         "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
    };
    for (const Place& place : places) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(place.root, place.key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        LONG set = RegSetValueExA(key, "LogPixels", 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&density), sizeof(density));
        RegCloseKey(key);
        if (set != ERROR_SUCCESS)
            return false;
    }
    return true;
}

// Starts this program at density with the child's test only and reads its report.
Report MeasureAt(DWORD density) {
    Report report;
    if (!SetLogPixels(density))
        return report;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    const std::string file = std::string(folder) + "vantrel-density-" + std::to_string(density);
    DeleteFileA(file.c_str());
    SetEnvironmentVariableA(kReportVariable, file.c_str());
    std::string commandLine = "\"" + std::string(self) + "\" --gtest_filter=PageDensityChild.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableA(kReportVariable, nullptr);
    SetLogPixels(96);
    FILE* in = fopen(file.c_str(), "r");
    if (in == nullptr)
        return report;
    char key[128];
    int value = 0;
    while (fscanf(in, "%127s %d", key, &value) == 2)
        report[key] = value;
    fclose(in);
    DeleteFileA(file.c_str());
    return report;
}

void PrintReport(DWORD density, const Report& report) {
    printf("at %lu dpi:", static_cast<unsigned long>(density));
    for (const auto& entry : report)
        printf(" %s=%d", entry.first.c_str(), entry.second);
    printf("\n");
}

class PageDensity : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (DWORD density : {96u, 144u, 192u}) {
            reports[density] = MeasureAt(density);
            PrintReport(density, reports[density]);
        }
    }
    static int At(DWORD density, const std::string& key) {
        auto found = reports[density].find(key);
        return found == reports[density].end() ? -1 : found->second;
    }
    static std::map<DWORD, Report> reports;
};
std::map<DWORD, Report> PageDensity::reports;

}  // namespace

TEST(PageDensityChild, Report) {
    const std::string file = Variable(kReportVariable);
    if (file.empty())
        GTEST_SKIP() << "run by PageDensity at each density";
    InitCommonControls();
    const int colours[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF marked[] = {kMarker, kMarker};
    const COLORREF saved[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    SetSysColors(2, colours, marked);
    Report report;
    MeasureFixturePage(&report);
    MeasureShellPage(&report);
    SetSysColors(2, colours, saved);
    FILE* out = fopen(file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    for (const auto& entry : report)
        fprintf(out, "%s %d\n", entry.first.c_str(), entry.second);
    fclose(out);
}

TEST_F(PageDensity, WineReportsTheDensityItStartedWith) {
    for (DWORD density : {96u, 144u, 192u}) {
        ASSERT_FALSE(reports[density].empty()) << density;
        EXPECT_EQ(At(density, "page.logPixelsY"), static_cast<int>(density));
    }
}

// Every picture list's rows and the member list's follow the density: the
// group rows (system icon size, font and margins) and the member rows by its
// factor, the bitmap and clip rows as far as a list box's 255 pixels allow.
TEST_F(PageDensity, RowsGrowByTheDensity) {
    for (DWORD density : {144u, 192u}) {
        const double factor = density / 96.0;
        for (const char* row : {"row.1004", "row.1006", "row.1010", "row.1010.last"}) {
            const double expected = At(96, row) * factor;
            EXPECT_NEAR(At(density, row), expected, 2 + factor) << row << " at " << density;
        }
        for (const char* row : {"row.1005", "row.1008"}) {
            const double expected = std::min(255.0, At(96, row) * factor);
            EXPECT_NEAR(At(density, row), expected, 2 + factor) << row << " at " << density;
        }
    }
    for (const char* row :
         {"row.1004", "row.1005", "row.1006", "row.1008", "row.1010", "shell.row.1004"}) {
        EXPECT_GE(At(192, row), 1.8 * At(96, row)) << row;
    }
}

// A small bitmap's thumbnail, a clip's frame and a member picture are drawn
// at their size times the density; the first icon of the shell library
// follows the system's icon size.
TEST_F(PageDensity, PicturesAreDrawnAtTheirSizeTimesTheDensity) {
    ASSERT_EQ(At(96, "bitmap.width"), 16);
    ASSERT_EQ(At(96, "bitmap.height"), 8);
    EXPECT_EQ(At(144, "bitmap.width"), 24);
    EXPECT_EQ(At(144, "bitmap.height"), 12);
    EXPECT_EQ(At(192, "bitmap.width"), 32);
    EXPECT_EQ(At(192, "bitmap.height"), 16);
    for (DWORD density : {144u, 192u}) {
        const double factor = density / 96.0;
        for (const char* key : {"member.width", "member.height", "clip.width", "clip.height"}) {
            EXPECT_GT(At(96, key), 0) << key;
            EXPECT_NEAR(At(density, key), At(96, key) * factor, 1 + factor)
                << key << " at " << density;
        }
    }
    // Twice the density: every member pixel a sharp 2 x 2 block.
    EXPECT_EQ(At(192, "member.sharp"), 1);
    EXPECT_GE(At(192, "shell.icon.width"), 1.8 * At(96, "shell.icon.width"));
    EXPECT_GE(At(192, "shell.icon.height"), 1.8 * At(96, "shell.icon.height"));
}

// The play button's 9 x 9 glyph follows as well.
TEST_F(PageDensity, PlayGlyphGrowsWithTheDensity) {
    if (At(96, "glyph.side") < 0)
        GTEST_SKIP() << "the button is drawn with visual styles";
    EXPECT_EQ(At(96, "glyph.side"), 9);
    EXPECT_EQ(At(144, "glyph.side"), 14);
    EXPECT_EQ(At(192, "glyph.side"), 18);
}

TEST_F(PageDensity, KindDropDownShowsTheLongestNameWhole) {
    for (DWORD density : {96u, 144u, 192u})
        EXPECT_GE(At(density, "kindNameRoom"), 0) << density;
}

// The message of a move to another screen makes the lists again, at the
// density the page reads then.
TEST_F(PageDensity, DensityChangeRebuildsTheLists) {
    for (DWORD density : {96u, 144u, 192u}) {
        EXPECT_EQ(At(density, "moved.row.1005.before"), 100) << density;
        EXPECT_EQ(At(density, "moved.row.1004"), At(density, "row.1004")) << density;
        EXPECT_EQ(At(density, "moved.row.1005"), At(density, "row.1005")) << density;
        EXPECT_EQ(At(density, "moved.bitmap.width"), At(density, "bitmap.width")) << density;
        EXPECT_EQ(At(density, "moved.bitmap.height"), At(density, "bitmap.height")) << density;
    }
}
