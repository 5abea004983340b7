// Texts in their own letters: the message kind and the rows of a file whose
// resources come in three languages, through what the user gets (the rows'
// texts as a screen reader reads them, their pictures, the clipboard, the
// saved file). No font here has Hangul: a row's picture is compared with the
// expected text drawn in the list's font, never with letters.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/AccessibleClient.h"
#include "support/ClipboardContent.h"
#include "support/MessageBoxCapture.h"
#include "support/ResourcePage.h"
#include "support/SaveDialogAnswer.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

const int kMessageKind = 5;
const int kMessageList = 1014;

std::wstring RowText(HWND list, int row, int column) {
    wchar_t text[512] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

// A row's text as a narrow asker with room bytes gets it: always ended, whole
// characters of the system's code page, the count it gives its length.
std::string NarrowRowText(HWND list, int row, int room) {
    std::string text(static_cast<size_t>(room) + 8, 'Z');
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = &text[0];
    item.cchTextMax = room;
    const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(&item));
    const size_t end = text.find('\0');
    if (end >= static_cast<size_t>(room) || static_cast<size_t>(length) != end ||
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0) == 0)
        return "(cut wrongly)";
    return text.substr(0, end);
}

void SelectRows(HWND list, int first, int last) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    for (int row = first; row <= last; ++row)
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
}

