// The save command through the real page and the platform's save dialog,
// answered from a second thread as a user would answer it: each kind's file
// read back by the platform, the target refused, and a failed write that
// leaves no file and keeps the old one.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/ModuleState.h"
#include "formats/LittleEndian.h"
#include "media/FileSave.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

const int kFileNameField = 0x47C;

// What the answering thread did: named the file in the save dialog, and
// closed every box that came after it (confirming a replacement), noting
// their texts.
struct DialogAnswer {
    std::string path;
    volatile bool answered;
    volatile bool done;
    std::vector<std::string> boxes;
};

BOOL CALLBACK AnswerWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char windowClass[16] = {};
    GetClassNameA(window, windowClass, sizeof(windowClass));
    if (process != GetCurrentProcessId() || lstrcmpA(windowClass, "#32770") != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    auto* answer = reinterpret_cast<DialogAnswer*>(data);
    if (GetDlgItem(window, kFileNameField) != nullptr) {
        if (!answer->answered) {
            SetDlgItemTextA(window, kFileNameField, answer->path.c_str());
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            answer->answered = true;
        }
        return FALSE;
    }
    // A message box's text is its control 0xFFFF; the sheet has none.
    if (GetDlgItem(window, 0xFFFF) == nullptr)
        return TRUE;
    char text[512] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
    answer->boxes.push_back(text);
    // Yes to a replacement; a box with OK alone closes with it as well.
    PostMessageA(window, WM_COMMAND, IDYES, 0);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

DWORD WINAPI AnswerDialogs(void* data) {
    auto* answer = static_cast<DialogAnswer*>(data);
    while (!answer->done) {
        Sleep(50);
        EnumWindows(AnswerWindow, reinterpret_cast<LPARAM>(answer));
    }
    return 0;
}

// Presses Ctrl+S in list and names path in the dialog that comes; what the
// answering thread saw.
DialogAnswer SaveAs(HWND list, const std::string& path) {
    DialogAnswer answer;
    answer.path = path;
    answer.answered = false;
    answer.done = false;
    HANDLE thread = CreateThread(nullptr, 0, AnswerDialogs, &answer, 0, nullptr);
    SendMessageA(list, WM_CHAR, 19, 0);
    answer.done = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return answer;
}

// A path in the save folder that no earlier run left a file at.
std::string Fresh(const std::string& path) {
    DeleteFileA(path.c_str());
    return path;
}

bool Saved(const DialogAnswer& answer) {
    return answer.answered && answer.boxes.empty();
}

std::string SaveFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "vantrel-save\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

// Temporary files the save left in folder.
int LeftOverTemporaries(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "vtl*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

std::vector<uint8_t> Resource(const std::string& path, LPCSTR name, LPCSTR type) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(module, name, type);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    std::vector<uint8_t> bytes(data, data + SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

void Choose(HWND page, int kind, int listId, const char* shown) {
    ChooseKind(page, kind);
    for (int i = 0; i < ListCount(page, listId); ++i) {
        ChooseEntry(page, listId, i);
        if (ControlText(page, 1002) == shown)
            return;
    }
    ADD_FAILURE() << "no entry " << shown;
}

TEST(PageSave, EachKindIsWrittenAsTheTargetHoldsItAndReadsBack) {
    const std::string target = FixturePath("pe-resources.dll");
    const std::string folder = SaveFolder();
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(target, &open));
    HWND page = open.page;

    // Icon group 2: 16, 32 and 48 pixels at 4 bits.
    Choose(page, 0, 1004, "2");
    const std::string icon = Fresh(folder + "group.ico");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1004), icon)));
    std::vector<uint8_t> file = ReadWholeFile(icon);
    ASSERT_GE(file.size(), 6u + 3 * 16);
    EXPECT_EQ(1, PeekU16(&file[2]));
    EXPECT_EQ(3, PeekU16(&file[4]));
    for (int size : {16, 32, 48}) {
        HANDLE image = LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE);
        EXPECT_NE(nullptr, image) << size;
        DestroyIcon(static_cast<HICON>(image));
    }

    // Cursor group POINTER: 32 x 32 with its hot spot at 16,16, then 16 x 16
    // at 0,15; the file gives the real heights.
    Choose(page, 2, 1006, "\"POINTER\"");
    const std::string cursor = Fresh(folder + "pointer.cur");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1006), cursor)));
    file = ReadWholeFile(cursor);
    ASSERT_GE(file.size(), 6u + 2 * 16);
    EXPECT_EQ(2, PeekU16(&file[2]));
    EXPECT_EQ(32, file[6 + 1]);
    EXPECT_EQ(16, PeekU16(&file[6 + 4]));
    EXPECT_EQ(16, PeekU16(&file[6 + 6]));
    EXPECT_EQ(16, file[22 + 1]);
    EXPECT_EQ(15, PeekU16(&file[22 + 6]));
    HANDLE loaded = LoadImageA(nullptr, cursor.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(nullptr, loaded);
    DestroyCursor(static_cast<HCURSOR>(loaded));

    // One member of the member list alone.
    ChooseEntry(page, 1010, 0);
    const std::string member = Fresh(folder + "member.cur");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1010), member)));
    file = ReadWholeFile(member);
    ASSERT_GE(file.size(), 6u + 16);
    EXPECT_EQ(1, PeekU16(&file[4]));

    // Bitmap 113: the file header, then the resource unchanged.
    Choose(page, 1, 1005, "113");
    const std::string bitmap = Fresh(folder + "bitmap.bmp");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1005), bitmap)));
    const std::vector<uint8_t> stored = Resource(target, MAKEINTRESOURCEA(113), RT_BITMAP);
    file = ReadWholeFile(bitmap);
    ASSERT_EQ(14 + stored.size(), file.size());
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), file.begin() + 14));
    HANDLE picture = LoadImageA(nullptr, bitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    BITMAP shape = {};
    EXPECT_NE(0, GetObjectA(picture, sizeof(shape), &shape));
    EXPECT_EQ(static_cast<LONG>(PeekU32(&stored[4])), shape.bmWidth);
    DeleteObject(picture);

    // Clip 150: its own bytes, which the multimedia device plays from the file.
    Choose(page, 4, 1008, "150");
    const std::string clip = Fresh(folder + "clip.avi");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1008), clip)));
    EXPECT_TRUE(ReadWholeFile(clip) == Resource(target, MAKEINTRESOURCEA(150), "AVI"));
    const std::string command = "open \"" + clip + "\" type avivideo alias saved";
    EXPECT_EQ(0u, mciSendStringA(command.c_str(), nullptr, 0, nullptr));
    mciSendStringA("close saved", nullptr, 0, nullptr);

    // String rows: UTF-16 after its mark, "id<TAB>text" with CR LF.
    ChooseKind(page, 3);
    HWND strings = GetDlgItem(page, 1007);
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = 1;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(strings, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageA(strings, LVM_SETITEMSTATE,
                 SendMessageA(strings, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(&find)),
                 reinterpret_cast<LPARAM>(&state));
    const std::string text = Fresh(folder + "strings.txt");
    ASSERT_TRUE(Saved(SaveAs(strings, text)));
    file = ReadWholeFile(text);
    const wchar_t expected[] =
        L"\xFEFF"
        L"1\tOne\r\n";
    ASSERT_EQ(sizeof(expected) - 2, file.size());
    EXPECT_EQ(0, memcmp(expected, file.data(), file.size()));
    EXPECT_EQ(0, LeftOverTemporaries(folder));
}

