// The string list view of template 101 filled from real files: its rows against
// what the platform loads, their order and texts, the drawing of a row and of
// the empty area, and the header that ignores the left button.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../native/NeImageBuilder.h"
#include "catalogue/ResourceSource.h"
#include "catalogue/StringList.h"
#include "module/ShellExtension.h"
#include "page/ControlHooks.h"
#include "page/PageStores.h"
#include "page/StringListView.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

typedef std::vector<std::pair<unsigned, std::string>> Rows;
const COLORREF kGrey = RGB(128, 128, 128);

INT_PTR CALLBACK StringPageProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return TRUE;
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item->CtlType == ODT_LISTVIEW && item->CtlID == 1007)
                item->itemHeight = StringRowHeight(dialog);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        }
        case WM_DRAWITEM:
            DrawStringRow(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_NOTIFY:
            return StringListNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

// The library's page template with a page state reached as the page reaches
// its own, answering only the string list's messages.
struct StringPage {
    HMODULE library = LoadLibraryExA(LibraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr,
                                  nullptr, nullptr, nullptr);
    ShellExtension* object = new ShellExtension();
    PageState* page = &object->pageState;
    PROPSHEETPAGEA description = {};
    HWND dialog = nullptr;
    HWND list = nullptr;

    StringPage() {
        object->AddRef();
        page->textBuffer = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 256));
        page->textBufferSize = 256;
        description.dwSize = sizeof(description);
        description.lParam = PageParameterOf(object);
        dialog = CreateDialogParamA(library, MAKEINTRESOURCEA(101), parent, StringPageProc,
                                    reinterpret_cast<LPARAM>(&description));
        list = GetDlgItem(dialog, 1007);
    }
    ~StringPage() {
        DestroyWindow(parent);
        GlobalFree(page->textBuffer);
        object->Release();
        FreeLibrary(library);
    }
    int Fill(const std::string& path) {
        ResourceSource source = {};
        if (list == nullptr || !OpenResourceSource(path.c_str(), &source))
            return -5;
        int result = FillStringList(dialog, TextBufferOfPage(page), source, &page->stringHeader);
        CloseResourceSource(&source);
        return result;
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
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(blocks)->push_back(LOWORD(name));
    return TRUE;
}

// Every string of the file's blocks 1-4096 as the platform loads it with room
// to spare, by identifier.
Rows PlatformRows(const std::string& path) {
    Rows rows;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<WORD> blocks;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(6), CollectName,
                       reinterpret_cast<LONG_PTR>(&blocks));
    std::vector<char> text(140000);
    for (WORD block : blocks) {
        if (block < 1 || block > 4096)
            continue;
        for (unsigned id = (block - 1u) * 16; id < block * 16u; ++id) {
            if (LoadStringA(module, id, text.data(), static_cast<int>(text.size())) > 0)
                rows.emplace_back(id, text.data());
        }
    }
    FreeLibrary(module);
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<unsigned> Ids(const Rows& rows) {
    std::vector<unsigned> ids;
    for (const auto& row : rows)
        ids.push_back(row.first);
    return ids;
}

std::string Letters(size_t length, char first) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>(first + i % 26);
    return text;
}

// A fixture library with a string block numbered past 4096, if one was made.
std::string FixtureWithBlockPast4096() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(FixturePath("*.dll").c_str(), &found);
    std::string path;
    for (bool more = search != INVALID_HANDLE_VALUE; more && path.empty();
         more = FindNextFileA(search, &found)) {
        HMODULE module =
            LoadLibraryExA(FixturePath(found.cFileName).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module != nullptr && FindResourceA(module, MAKEINTRESOURCEA(4097), RT_STRING))
            path = FixturePath(found.cFileName);
        FreeLibrary(module);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return path;
}

// A 16-bit image's block: a length byte and the text, per string.
std::vector<uint8_t> NeBlock(const std::vector<std::string>& strings) {
    std::vector<uint8_t> bytes;
    for (const std::string& text : strings) {
        bytes.push_back(static_cast<uint8_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

// True when any pixel of the columns [from, to) differs from colour.
bool Inked(HDC dc, int from, int to, int height, COLORREF colour) {
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < height; ++y) {
            if (GetPixel(dc, x, y) != colour)
                return true;
        }
    }
    return false;
}

TEST(StringList, RowsAreEveryStringThePlatformLoadsInIdentifierOrder) {
    StringPage shell;
    ASSERT_EQ(0, shell.Fill(SystemFilePath("shell32.dll")));
    Rows expected = PlatformRows(SystemFilePath("shell32.dll"));
    ASSERT_GT(expected.size(), 16u);
    EXPECT_EQ(expected, shell.Read());
}

TEST(StringList, LongestStringsLoadWholeAndBlocksPast4096AreIgnored) {
    std::string path = FixtureWithBlockPast4096();
    if (path.empty())
        GTEST_SKIP() << "no fixture library with a string block past 4096 yet";
    StringPage page;
    ASSERT_EQ(0, page.Fill(path));
    Rows rows = page.Read();
    EXPECT_EQ(PlatformRows(path), rows);
    size_t longest = 0;
    for (const auto& row : rows)
        longest = std::max(longest, row.second.size());
    EXPECT_EQ(65535u, longest);
    EXPECT_EQ(32767, page.ColumnWidth(1));
}

TEST(StringList, FixtureRowsKeepTheirTextsAndTheFirstIsSelected) {
    StringPage pe;
    ASSERT_EQ(0, pe.Fill(FixturePath("pe-resources.dll")));
    Rows rows = pe.Read();
    ASSERT_EQ((std::vector<unsigned>{1, 2, 15, 16, 17, 20, 33, 47, 1600, 1615}), Ids(rows));
    EXPECT_EQ(Letters(200, 'a'), rows[4].second);
    EXPECT_EQ("\x83\x65\x83\x58\x83\x67", rows[5].second);  // katakana, code page 932
    EXPECT_EQ(Letters(300, 'A'), rows[6].second);
    EXPECT_EQ(LVIS_SELECTED, SendMessageA(pe.list, LVM_GETITEMSTATE, 0, LVIS_SELECTED));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(pe.dialog, 1013)));
    EXPECT_EQ(SendMessageA(pe.list, LVM_GETSTRINGWIDTHA, 0,
                           reinterpret_cast<LPARAM>(rows[6].second.c_str())) +
                  8,
              pe.ColumnWidth(1));
    // The height holds whole rows only: one pixel less shows one row fewer.
    RECT window;
    GetWindowRect(pe.list, &window);
    LRESULT rowsShown = SendMessageA(pe.list, LVM_GETCOUNTPERPAGE, 0, 0);
    SetWindowPos(pe.list, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - 1,
                 SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(rowsShown - 1, SendMessageA(pe.list, LVM_GETCOUNTPERPAGE, 0, 0));

    StringPage ne;
    ASSERT_EQ(0, ne.Fill(FixturePath("ne-kinds.exe")));
    rows = ne.Read();
    ASSERT_EQ((std::vector<unsigned>{1, 2, 4, 15, 16, 17, 18, 1008, 1023}), Ids(rows));
    EXPECT_EQ("One", rows[0].second);
    EXPECT_EQ(Letters(200, 'a'), rows[5].second);
    EXPECT_EQ("Block 64 last", rows[8].second);
}

TEST(StringList, NeBlocksInAnyOrderEndSortedAndOnlyBlocks1To4096Count) {
    std::vector<NeTestType> types = {{NeId(6),
                                      {{NeId(3), NeBlock({"", "Thirty-three"})},
                                       {NeId(4097), NeBlock({"would wrap to 0"})},
                                       {NeText("1"), NeBlock({"text name"})},
                                       {NeId(1), NeBlock({"", "", "\x83\x65\x83\x58\x83\x67"})},
                                       {NeId(4096), NeBlock({"", "", "", "", "", "", "", "", "", "",
                                                             "", "", "", "", "", "Last"})}}}};
    StringPage page;
    ASSERT_EQ(0, page.Fill(WriteTempFile(BuildNeImage(types, 1))));
    EXPECT_EQ((Rows{{2, "\x83\x65\x83\x58\x83\x67"}, {33, "Thirty-three"}, {65535, "Last"}}),
              page.Read());
}

TEST(StringListView, RowShowsIdAndTextEitherSideOfTheSeparator) {
    StringPage page;
    ASSERT_EQ(0, page.Fill(FixturePath("ne-kinds.exe")));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ original = SelectObject(dc, bitmap);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTVIEW;
    item.CtlID = 1007;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = page.list;
    item.hDC = dc;
    item.rcItem = RECT{0, 0, 300, 20};
    DrawStringRow(page.dialog, &item);

    const int x = page.ColumnWidth(0);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(kGrey, GetPixel(dc, x - 1, 10));
    EXPECT_TRUE(Inked(dc, 0, x - 4, 20, window));  // "1"
    EXPECT_FALSE(Inked(dc, x - 4, x - 1, 20, window));
    EXPECT_FALSE(Inked(dc, x, x + 4, 20, window));
    EXPECT_TRUE(Inked(dc, x + 4, 300, 20, window));  // "One"
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));

    // A row index the list does not have draws nothing.
    PatBlt(dc, 0, 0, 300, 20, BLACKNESS);
    item.itemID = static_cast<UINT>(page.Read().size());
    DrawStringRow(page.dialog, &item);
    EXPECT_FALSE(Inked(dc, 0, 300, 20, RGB(0, 0, 0)));
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(StringListView, EmptyAreaContinuesTheSeparatorAndTheHeaderIgnoresTheLeftButton) {
    StringPage page;
    ASSERT_EQ(0, page.Fill(FixturePath("pe-resources.dll")));
    ASSERT_NE(nullptr, page.page->stringHeader);
    ASSERT_TRUE(HookControl(page.list, StringListHook));
    RECT client, header;
    GetClientRect(page.list, &client);
    GetWindowRect(page.page->stringHeader, &header);
    MapWindowPoints(nullptr, page.list, reinterpret_cast<POINT*>(&header), 2);
    // Scrolled sideways, the line moves with the column boundary.
    SendMessageA(page.list, LVM_SCROLL, 30, 0);
    const int x = page.ColumnWidth(0) - GetScrollPos(page.list, SB_HORZ) - 1;
    ASSERT_GT(GetScrollPos(page.list, SB_HORZ), 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ original = SelectObject(dc, bitmap);
    SendMessageA(page.list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(kGrey, GetPixel(dc, x, client.bottom - 1));
    EXPECT_EQ(kGrey, GetPixel(dc, x, header.bottom));
    EXPECT_NE(kGrey, GetPixel(dc, x + 1, client.bottom - 1));
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);

    // A drag on the column divider resizes nothing.
    ASSERT_TRUE(HookControl(page.page->stringHeader, HeaderHook));
    const int width = page.ColumnWidth(0);
    SendMessageA(page.page->stringHeader, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(width, 5));
    SendMessageA(page.page->stringHeader, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(width + 40, 5));
    SendMessageA(page.page->stringHeader, WM_LBUTTONUP, 0, MAKELPARAM(width + 40, 5));
    EXPECT_EQ(width, page.ColumnWidth(0));
    UnhookControl(page.page->stringHeader);
    UnhookControl(page.list);
}

}  // namespace