// The 32-bit pixels of the text column of row as the list prints it, and of
// expected drawn there by TextOutW in the list's font over the window colour.
void RowPictures(HWND list, int row, const std::wstring& expected, std::vector<uint32_t>* shown,
                 std::vector<uint32_t>* drawn) {
    RECT client = {};
    GetClientRect(list, &client);
    // The text column's box, right of the line the string list draws at the
    // ID column's boundary.
    RECT rowRect = {LVIR_BOUNDS, 1, 0, 0};
    SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&rowRect));
    const int x = rowRect.left + 3;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    for (std::vector<uint32_t>* out : {shown, drawn}) {
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        if (out == shown) {
            SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        } else {
            RECT r = {x, rowRect.top, client.right, rowRect.bottom};
            FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            TextOutW(dc, x + 1, rowRect.top + 1, expected.c_str(),
                     static_cast<int>(expected.size()));
        }
        out->clear();
        for (int y = rowRect.top; y < rowRect.bottom; ++y) {
            const uint32_t* line = static_cast<const uint32_t*>(bits) + y * client.right;
            out->insert(out->end(), line + x, line + client.right);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
}

// Whether the pictures are the same but for a shift of at most slack pixels
// (where a row's box starts differs between the list's versions).
bool SameWithin(const std::vector<uint32_t>& shown, const std::vector<uint32_t>& drawn, int slack) {
    for (int shift = -slack; shift <= slack; ++shift) {
        bool same = shown.size() == drawn.size();
        for (size_t i = slack; same && i + slack < shown.size(); ++i)
            same = shown[i] == drawn[i + shift];
        if (same)
            return true;
    }
    return false;
}

std::wstring Utf16(const std::vector<uint8_t>& bytes, size_t skip) {
    std::wstring text;
    for (size_t i = skip; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    return text.substr(0, text.find(L'\0'));
}

struct Row {
    const wchar_t* id;
    std::wstring text;  // as the file holds it, a message with its closing break
};

std::wstring WithoutClosingBreak(std::wstring text) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    return text;
}

// A row's text as drawn: a break or a tab inside as "\n" or "\t".
std::wstring Drawn(const std::wstring& shown) {
    std::wstring text;
    for (wchar_t c : shown)
        text += c == L'\n' ? L"\\n" : c == L'\t' ? L"\\t" : std::wstring(1, c);
    return text;
}

// Each row's ID and text as a screen reader reads them, its picture, and the
// whole list copied (each row ending with one line break) and saved as
// UTF-16 ("ID<TAB>text" rows).
void ExpectRows(HWND page, int kind, int listId, const std::vector<Row>& rows) {
    ChooseKind(page, kind);
    HWND list = GetDlgItem(page, listId);
    ASSERT_TRUE(IsWindowVisible(list));
    ASSERT_EQ(static_cast<LRESULT>(rows.size()), SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    SelectRows(list, 0, -1);
    std::wstring copied, saved;
    for (size_t row = 0; row < rows.size(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(rows[row].id, RowText(list, static_cast<int>(row), 0));
        const std::wstring shown = WithoutClosingBreak(rows[row].text);
        EXPECT_EQ(shown, RowText(list, static_cast<int>(row), 1));
        char narrow[512] = "";
        WideCharToMultiByte(CP_ACP, 0, shown.c_str(), -1, narrow, 512, nullptr, nullptr);
        EXPECT_EQ(narrow, NarrowRowText(list, static_cast<int>(row), 512));
        EXPECT_EQ(0u, std::string(narrow).find(NarrowRowText(list, static_cast<int>(row), 6)));
        std::vector<uint32_t> printed, drawn;
        RowPictures(list, static_cast<int>(row), Drawn(shown), &printed, &drawn);
        EXPECT_TRUE(SameWithin(printed, drawn, 4));
        const std::wstring line = rows[row].text + (rows[row].text.back() == L'\n' ? L"" : L"\r\n");
        copied += line;
        saved += std::wstring(rows[row].id) + L"\t" + line;
    }
    SeedClipboard();
    SelectRows(list, 0, static_cast<int>(rows.size()) - 1);
    SendMessageA(list, WM_CHAR, 3, 0);
    EXPECT_EQ(copied, Utf16(ClipboardBytes(CF_UNICODETEXT), 0));
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "vantrel-rows.txt";
    DeleteFileA(path.c_str());
    const DialogAnswer answer = SaveAs(list, path);
    ASSERT_TRUE(answer.answered);
    const std::vector<uint8_t> file = ReadWholeFile(path);
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(0xFF, file[0]);
    EXPECT_EQ(0xFE, file[1]);
    EXPECT_EQ(saved, Utf16(file, 2));
}

}  // namespace

// In the platform's choice, string block 1 and message table 1 are Japanese
// here, the rest Korean only: each message decoded in its own table's code
// page (UTF-8, 949), the messages listed last.
TEST(PageLanguages, RowsOfThePlatformsChoiceInTheirOwnLetters) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-languages.dll"), &open));
    HWND kinds = GetDlgItem(open.page, 1000);
    ASSERT_EQ(6, SendMessageA(kinds, CB_GETCOUNT, 0, 0));
    char name[32] = "";
    SendMessageA(kinds, CB_GETLBTEXT, kMessageKind, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ("メッセージ", name);
    ExpectRows(open.page, 3, 1007,
               {{L"1", L"\x3053\x3093\x306B\x3061\x306F"}, {L"16", L"\xD55C\xAD6D\xC5B4"}});
    ExpectRows(open.page, kMessageKind, kMessageList,
               {{L"1", L"\x30A2\x30AF\x30BB\x30B9\x62D2\x5426\r\n"},
                {L"100", L"\xC811\xADFC \xAC70\xBD80\r\n"},
                {L"101", L"\xCCAB \xC904\n\xB458\xC9F8 \xC904\n"}});
    // Typing finds a message by its ID as shown.
    LVFINDINFOA typed = {};
    typed.flags = LVFI_PARTIAL | LVFI_STRING;
    typed.psz = "10";
    EXPECT_EQ(1, SendDlgItemMessageA(open.page, kMessageList, LVM_FINDITEMA,
                                     static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&typed)));
}

std::string ItemText(HWND page, int item) {
    char text[256] = "";
    SendDlgItemMessageA(page, 1016, CB_GETLBTEXT, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

// The drop-down's item for a language as it reads when opened in kind.
std::string CountedItem(HWND page, int kind, int item) {
    ChooseKind(page, kind);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1016, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1016)));
    return ItemText(page, item);
}

void ChooseLanguage(HWND page, int item) {
    HWND dropDown = GetDlgItem(page, 1016);
    SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1016, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dropDown));
}

std::vector<uint8_t> Resource(HMODULE module, LPCSTR type, int id, uint16_t language) {
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return data != nullptr ? std::vector<uint8_t>(data, data + SizeofResource(module, found))
                           : std::vector<uint8_t>();
}

