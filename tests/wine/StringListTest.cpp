// The string list view of template 101 filled from real files: its rows against
// what the platform loads, their order and texts, a row longer than the page's
// buffer copied whole, and the drawing of the rows, of the empty area and of
// the locked header.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../native/NeImageBuilder.h"
#include "catalogue/StringList.h"
#include "module/ShellExtension.h"
#include "page/commands/CopySelection.h"
#include "page/dialog/ListHooks.h"
#include "page/lists/StringListView.h"
#include "page/state/ControlHooks.h"
#include "page/state/PageStores.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

typedef std::vector<std::pair<unsigned, std::string>> Rows;
const COLORREF kGrey = RGB(128, 128, 128);
const char kKatakana[] = "\x83\x65\x83\x58\x83\x67";  // code page 932

INT_PTR CALLBACK StringPageProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    if (message == WM_MEASUREITEM)
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = StringRowHeight(dialog);
    if (message == WM_DRAWITEM)
        DrawStringRow(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    if (message == WM_NOTIFY)
        return StringListNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    return message == WM_INITDIALOG;
}

// The library's template, its page state reached as the page reaches its own.
struct StringPage {
    HMODULE library = LoadLibraryExA(LibraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr,
                                  nullptr, nullptr, nullptr);
    ShellExtension* object = new ShellExtension();
    PageState* page = &object->pageState;
    PROPSHEETPAGEA description = {};
    HWND dialog = nullptr, list = nullptr;

    explicit StringPage(const std::string& path) {
        object->AddRef();
        page->textBuffer = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 256));
        page->textBufferSize = 256;
        description.lParam = PageParameterOf(object);
        dialog = CreateDialogParamA(library, MAKEINTRESOURCEA(101), parent, StringPageProc,
                                    reinterpret_cast<LPARAM>(&description));
        list = GetDlgItem(dialog, 1007);
        ResourceSource source = {};
        if (list != nullptr && OpenResourceSource(NarrowTarget(path), &source)) {
            filled = FillStringList(dialog, TextBufferOfPage(page), source, &page->stringHeader);
            CloseResourceSource(&source);
        }
    }
    ~StringPage() {
        DestroyWindow(parent);
        GlobalFree(page->textBuffer);
        object->Release();
        FreeLibrary(library);
    }
    Rows Read() const {
        Rows rows;
        std::vector<char> text(140000);
        for (int i = 0; i < SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); ++i) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.iSubItem = 1;
            item.pszText = text.data();
            item.cchTextMax = static_cast<int>(text.size());
            SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            rows.emplace_back(static_cast<unsigned>(item.lParam), item.pszText);
        }
        return rows;
    }
    int ColumnWidth(int column) const {
        return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    int filled = -5;
};

BOOL CALLBACK CollectBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
    if (IS_INTRESOURCE(name) && LOWORD(name) >= 1 && LOWORD(name) <= 4096)
        reinterpret_cast<std::vector<WORD>*>(blocks)->push_back(LOWORD(name));
    return TRUE;
}

// Every string of blocks 1-4096 as the platform loads it with room to spare.
Rows PlatformRows(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<WORD> blocks;
    EnumResourceNamesA(module, RT_STRING, CollectBlock, reinterpret_cast<LONG_PTR>(&blocks));
    Rows rows;
    std::vector<char> text(140000);
    for (WORD block : blocks) {
        for (unsigned id = (block - 1u) * 16; id < block * 16u; ++id) {
            if (LoadStringA(module, id, text.data(), static_cast<int>(text.size())) > 0)
                rows.emplace_back(id, text.data());
        }
    }
    FreeLibrary(module);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A fixture library with a string block numbered 4097, once one is made.
std::string FixtureWithBlockPast4096() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(FixturePath("*.dll").c_str(), &found);
    std::string path;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        HMODULE module =
            LoadLibraryExA(FixturePath(found.cFileName).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module != nullptr && FindResourceA(module, MAKEINTRESOURCEA(4097), RT_STRING))
            path = FixturePath(found.cFileName);
        FreeLibrary(module);
    }
    FindClose(search);
    return path;
}

std::string Letters(size_t length, char first) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>(first + i % 26);
    return text;
}

std::vector<uint8_t> NeBlock(const std::vector<std::string>& strings) {
    std::vector<uint8_t> bytes;
    for (const std::string& text : strings) {
        bytes.push_back(static_cast<uint8_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

// A bitmap to draw on, and whether columns [from, to) differ from a colour.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ original;
    int height;
    Canvas(int width, int h) : height(h) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        original = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Inked(int from, int to, COLORREF colour) const {
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < height; ++y) {
                if (GetPixel(dc, x, y) != colour)
                    return true;
            }
        }
        return false;
    }
};

