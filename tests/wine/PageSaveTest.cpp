// The save command through the real page and the platform's save dialog,
// answered from a second thread as a user would answer it: each kind's file
// read back by the platform, the target refused, and a failed write that
// leaves no file and keeps the old one.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/ModuleState.h"
#include "formats/bytes/LittleEndian.h"
#include "media/FileSave.h"
#include "support/ResourcePage.h"
#include "support/SaveDialogAnswer.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

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

    // The member list's first member (the group's second entry) alone: its
    // own entry and image, not the group's first.
    const std::vector<uint8_t> group = file;
    const uint8_t* second = &group[6 + 16];
    ChooseEntry(page, 1010, 0);
    const std::string member = Fresh(folder + "member.cur");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1010), member)));
    file = ReadWholeFile(member);
    ASSERT_EQ(6u + 16 + PeekU32(second + 8), file.size());
    EXPECT_EQ(1, PeekU16(&file[4]));
    EXPECT_EQ(0, memcmp(second, &file[6], 12));
    EXPECT_EQ(0, memcmp(&group[PeekU32(second + 12)], &file[22], file.size() - 22));

    // Bitmap 113 over an older file: the file header, then the resource unchanged.
    Choose(page, 1, 1005, "113");
    const std::string bitmap = folder + "bitmap.bmp";
    {
        HANDLE older = CreateFileA(bitmap.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(older, "older", 5, &written, nullptr);
        CloseHandle(older);
    }
    DialogAnswer replaced = SaveAs(GetDlgItem(page, 1005), bitmap);
    ASSERT_TRUE(replaced.answered);
    EXPECT_EQ(1u, replaced.boxes.size());  // the platform's question alone
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

// A 16-bit file's table pads each resource to its alignment unit (16 bytes in
// ne-kinds.exe): the files hold the images alone, a cursor at its own height,
// as a 16-bit program's own .cur and .bmp files do.
TEST(PageSave, SixteenBitFilesGiveTheirImagesWithoutPadding) {
    const std::string folder = SaveFolder();
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-kinds.exe"), &open));
    HWND page = open.page;

    // "Pointer": 32 x 32 at 1 bit (hot spot 5,7), 16 x 16 at 1 bit (0,15).
    Choose(page, 2, 1006, "\"Pointer\"");
    const std::string cursor = Fresh(folder + "ne-pointer.cur");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1006), cursor)));
    std::vector<uint8_t> file = ReadWholeFile(cursor);
    const uint32_t images[] = {40 + 8 + 128 + 128, 40 + 8 + 64 + 64};
    ASSERT_EQ(6u + 2 * 16 + images[0] + images[1], file.size());
    const uint8_t sides[] = {32, 16};
    const uint16_t hotSpots[][2] = {{5, 7}, {0, 15}};
    for (int k = 0; k < 2; ++k) {
        const uint8_t* entry = &file[6 + 16 * k];
        EXPECT_EQ(sides[k], entry[0]) << k;
        EXPECT_EQ(sides[k], entry[1]) << k;
        EXPECT_EQ(hotSpots[k][0], PeekU16(entry + 4)) << k;
        EXPECT_EQ(hotSpots[k][1], PeekU16(entry + 6)) << k;
        EXPECT_EQ(images[k], PeekU32(entry + 8)) << k;
    }
    HANDLE loaded = LoadImageA(nullptr, cursor.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(nullptr, loaded);
    DestroyCursor(static_cast<HCURSOR>(loaded));

    // Bitmap 1: 24 x 16 at 8 bits, its header, 256 colours and rows alone.
    Choose(page, 1, 1005, "1");
    const std::string bitmap = Fresh(folder + "ne-bitmap.bmp");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1005), bitmap)));
    file = ReadWholeFile(bitmap);
    ASSERT_EQ(14u + 40 + 256 * 4 + 24 * 16, file.size());
    EXPECT_EQ(file.size(), PeekU32(&file[2]));
    EXPECT_EQ(14u + 40 + 256 * 4, PeekU32(&file[10]));

    // A clip ends where its RIFF form says.
    Choose(page, 4, 1008, "1");
    const std::string clip = Fresh(folder + "ne-clip.avi");
    ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1008), clip)));
    file = ReadWholeFile(clip);
    ASSERT_GE(file.size(), 12u);
    EXPECT_EQ(file.size(), 8 + PeekU32(&file[4]));
}

// What the page cannot draw is saved all the same, and a selection with
// nothing to save says so once instead of asking for a name.
TEST(PageSave, WhatCannotBeDrawnIsSavedAndNothingToSaveIsSaid) {
    const std::string folder = SaveFolder();
    const std::string target = folder + "gone.dll";
    ASSERT_TRUE(CopyFileA(FixturePath("pe-resources.dll").c_str(), target.c_str(), FALSE));
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(target, &open));
    HWND page = open.page;
    // 131: the rows cut short; 132: a header alone.
    for (const char* id : {"131", "132"}) {
        Choose(page, 1, 1005, id);
        const std::string bitmap = Fresh(folder + "undrawable.bmp");
        ASSERT_TRUE(Saved(SaveAs(GetDlgItem(page, 1005), bitmap))) << id;
        const std::vector<uint8_t> stored = Resource(target, MAKEINTRESOURCEA(atoi(id)), RT_BITMAP);
        const std::vector<uint8_t> file = ReadWholeFile(bitmap);
        ASSERT_EQ(14 + stored.size(), file.size()) << id;
        EXPECT_EQ(54u, PeekU32(&file[10])) << id;
        EXPECT_TRUE(std::equal(stored.begin(), stored.end(), file.begin() + 14)) << id;
    }
    // The target is gone by the time the user saves.
    const std::string moved = folder + "moved.dll";
    DeleteFileA(moved.c_str());
    ASSERT_TRUE(MoveFileA(target.c_str(), moved.c_str()));
    DialogAnswer answer = SaveAs(GetDlgItem(page, 1005), Fresh(folder + "never.bmp"));
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(1u, answer.boxes.size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "never.bmp").c_str()));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
    DeleteFileA(moved.c_str());
}

// The dialog starts in the target's folder with the target's name, however
// the name is spelled: a folder name whose second byte in the code page is a
// backslash, and a path longer in the code page than a narrow path can be.
TEST(PageSave, TheDialogStartsBesideTheTargetUnderItsName) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "vantrel-\x83\x5c";  // "ソ"
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string target = folder + "\\\x83\x5c\x83\x74\x83\x67.dll";  // "ソフト.dll"
    ASSERT_TRUE(CopyFileA(FixturePath("pe-resources.dll").c_str(), target.c_str(), FALSE));
    {
        ResourcePage open;
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(target, &open));
        Choose(open.page, 1, 1005, "113");
        DialogAnswer answer = SaveAs(GetDlgItem(open.page, 1005), Fresh(folder + "\\s.bmp"));
        EXPECT_TRUE(Saved(answer));
        wchar_t expected[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, expected, MAX_PATH);
        EXPECT_EQ(std::wstring(expected), answer.folder);
        EXPECT_EQ("\x83\x5c\x83\x74\x83\x67_113.bmp", answer.proposed);
    }
    DeleteFileA((folder + "\\s.bmp").c_str());
    DeleteFileA(target.c_str());
    RemoveDirectoryA(folder.c_str());

    // 85 + 80 characters of "日": 330 bytes in the code page, 170 in UTF-16.
    wchar_t wideTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, wideTemp);
    const std::wstring deep = std::wstring(wideTemp) + std::wstring(85, L'\x65E5');
    const std::wstring wideTarget = deep + L"\\" + std::wstring(80, L'\x65E5') + L".dll";
    CreateDirectoryW(deep.c_str(), nullptr);
    wchar_t source[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, FixturePath("pe-resources.dll").c_str(), -1, source, MAX_PATH);
    ASSERT_TRUE(CopyFileW(source, wideTarget.c_str(), FALSE));
    {
        ResourcePage open;
        PageCloser closer{&open};
        ASSERT_TRUE(OpenResourcePage(wideTarget, &open));
        Choose(open.page, 1, 1005, "113");
        DialogAnswer answer = SaveAs(GetDlgItem(open.page, 1005), Fresh(SaveFolder() + "deep.bmp"));
        EXPECT_TRUE(Saved(answer));
        std::string name;
        for (int i = 0; i < 80; ++i)
            name += "\x93\xfa";
        EXPECT_EQ(name + "_113.bmp", answer.proposed);
    }
    DeleteFileW(wideTarget.c_str());
    RemoveDirectoryW(deep.c_str());
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

    // A move that fails (a folder has the name) leaves no temporary file.
    CreateDirectoryA((folder + "taken").c_str(), nullptr);
    lstrcpynA(path.narrow, (folder + "taken").c_str(), MAX_PATH);
    EXPECT_NE(0u, SaveFileBytes(path, "new", 3));
    EXPECT_EQ(0, LeftOverTemporaries(folder));
    RemoveDirectoryA((folder + "taken").c_str());
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