// The colour of pixel (x, y) of a bottom-up DIB of 8 or 32 bits a pixel
// (an icon image's header counts its mask's rows too: height gives them).
uint32_t PixelOf(const std::vector<uint8_t>& dib, int x, int y, int height) {
    const int bits = dib[14];
    const int width = dib[4] | dib[5] << 8;
    const size_t colours = bits == 8 ? (dib[32] | dib[33] << 8 ? dib[32] | dib[33] << 8 : 256) : 0;
    const size_t at = 40 + colours * 4 + ((width * bits + 31) / 32) * 4 * (height - 1 - y);
    const uint8_t* p = bits == 8 ? &dib[40 + 4 * dib[at + x]] : &dib[at + 4 * x];
    return static_cast<uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

// Whether the list, as it prints itself, shows the icon image at its own
// size somewhere in entry's box: drawn over that place again, the icon
// changes none of its opaque pixels there.
bool ShowsIcon(HWND list, int entry, std::vector<uint8_t> image) {
    RECT box = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&box));
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                          0x00030000, 32, 32, 0);
    HDC printed = CreateCompatibleDC(nullptr);
    HDC again = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP whole = CreateCompatibleBitmap(screen, box.right, box.bottom);
    HBITMAP part = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldWhole = SelectObject(printed, whole);
    HGDIOBJ oldPart = SelectObject(again, part);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed), PRF_CLIENT);
    bool shown = false;
    for (int y = box.top; !shown && y + 32 <= box.bottom; ++y) {
        for (int x = box.left; !shown && x + 32 <= box.right; ++x) {
            BitBlt(again, 0, 0, 32, 32, printed, x, y, SRCCOPY);
            DrawIconEx(again, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
            shown = true;
            // Its top-left quarter is clear: the colour bits invert what is there.
            for (int i = 0; shown && i < 32 * 32; ++i)
                shown =
                    (i % 32 < 16 && i / 32 < 16) ||
                    GetPixel(again, i % 32, i / 32) == GetPixel(printed, x + i % 32, y + i / 32);
        }
    }
    SelectObject(printed, oldWhole);
    SelectObject(again, oldPart);
    DeleteObject(whole);
    DeleteObject(part);
    DeleteDC(printed);
    DeleteDC(again);
    DestroyIcon(icon);
    return shown;
}

// A screen reader's objects are handed over in an apartment, as the shell's
// sheet threads have one.
struct Apartment {
    Apartment() { CoInitialize(nullptr); }
    ~Apartment() { CoUninitialize(); }
};

struct LanguageView {
    uint16_t language;
    uint32_t strings;  // entries, as the drop-down counts them
    uint32_t messages;
    std::vector<Row> stringRows;
    std::vector<Row> messageRows;
};