TEST(PageSave, TheTargetIsRefusedAndAFailedWriteKeepsTheOldFile) {
    const std::string folder = SaveFolder();
    const std::string target = folder + "target.dll";
    ASSERT_TRUE(CopyFileA(FixturePath("pe-resources.dll").c_str(), target.c_str(), FALSE));
    const std::vector<uint8_t> before = ReadWholeFile(target);
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(target, &open));
    Choose(open.page, 1, 1005, "113");
    // The same file under another spelling of its name.
    std::string other = target;
    for (char& c : other) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    DialogAnswer answer = SaveAs(GetDlgItem(open.page, 1005), other);
    EXPECT_TRUE(answer.answered);
    // The platform's question whether to replace it, then the refusal, once.
    ASSERT_EQ(2u, answer.boxes.size());
    EXPECT_NE(std::string::npos, answer.boxes[1].find("\x95\xdb\x91\xb6"));  // "保存"
    EXPECT_TRUE(ReadWholeFile(target) == before);
    EXPECT_EQ(S_OK, CloseResourcePage(&open));

    // A write that fails half-way leaves no file behind and the old one as it was.
    const std::string kept = folder + "kept.bin";
    ASSERT_EQ(0u, [&] {
        SavePath path = {};
        lstrcpynA(path.narrow, kept.c_str(), MAX_PATH);
        path.folderLength = static_cast<uint32_t>(folder.size());
        return SaveFileBytes(path, "old", 3);
    }());
    void* unreadable = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS);
    SavePath path = {};
    lstrcpynA(path.narrow, kept.c_str(), MAX_PATH);
    path.folderLength = static_cast<uint32_t>(folder.size());
    EXPECT_NE(0u, SaveFileBytes(path, unreadable, 65536));
    VirtualFree(unreadable, 0, MEM_RELEASE);
    EXPECT_TRUE(ReadWholeFile(kept) == std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_EQ(0, LeftOverTemporaries(folder));
}

// Wine's own shell32.dll: its first icon group, which the build's listing
// check then reads with icoutils beside wrestool's copy of the same group.
TEST(PageSave, TheFirstIconGroupOfTheShellLibrary) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(SystemFilePath("shell32.dll"), &open));
    ChooseKind(open.page, 0);
    ChooseEntry(open.page, 1004, 0);
    const std::string folder = WindowsPath(VANTREL_BUILD_DIR "/saved") + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(open.page, 1004), Fresh(folder + "shell32-first.ico"))));
    const std::string name = ControlText(open.page, 1002);
    const std::string named = folder + "shell32-first.name";
    HANDLE file = CreateFileA(named.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace
