// Appending records to a real owner-drawn list without strings, and freeing
// every picture and image copy the records own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "catalogue/RecordStore.h"
#include "formats/executables/ResourceRecords.h"
#include "page/state/PageStores.h"

namespace {

// Busy blocks of the process heap, where global blocks live.
long BusyHeapBlocks() {
    HANDLE heap = GetProcessHeap();
    if (!HeapLock(heap))
        return -1;
    long busy = 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    }
    HeapUnlock(heap);
    return busy;
}

bool refuseItems = false;

LRESULT CALLBACK RefusingList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == LB_ADDSTRING && refuseItems)
        return LB_ERRSPACE;
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

class RecordStore : public ::testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        list = CreateWindowExA(0, "LISTBOX", nullptr, WS_CHILD | LBS_OWNERDRAWFIXED, 0, 0, 400, 100,
                               parent, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, list);
        LONG_PTR previous =
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingList));
        SetWindowLongPtrA(list, GWLP_USERDATA, previous);
        refuseItems = false;
        page = PageState{};
        page.iconStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 128));
        page.bitmapStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 320));
        page.textBuffer = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 256));
        page.textBufferSize = 256;
        page.members = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, MemberArrayBytes(10)));
    }

    void TearDown() override {
        GlobalFree(page.iconStore);
        GlobalFree(page.bitmapStore);
        GlobalFree(page.textBuffer);
        GlobalFree(page.members);
        DestroyWindow(parent);
    }

    PictureStore Store(int32_t kind) {
        PictureStore store = {};
        PictureStoreOfPage(&page, kind, &store);
        return store;
    }

    uintptr_t ItemData(int index) {
        return static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, index, 0));
    }

    HWND parent = nullptr;
    HWND list = nullptr;
    PageState page;
};

TEST_F(RecordStore, AppendWritesTheNameAndAddsTheOffsetAsItemValue) {
    uint32_t size = 0;
    uint8_t* record =
        BeginRecord(Store(kKindIcon), TextBufferOfPage(&page), MakeIntResName(5), &size);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(kIconFixedPart + 4, size);
    ASSERT_EQ(0, AddRecordToList(Store(kKindIcon), list, size));
    record = BeginRecord(Store(kKindIcon), TextBufferOfPage(&page), "abcd", &size);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(kIconFixedPart + 8, size);
    ASSERT_EQ(0, AddRecordToList(Store(kKindIcon), list, size));

    EXPECT_EQ(static_cast<int32_t>(2 * kIconFixedPart + 12), page.iconStoreUsed);
    EXPECT_EQ(0x80000000u, ItemData(0) & 0xFFFFFFFFu);
    EXPECT_EQ(0x80000000u | (kIconFixedPart + 4), ItemData(1) & 0xFFFFFFFFu);
    EXPECT_EQ(5, ResNameId(ReadResName(page.iconStore + kIconFixedPart)));
    EXPECT_STREQ("abcd", ReadResName(page.iconStore + ItemOffsetOf(ItemData(1)) + kIconFixedPart));
    EXPECT_EQ(0u, ReadPictureField(page.iconStore));
    EXPECT_EQ(256, page.textBufferSize);  // "abcd" quoted fits
}

TEST_F(RecordStore, StoreAndTextBufferGrowWhenTheRecordDoesNotFit) {
    page.iconStoreUsed = 100;
    std::string name(28, 'n');  // a 32-byte slot: a record of 36 bytes on i686
    uint32_t size = 0;
    uint8_t* record = BeginRecord(Store(kKindIcon), TextBufferOfPage(&page), name.c_str(), &size);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(static_cast<SIZE_T>(100 + size + kIconStoreSlack), GlobalSize(page.iconStore));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(264u, GlobalSize(page.iconStore));
    }
    EXPECT_EQ(page.iconStore + 100, record);
    EXPECT_STREQ(name.c_str(), ReadResName(record + kIconFixedPart));

    std::string longName(300, 'L');
    ASSERT_NE(nullptr,
              BeginRecord(Store(kKindBitmap), TextBufferOfPage(&page), longName.c_str(), &size));
    EXPECT_EQ(303, page.textBufferSize);
    EXPECT_GE(GlobalSize(page.textBuffer), 303u);
    EXPECT_EQ(0, GrowTextBuffer(TextBufferOfPage(&page), 10));
    EXPECT_EQ(303, page.textBufferSize);
}