// Each language: its name and counts, then in every kind only its own
// entries, its icon group saved with that language's image.
TEST(PageLanguages, EachLanguageListsItsOwnEntriesInEveryKind) {
    const std::string path = FixturePath("pe-languages.dll");
    const LanguageView views[] = {
        {0x0409,
         2,
         3,
         {{L"1", L"Hello"}, {L"2", L"Two\nlines"}},
         {{L"1", L"Access denied.\r\n"},
          {L"2", L"Line one\nline two\n"},
          {L"0x80070005", L"Text\twith %1 inserts\n"}}},
        {0x0411,
         1,
         1,
         {{L"1", L"\x3053\x3093\x306B\x3061\x306F"}},
         {{L"1", L"\x30A2\x30AF\x30BB\x30B9\x62D2\x5426\r\n"}}},
        {0x0412,
         3,
         3,
         {{L"1", L"\xC548\xB155\xD558\xC138\xC694"},
          {L"2", L"\xCCAB \xC904\n\xB458\xC9F8 \xC904"},
          {L"16", L"\xD55C\xAD6D\xC5B4"}},
         {{L"1", L"\xC811\xADFC \xAC70\xBD80\r\n"},
          {L"100", L"\xC811\xADFC \xAC70\xBD80\r\n"},
          {L"101", L"\xCCAB \xC904\n\xB458\xC9F8 \xC904\n"}}},
    };
    Apartment apartment;
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ASSERT_TRUE(ControlShown(open.page, 1015));
    ASSERT_TRUE(ControlShown(open.page, 1016));
    // From the opening on, the first entry's language (the platform's pick,
    // here the Japanese icon group) is named after its ID.
    char japanese[128] = "";
    GetLocaleInfoA(MAKELCID(0x0411, SORT_DEFAULT), LOCALE_SLANGUAGE, japanese, 128);
    {
        Held opening = {AskFor(GetDlgItem(open.page, 1002))};
        ASSERT_NE(nullptr, opening.object);
        EXPECT_EQ("1 (" + std::string(japanese) + ")", NameOf(opening.object, CHILDID_SELF));
    }
    // A screen reader that reads the drop-down's list window, found through
    // the drop-down, hears every language.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(GetDlgItem(open.page, 1016), &info));
    EXPECT_EQ(4, SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0));
    // The keyboard reaches the languages, whose names the page makes only
    // when the drop-down is first used: Down chooses the first of them.
    SetFocus(GetDlgItem(open.page, 1016));
    SendDlgItemMessageA(open.page, 1016, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(1, SendDlgItemMessageA(open.page, 1016, CB_GETCURSEL, 0, 0));
    ASSERT_EQ(4, SendDlgItemMessageA(open.page, 1016, CB_GETCOUNT, 0, 0));
    EXPECT_EQ("既定", ItemText(open.page, 0));
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    for (int i = 0; i < 3; ++i) {
        const LanguageView& view = views[i];
        SCOPED_TRACE(view.language);
        char name[128] = "";
        GetLocaleInfoA(MAKELCID(view.language, SORT_DEFAULT), LOCALE_SLANGUAGE, name, 128);
        EXPECT_EQ(std::string(name) + " (" + std::to_string(view.strings) + ")",
                  CountedItem(open.page, 3, i + 1));
        EXPECT_EQ(std::string(name) + " (" + std::to_string(view.messages) + ")",
                  CountedItem(open.page, kMessageKind, i + 1));
        ChooseLanguage(open.page, i + 1);
        ExpectRows(open.page, 3, 1007, view.stringRows);
        ExpectRows(open.page, kMessageKind, kMessageList, view.messageRows);
        ChooseKind(open.page, 0);
        // A screen reader hears the entry's language after its name.
        Held display = {AskFor(GetDlgItem(open.page, 1002))};
        ASSERT_NE(nullptr, display.object);
        EXPECT_EQ("1 (" + std::string(name) + ")", NameOf(display.object, CHILDID_SELF));
        EXPECT_EQ("1", ControlText(open.page, 1002));
        const std::string icon = std::string(folder) + "vantrel-language.ico";
        DeleteFileA(icon.c_str());
        const DialogAnswer answer = SaveAs(GetDlgItem(open.page, 1004), icon);
        ASSERT_TRUE(answer.answered);
        const std::vector<uint8_t> group = Resource(module, RT_GROUP_ICON, 1, view.language);
        ASSERT_EQ(20u, group.size());
        const std::vector<uint8_t> file = ReadWholeFile(icon);
        const std::vector<uint8_t> image =
            Resource(module, RT_ICON, group[18] | group[19] << 8, view.language);
        ASSERT_EQ(22 + image.size(), file.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin() + 22));
        // The language's own picture, and its copy over white where opaque.
        EXPECT_TRUE(ShowsIcon(GetDlgItem(open.page, 1004), 0, image));
        SeedClipboard();
        SendMessageA(open.page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(open.page, 1013)));
        const std::vector<uint8_t> copy = ClipboardBytes(CF_DIB);
        ASSERT_GE(copy.size(), 40u + 32 * 32 * 4);
        ASSERT_EQ(32, copy[14]);
        for (const POINT at : {POINT{0, 31}, POINT{20, 16}, POINT{31, 0}})
            EXPECT_EQ(PixelOf(image, at.x, at.y, 32), PixelOf(copy, at.x, at.y, 32));
    }
    FreeLibrary(module);
    // Back to the platform's choice.
    ChooseLanguage(open.page, 0);
    ExpectRows(open.page, 3, 1007,
               {{L"1", L"\x3053\x3093\x306B\x3061\x306F"}, {L"16", L"\xD55C\xAD6D\xC5B4"}});
    // The platform's pick named: here the Japanese icon group.
    ChooseKind(open.page, 0);
    Held display = {AskFor(GetDlgItem(open.page, 1002))};
    ASSERT_NE(nullptr, display.object);
    EXPECT_EQ("1 (" + std::string(japanese) + ")", NameOf(display.object, CHILDID_SELF));
}

// The file changed under the open page: a kept message row is not given from
// a copy that keeps size and time, and a file that no longer holds the chosen
// language shows the platform's choice, "既定" chosen.
TEST(PageLanguages, AChangedFileIsShownAsItIsNow) {
    const std::string path = WriteTempFile(ReadWholeFile(FixturePath("pe-languages.dll")));
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, kMessageKind);
    HWND list = GetDlgItem(open.page, kMessageList);
    ASSERT_EQ(L"\x30A2\x30AF\x30BB\x30B9\x62D2\x5426", RowText(list, 0, 1));
    // The message's first letter made another, and the image's time stamp
    // moved as a rebuild moves it.
    std::vector<uint8_t> bytes = ReadWholeFile(path);
    const uint8_t first[] = {0xE3, 0x82, 0xA2, 0xE3, 0x82, 0xAF};
    const auto at = std::search(bytes.begin(), bytes.end(), first, first + 6);
    ASSERT_NE(bytes.end(), at);
    at[2] = 0xA4;
    bytes[(bytes[0x3C] | bytes[0x3D] << 8) + 8] ^= 1;
    OverwriteKeepingWriteTime(path, bytes);
    Sleep(300);
    EXPECT_NE(L"\x30A2\x30AF\x30BB\x30B9\x62D2\x5426", RowText(list, 0, 1));
    PumpThreadMessages();
    EXPECT_EQ(L"\x30A4\x30AF\x30BB\x30B9\x62D2\x5426", RowText(list, 0, 1));

    ChooseLanguage(open.page, 3);
    ASSERT_TRUE(CopyFileA(FixturePath("message-tables.img").c_str(), path.c_str(), FALSE));
    for (int paint = 0; paint < 2; ++paint) {
        RedrawWindow(open.page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpThreadMessages();
    }
    EXPECT_EQ(0, SendDlgItemMessageA(open.page, 1016, CB_GETCURSEL, 0, 0));
    ChooseKind(open.page, kMessageKind);
    ASSERT_EQ(3, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"Access denied.", RowText(list, 0, 1));
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

// The drop-down on a file that is locked or replaced under it: a language
// chosen while it is locked changes nothing, rows included, and says so once;
// opened on a file with fewer languages, it lists that file's languages,
// never the old ones beside the new file's counts.
TEST(PageLanguages, TheDropDownFollowsALockedOrReplacedFile) {
    const std::string path = WriteTempFile(ReadWholeFile(FixturePath("pe-languages.dll")));
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseLanguage(open.page, 3);
    ChooseKind(open.page, kMessageKind);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const CapturedMessageBox box = CaptureMessageBox([&] { ChooseLanguage(open.page, 1); });
    CloseHandle(lock);
    EXPECT_EQ(1, box.count);
    EXPECT_EQ(3, SendDlgItemMessageA(open.page, 1016, CB_GETCURSEL, 0, 0));
    PumpThreadMessages();
    EXPECT_EQ(L"\xC811\xADFC \xAC70\xBD80", RowText(GetDlgItem(open.page, kMessageList), 1, 1));
    ASSERT_TRUE(CopyFileA(FixturePath("pe-resources.dll").c_str(), path.c_str(), FALSE));
    CountedItem(open.page, kMessageKind, 1);
    PumpThreadMessages();
    EXPECT_EQ(3, SendDlgItemMessageA(open.page, 1016, CB_GETCOUNT, 0, 0));
    CloseResourcePage(&open);
    DeleteFileA(path.c_str());
}

// String id as the file stores it in language, read here from its block.
std::wstring StoredString(HMODULE module, int id, uint16_t language) {
    const std::vector<uint8_t> block = Resource(module, RT_STRING, id / 16 + 1, language);
    size_t at = 0;
    for (int slot = 0; at + 2 <= block.size(); ++slot) {
        const size_t length = block[at] | block[at + 1] << 8;
        if (slot == id % 16 && at + 2 + 2 * length <= block.size())
            return Utf16(
                std::vector<uint8_t>(block.begin() + at + 2, block.begin() + at + 2 + 2 * length),
                0);
        at += 2 + 2 * length;
    }
    return L"";
}

// Wine's shell library: English, Korean and Russian rows as the file holds
// them, whichever number each language has there.
TEST(PageLanguages, TheShellLibrarysStringsInEachLanguage) {
    const std::string path = SystemFilePath("shell32.dll");
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND dropDown = GetDlgItem(open.page, 1016);
    const uint16_t candidates[][2] = {{0x0409, 0x0009}, {0x0412, 0x0012}, {0x0419, 0x0019}};
    for (const auto& numbers : candidates) {
        int item = -1;
        uint16_t language = 0;
        for (int i = 1; item < 0 && i < SendMessageA(dropDown, CB_GETCOUNT, 0, 0); ++i) {
            const LRESULT data = SendMessageA(dropDown, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
            for (uint16_t number : numbers) {
                if (data == (0x10000 | number))
                    item = i, language = number;
            }
        }
        SCOPED_TRACE(numbers[0]);
        ASSERT_GT(item, 0);
        ChooseLanguage(open.page, item);
        ChooseKind(open.page, 3);
        HWND list = GetDlgItem(open.page, 1007);
        ASSERT_GT(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
        for (int row = 0; row < 3; ++row) {
            const int id = std::stoi(RowText(list, row, 0));
            EXPECT_EQ(StoredString(module, id, language), RowText(list, row, 1)) << id;
        }
    }
    FreeLibrary(module);
}

// Wine's system messages as its own message function gives them.
TEST(PageLanguages, SystemMessagesReadAsFormatMessageGivesThem) {
    ResourcePage open;
    PageCloser closer{&open};
    const std::string path = SystemFilePath("kernelbase.dll");
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, kMessageKind);
    HWND list = GetDlgItem(open.page, kMessageList);
    LVFINDINFOA typed = {};
    typed.flags = LVFI_STRING;
    typed.psz = "5";
    const int row = static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&typed)));
    ASSERT_GE(row, 0);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t expected[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, 5, 0,
                   expected, 512, nullptr);
    FreeLibrary(module);
    std::wstring text = expected;
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text, RowText(list, row, 1));
}