TEST(StringList, RowsAreWhatThePlatformLoadsAndBlocksPast4096AreIgnored) {
    StringPage shell(SystemFilePath("shell32.dll"));
    ASSERT_EQ(0, shell.filled);
    Rows expected = PlatformRows(SystemFilePath("shell32.dll"));
    ASSERT_GT(expected.size(), 16u);
    EXPECT_EQ(expected, shell.Read());

    std::string longest = FixtureWithBlockPast4096();
    if (longest.empty())
        GTEST_SKIP() << "no fixture with a string block past 4096 yet";
    StringPage page(longest);
    Rows rows = page.Read();
    EXPECT_EQ(PlatformRows(longest), rows);
    auto byLength = [](const Rows::value_type& a, const Rows::value_type& b) {
        return a.second.size() < b.second.size();
    };
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(65535u, std::max_element(rows.begin(), rows.end(), byLength)->second.size());
    EXPECT_EQ(32767, page.ColumnWidth(1));
}

TEST(StringList, FixtureRowsKeepTheirTextsAndTheFirstIsSelected) {
    StringPage pe(FixturePath("pe-resources.dll"));
    ASSERT_EQ(0, pe.filled);
    Rows rows = pe.Read();
    EXPECT_EQ((Rows{{1, "One"},
                    {2, "Two"},
                    {15, "Fifteen"},
                    {16, "Sixteen"},
                    {17, Letters(200, 'a')},
                    {20, kKatakana},
                    {33, Letters(300, 'A')},
                    {47, "Forty-seven"},
                    {1600, "Block 101 first"},
                    {1615, "Block 101 last"}}),
              rows);
    EXPECT_EQ(LVIS_SELECTED, SendMessageA(pe.list, LVM_GETITEMSTATE, 0, LVIS_SELECTED));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pe.dialog, 1013)));
    EXPECT_EQ(8 + SendMessageA(pe.list, LVM_GETSTRINGWIDTHA, 0,
                               reinterpret_cast<LPARAM>(rows[6].second.c_str())),
              pe.ColumnWidth(1));

    StringPage ne(FixturePath("ne-kinds.exe"));
    rows = ne.Read();
    ASSERT_EQ(9u, rows.size());
    EXPECT_EQ((Rows::value_type{4, "Four"}), rows[2]);
    EXPECT_EQ((Rows::value_type{17, Letters(200, 'a')}), rows[5]);
    EXPECT_EQ((Rows::value_type{1023, "Block 64 last"}), rows[8]);
}

TEST(StringList, ARowLongerThanThePagesTextBufferIsCopiedWhole) {
    StringPage edges(FixturePath("pe-edges.dll"));
    ASSERT_EQ(0, edges.filled);
    const Rows rows = edges.Read();
    const auto longest = std::find_if(rows.begin(), rows.end(),
                                      [](const Rows::value_type& row) { return row.first == 150; });
    ASSERT_NE(rows.end(), longest);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(edges.list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageA(edges.list, LVM_SETITEMSTATE, static_cast<WPARAM>(longest - rows.begin()),
                 reinterpret_cast<LPARAM>(&state));
    // The fill left room for the longest string; back at the page's first 256
    // bytes, the buffer must grow for the copy.
    GlobalFree(edges.page->textBuffer);
    edges.page->textBuffer = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 256));
    edges.page->textBufferSize = 256;
    edges.page->currentKind = kKindString;
    CopySelection(edges.dialog, edges.page);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL copied = GetClipboardData(CF_TEXT);
    const char* text = static_cast<const char*>(GlobalLock(copied));
    const std::string whole = text != nullptr ? text : "";
    EXPECT_EQ(longest->second.size() + 2, whole.size());
    EXPECT_TRUE(whole == longest->second + "\r\n");
    GlobalUnlock(copied);
    CloseClipboard();
}

TEST(StringList, NeBlocksInAnyOrderEndSortedAndOnlyBlocks1To4096Count) {
    std::vector<NeTestType> types = {{NeId(6),
                                      {{NeId(3), NeBlock({"", "Thirty-three"})},
                                       {NeId(4097), NeBlock({"would wrap to 0"})},
                                       {NeText("1"), NeBlock({"text name"})},
                                       {NeId(1), NeBlock({"", "", kKatakana})},
                                       {NeId(4096), NeBlock({"", "", "", "", "", "", "", "", "", "",
                                                             "", "", "", "", "", "Last"})}}}};
    StringPage page(WriteTempFile(BuildNeImage(types, 1)));
    ASSERT_EQ(0, page.filled);
    EXPECT_EQ((Rows{{2, kKatakana}, {33, "Thirty-three"}, {65535, "Last"}}), page.Read());
}