TEST_F(RecordStore, RefusedItemIsNotCountedAndItsPictureIsDestroyed) {
    uint32_t size = 0;
    uint8_t* record = BeginRecord(Store(kKindBitmap), TextBufferOfPage(&page), "BMP", &size);
    ASSERT_NE(nullptr, record);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_NE(nullptr, bitmap);
    WritePictureField(record, reinterpret_cast<uintptr_t>(bitmap));
    refuseItems = true;
    SetLastError(0);
    EXPECT_EQ(-1, AddRecordToList(Store(kKindBitmap), list, size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    EXPECT_EQ(0, page.bitmapStoreUsed);
    EXPECT_EQ(0, GetObjectType(bitmap));
}

TEST_F(RecordStore, FreeingReleasesEveryPictureAndImageCopy) {
    HBITMAP bitmaps[2];
    for (HBITMAP& bitmap : bitmaps) {
        uint32_t size = 0;
        uint8_t* record =
            BeginRecord(Store(kKindBitmap), TextBufferOfPage(&page), MakeIntResName(1), &size);
        ASSERT_NE(nullptr, record);
        bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
        WritePictureField(record, reinterpret_cast<uintptr_t>(bitmap));
        ASSERT_EQ(0, AddRecordToList(Store(kKindBitmap), list, size));
    }
    FreeListPictures(Store(kKindBitmap), list);
    for (HBITMAP bitmap : bitmaps)
        EXPECT_EQ(0, GetObjectType(bitmap));
    EXPECT_EQ(0u, ReadPictureField(page.bitmapStore));
    SendMessageA(list, LB_RESETCONTENT, 0, 0);

    uint8_t andBits[32 * 4];
    uint8_t xorBits[32 * 4];
    memset(andBits, 0xFF, sizeof(andBits));
    memset(xorBits, 0, sizeof(xorBits));
    uint32_t size = 0;
    uint8_t* record = BeginRecord(Store(kKindIcon), TextBufferOfPage(&page), "ICON", &size);
    ASSERT_NE(nullptr, record);
    HICON icon = CreateIcon(nullptr, 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(nullptr, icon);
    WritePictureField(record, reinterpret_cast<uintptr_t>(icon));
    ASSERT_EQ(0, AddRecordToList(Store(kKindIcon), list, size));
    FreeListPictures(Store(kKindIcon), list);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_EQ(0u, ReadPictureField(page.iconStore));

    long busyBefore = BusyHeapBlocks();
    GroupMember* members = reinterpret_cast<GroupMember*>(page.members);
    for (int i = 0; i < 3; ++i) {
        members[i] = GroupMember{};
        members[i].imageCopy = i == 1 ? nullptr : GlobalAlloc(GMEM_MOVEABLE, 64);
    }
    page.memberCount = 3;
    long busyWithCopies = BusyHeapBlocks();
    FreeGroupMembers(MemberArrayOfPage(&page));
    EXPECT_EQ(0, page.memberCount);
    EXPECT_EQ(nullptr, members[0].imageCopy);
    EXPECT_EQ(nullptr, members[2].imageCopy);
    // Each movable block is one busy heap block here (its handle table is not).
    ASSERT_GE(busyBefore, 0);
    EXPECT_EQ(busyBefore + 2, busyWithCopies);
    EXPECT_EQ(busyBefore, BusyHeapBlocks());
}

}  // namespace
