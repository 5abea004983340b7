// The entries' pictures on the real page: made when an entry is first drawn
// and kept for later paints, never more alive than the page's limit however
// many entries the user scrolls through, the one drawn longest ago freed for
// room and made again when its entry comes back, and all gone with the page;
// and the clip facts that the list now reads from the clips' own headers,
// against the multimedia device.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/ResourceKinds.h"
#include "formats/clips/ClipHeaders.h"
#include "formats/executables/ResourceRecords.h"
#include "page/state/PageState.h"
#include "page/state/PageStores.h"
#include "support/ResourcePage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

// Under Wine a handle's low word names its slot; every live GDI object answers.
int LiveGdiObjects() {
    int count = 0;
    for (uintptr_t slot = 1; slot <= 0xFFFF; ++slot)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return count;
}

uint8_t* RecordAt(HWND page, int index) {
    PictureStore store;
    PictureStoreOfPage(FindPageState(page), kKindIcon, &store);
    return RecordOfItem(store, static_cast<uintptr_t>(SendDlgItemMessageA(
                                   page, 1004, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
}

int MadePictures(HWND page) {
    int made = 0;
    for (int i = 0; i < ListCount(page, 1004); ++i)
        made += PictureMade(ReadPictureField(RecordAt(page, i)));
    return made;
}

void ShowFrom(HWND list, int index) {
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    UpdateWindow(list);
}

TEST(LivePictures, MadeOnFirstSightKeptBoundedAndMadeAgain) {
    ResourcePage open;
    PageCloser closer{&open};
    // The first sheet of the process leaves the platform's own caches behind.
    ASSERT_TRUE(OpenResourcePage(FixturePath("icons-1000.dll"), &open));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
    const int withoutPage = LiveGdiObjects();
    ASSERT_TRUE(OpenResourcePage(FixturePath("icons-1000.dll"), &open));
    HWND list = GetDlgItem(open.page, 1004);
    ShowFrom(list, 0);
    const int before = LiveGdiObjects();
    const uintptr_t first = ReadPictureField(RecordAt(open.page, 0));
    ASSERT_TRUE(PictureMade(first));
    EXPECT_EQ(0u, ReadPictureField(RecordAt(open.page, 999)));
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(first, ReadPictureField(RecordAt(open.page, 0)));

    // The repaint drew entries 0, 1... from the top. Once the room is full,
    // entry 0 drawn again outlives entry 1 when one more is made.
    int next = 999;
    while (FindPageState(open.page)->livePictureCount < kMaxLivePictures)
        DrawnPicture(open.page, kKindIcon, RecordAt(open.page, next--));
    DrawnPicture(open.page, kKindIcon, RecordAt(open.page, 0));
    EXPECT_TRUE(PictureMade(DrawnPicture(open.page, kKindIcon, RecordAt(open.page, next))));
    EXPECT_EQ(first, ReadPictureField(RecordAt(open.page, 0)));
    EXPECT_EQ(0u, ReadPictureField(RecordAt(open.page, 1)));

    int most = 0;
    for (int i = 0; i < 1000; i += 4) {
        ShowFrom(list, i);
        const int made = MadePictures(open.page);
        most = made > most ? made : most;
    }
    EXPECT_EQ(kMaxLivePictures, most);
    EXPECT_LE(FindPageState(open.page)->livePictureCount, kMaxLivePictures);
    // Each icon holds two bitmaps.
    EXPECT_LE(LiveGdiObjects(), before + 2 * kMaxLivePictures);
    EXPECT_EQ(0u, ReadPictureField(RecordAt(open.page, 0)));
    ShowFrom(list, 0);
    EXPECT_TRUE(PictureMade(ReadPictureField(RecordAt(open.page, 0))));

    EXPECT_EQ(S_OK, CloseResourcePage(&open));
    EXPECT_LE(LiveGdiObjects(), withoutPage);
}

struct DeviceFacts {
    uint32_t width;
    uint32_t height;
    uint32_t hundredths;
};

DeviceFacts AskDevice(const std::string& path) {
    DeviceFacts facts = {};
    char answer[64] = {};
    const std::string open = "open \"" + path + "\" type avivideo alias clip";
    if (mciSendStringA(open.c_str(), nullptr, 0, nullptr) != 0)
        return facts;
    mciSendStringA("set clip time format ms", nullptr, 0, nullptr);
    if (mciSendStringA("status clip length", answer, sizeof(answer), nullptr) == 0)
        facts.hundredths = static_cast<uint32_t>(std::stoul(answer)) / 10;
    int left = 0, top = 0, width = 0, height = 0;
    if (mciSendStringA("where clip source", answer, sizeof(answer), nullptr) == 0 &&
        std::sscanf(answer, "%d %d %d %d", &left, &top, &width, &height) == 4) {
        facts.width = static_cast<uint32_t>(width);
        facts.height = static_cast<uint32_t>(height);
    }
    mciSendStringA("close clip", nullptr, 0, nullptr);
    return facts;
}

BOOL CALLBACK CollectClip(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR clips) {
    HRSRC found = FindResourceA(module, name, type);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    reinterpret_cast<std::vector<std::vector<uint8_t>>*>(clips)->emplace_back(
        data, data + SizeofResource(module, found));
    return TRUE;
}

TEST(LivePictures, ClipHeadersGiveTheDevicesFacts) {
    std::vector<std::vector<uint8_t>> clips;
    for (const char* file : {"clip-av.avi", "clip-video32.avi", "clip-video24.avi"})
        clips.push_back(ReadWholeFile(FixturePath(file)));
    HMODULE shell =
        LoadLibraryExA(SystemFilePath("shell32.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, shell);
    EnumResourceNamesA(shell, "AVI", CollectClip, reinterpret_cast<LONG_PTR>(&clips));
    FreeLibrary(shell);
    ASSERT_EQ(3u + 7u, clips.size());
    for (size_t i = 0; i < clips.size(); ++i) {
        SCOPED_TRACE(i);
        ClipFacts headers = {};
        ASSERT_TRUE(ReadClipFacts(clips[i].data(), clips[i].size(), &headers));
        const std::string path = WriteTempFile(clips[i]);
        const DeviceFacts device = AskDevice(path);
        DeleteFileA(path.c_str());
        EXPECT_EQ(device.width, headers.frameWidth);
        EXPECT_EQ(device.height, headers.frameHeight);
        EXPECT_EQ(device.hundredths, headers.hundredths);
        EXPECT_NE(0u, device.hundredths);
    }
}

}  // namespace