TEST(StringListView, RowsAndEmptyAreaShareTheSeparatorAndTheHeaderIgnoresTheLeftButton) {
    StringPage page(FixturePath("pe-resources.dll"));
    Canvas row(300, 20);
    HGDIOBJ pen = GetCurrentObject(row.dc, OBJ_PEN);
    DRAWITEMSTRUCT item = {};
    item.hwndItem = page.list;
    item.hDC = row.dc;
    item.rcItem = RECT{0, 0, 300, 20};
    DrawStringRow(page.dialog, &item);
    const int x = page.ColumnWidth(0);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(kGrey, GetPixel(row.dc, x - 1, 10));
    EXPECT_TRUE(row.Inked(0, x - 4, window));  // "1"
    EXPECT_FALSE(row.Inked(x - 4, x - 1, window));
    EXPECT_FALSE(row.Inked(x, x + 4, window));
    EXPECT_TRUE(row.Inked(x + 4, 300, window));  // "One"
    EXPECT_EQ(pen, GetCurrentObject(row.dc, OBJ_PEN));
    // A row index the list does not have draws nothing.
    PatBlt(row.dc, 0, 0, 300, 20, BLACKNESS);
    item.itemID = 10;
    DrawStringRow(page.dialog, &item);
    EXPECT_FALSE(row.Inked(0, 300, RGB(0, 0, 0)));

    // Scrolled sideways, the line below the rows moves with the boundary.
    ASSERT_TRUE(HookControl(page.list, StringListHook));
    SendMessageA(page.list, LVM_SCROLL, 30, 0);
    ASSERT_GT(GetScrollPos(page.list, SB_HORZ), 0);
    const int scrolledX = x - GetScrollPos(page.list, SB_HORZ) - 1;
    RECT client, header;
    GetClientRect(page.list, &client);
    GetWindowRect(page.page->stringHeader, &header);
    MapWindowPoints(nullptr, page.list, reinterpret_cast<POINT*>(&header), 2);
    Canvas area(client.right, client.bottom);
    SendMessageA(page.list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(area.dc), 0);
    EXPECT_EQ(kGrey, GetPixel(area.dc, scrolledX, client.bottom - 1));
    EXPECT_EQ(kGrey, GetPixel(area.dc, scrolledX, header.bottom));
    UnhookControl(page.list);

    // A drag on the column divider resizes nothing.
    ASSERT_TRUE(HookControl(page.page->stringHeader, HeaderHook));
    SendMessageA(page.page->stringHeader, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageA(page.page->stringHeader, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 40, 5));
    SendMessageA(page.page->stringHeader, WM_LBUTTONUP, 0, MAKELPARAM(x + 40, 5));
    EXPECT_EQ(x, page.ColumnWidth(0));
    UnhookControl(page.page->stringHeader);
}

TEST(StringListView, ARowOfThePagesListScrolledIntoViewDrawsItsOwnIdAndText) {
    const std::string path = FixturePath("strings-1000.dll");
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    HWND list = GetDlgItem(open.page, 1007);
    SendMessageA(list, LVM_ENSUREVISIBLE, 900, FALSE);
    UpdateWindow(list);
    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    ASSERT_GT(top, 800);
    // The same rows as a list that keeps its own texts draws them.
    StringPage kept(path);
    ASSERT_EQ(0, kept.filled);
    for (int row : {top, top + 3, 999}) {
        SCOPED_TRACE(row);
        Canvas shown(400, 20), expected(400, 20);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTVIEW;
        item.CtlID = 1007;
        item.itemID = static_cast<UINT>(row);
        item.itemAction = ODA_DRAWENTIRE;
        item.rcItem = RECT{0, 0, 400, 20};
        item.hwndItem = list;
        item.hDC = shown.dc;
        SendMessageA(open.page, WM_DRAWITEM, 1007, reinterpret_cast<LPARAM>(&item));
        item.hwndItem = kept.list;
        item.hDC = expected.dc;
        DrawStringRow(kept.dialog, &item);
        ASSERT_TRUE(expected.Inked(0, 400, GetSysColor(COLOR_WINDOW)));
        int differing = 0;
        for (int x = 0; x < 400; ++x) {
            for (int y = 0; y < 20; ++y)
                differing += GetPixel(shown.dc, x, y) != GetPixel(expected.dc, x, y);
        }
        EXPECT_EQ(0, differing);
    }
}

// A digit typed in the string list moves to the next identifier that starts
// with it (row r holds identifier r + 1), round to the top after the last.
TEST(StringListView, ATypedDigitMovesToTheNextIdentifierStartingWithIt) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("strings-1000.dll"), &open));
    ChooseKind(open.page, 3);
    HWND list = GetDlgItem(open.page, 1007);
    auto focus = [&](int row) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    };
    auto type = [&](char digit) {
        Sleep(600);  // a search of its own, not the last one's continuation
        SendMessageA(list, WM_CHAR, static_cast<WPARAM>(digit), 1);
        return static_cast<int>(
            SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    };
    focus(0);
    EXPECT_EQ(9, type('1'));
    EXPECT_EQ(10, type('1'));
    EXPECT_EQ(19, type('2'));
    focus(995);
    EXPECT_EQ(999, type('1'));
    EXPECT_EQ(0, type('1')) << "round to the top";
}

}  // namespace