// Languages whose table is one data entry are each counted; the count reads
// no more than twice the file, so the language whose table lies past that
// (a longer reading of the same bytes) counts nothing, its rows all the same
// listed when chosen.
TEST(PageLanguages, SharedTablesAreCountedWithinTwiceTheFile) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("message-overlap.img"), &open));
    const uint16_t languages[] = {0x0409, 0x040C, 0x0411, 0x0412};
    const int counts[] = {1000, 1000, 1000, 0};
    for (int i = 0; i < 4; ++i) {
        char name[128] = "";
        GetLocaleInfoA(MAKELCID(languages[i], SORT_DEFAULT), LOCALE_SLANGUAGE, name, 128);
        EXPECT_EQ(std::string(name) + " (" + std::to_string(counts[i]) + ")",
                  CountedItem(open.page, kMessageKind, i + 1));
    }
    ChooseLanguage(open.page, 4);
    ChooseKind(open.page, kMessageKind);
    HWND list = GetDlgItem(open.page, kMessageList);
    ASSERT_EQ(1000, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(L"Message 1000", RowText(list, 999, 1));
}

// Thousands of tables that are all one: the list stops before the table that
// would take it past a million rows, or once 64 MB of tables are read, rather
// than holding the shell while it lists each.
TEST(PageLanguages, ManyNamesOfOneTableAreListedWithinBounds) {
    const struct {
        const char* file;
        int rows;
        const wchar_t* last;
    } files[] = {{"message-names-rows.img", 1048 * 1000, L"Message 1000"},
                 {"message-names-bytes.img", (64 << 20) / (96 * 1024), L"One"}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.file);
        ResourcePage open;
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(FixturePath(file.file), &open));
        ChooseKind(open.page, kMessageKind);
        HWND list = GetDlgItem(open.page, kMessageList);
        ASSERT_EQ(file.rows, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(file.last, RowText(list, file.rows - 1, 1));
    }
}
