// What the page shows for real files, judged through the page itself: its lists
// against an independent reader (the wrestool listings made at build time) and
// the platform's own resource functions, the order of the entries, the members
// of known groups, the string rows, and the controls around each kind in the
// current and in legacy shell mode.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../fixtures/listing/WrestoolListing.h"
#include "catalogue/RecordStore.h"
#include "formats/executables/ResourceRecords.h"
#include "page/lists/ItemTexts.h"
#include "page/state/PageStores.h"
#include "support/MessageBoxCapture.h"
#include "support/OlderSystem.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

const char kWineLibraries[] = "/usr/lib/i386-linux-gnu/wine/i386-windows/";
const int kListOfKind[] = {1004, 1005, 1006, 1007, 1008, 1014};

struct FileUnderTest {
    std::string path;
    std::string listing;
};

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileUnderTest Fixture(const std::string& name) {
    return FileUnderTest{FixturePath(name), FixturePath(name + ".wrestool")};
}

FileUnderTest WineLibrary(const std::string& name) {
    // The very file that was listed, not the prefix's copy of it.
    return FileUnderTest{WindowsPath(kWineLibraries + name), FixturePath(name + ".wrestool")};
}

ListedName NameOf(ResName name) {
    if (IsIntResName(name))
        return ListedName{false, ResNameId(name), ""};
    return ListedName{true, 0, name};
}

// The distinct names of one type: the platform walks every name once, whatever
// its languages.
std::vector<ListedName> ListedNamesOfType(const std::vector<ListedResource>& listing,
                                          const ListedName& type) {
    std::vector<ListedName> names;
    for (const ListedResource& resource : listing) {
        if (!SameListedName(resource.type, type))
            continue;
        bool seen = false;
        for (const ListedName& name : names)
            seen = seen || SameListedName(name, resource.name);
        if (!seen)
            names.push_back(resource.name);
    }
    return names;
}

// The names of a picture list in its displayed order, from the records behind
// its items.
std::vector<ListedName> PageNames(HWND page, int kind) {
    ChooseKind(page, kind);
    std::vector<ListedName> names;
    PictureStore store;
    if (!PictureStoreOfPage(FindPageState(page), kind, &store))
        return names;
    HWND list = GetDlgItem(page, kListOfKind[kind]);
    const int count = ListCount(page, kListOfKind[kind]);
    for (int i = 0; i < count; ++i) {
        const uint8_t* record =
            RecordOfItem(store, SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        if (record == nullptr) {
            ADD_FAILURE() << "item " << i << " of list " << kListOfKind[kind] << " has no record";
            continue;
        }
        names.push_back(NameOf(ReadResName(record + store.fixedPart)));
    }
    return names;
}

// Numbers first, ascending, then texts in lstrcmpA order.
void ExpectDisplayOrder(const std::vector<ListedName>& names, const char* what) {
    for (size_t i = 1; i < names.size(); ++i) {
        const ListedName& a = names[i - 1];
        const ListedName& b = names[i];
        SCOPED_TRACE(std::string(what) + " after " + DescribeListedName(a));
        EXPECT_FALSE(a.isText && !b.isText) << DescribeListedName(b);
        if (!a.isText && !b.isText) {
            EXPECT_LT(a.id, b.id);
        }
        if (a.isText && b.isText) {
            EXPECT_LE(lstrcmpA(a.text.c_str(), b.text.c_str()), 0) << DescribeListedName(b);
        }
    }
}

std::string FewNames(const std::vector<ListedName>& names) {
    std::string text = std::to_string(names.size()) + ":";
    for (size_t i = 0; i < names.size() && i < 5; ++i)
        text += " " + DescribeListedName(names[i]);
    return names.size() > 5 ? text + " ..." : text;
}

// Every listed name is on the page once. A name that the listing prints as its
// type's text (a text type with a text name) is only known to be a text.
void ExpectSameNames(std::vector<ListedName> shown, const std::vector<ListedName>& listed,
                     const std::string& type) {
    std::vector<ListedName> missing;
    size_t vague = 0;
    for (const ListedName& name : listed) {
        auto found = std::find_if(shown.begin(), shown.end(), [&](const ListedName& item) {
            return SameListedName(item, name);
        });
        if (found != shown.end()) {
            shown.erase(found);
        } else if (name.isText && name.text == type) {
            ++vague;
        } else {
            missing.push_back(name);
        }
    }
    EXPECT_TRUE(missing.empty()) << "listed, not shown " << FewNames(missing);
    const bool extraAreTexts =
        std::all_of(shown.begin(), shown.end(), [](const ListedName& name) { return name.isText; });
    EXPECT_TRUE(shown.size() == vague && extraAreTexts) << "shown, not listed " << FewNames(shown);
}

bool IsDataModule(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module != nullptr)
        FreeLibrary(module);
    return module != nullptr;
}

struct StringRow {
    LPARAM id;
    std::string text;
};

BOOL CALLBACK AddBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
    // Only numbered blocks 1 to 4096 hold identifiers 0 to 65535.
    if (IS_INTRESOURCE(name) && LOWORD(name) >= 1 && LOWORD(name) <= 4096)
        reinterpret_cast<std::vector<int>*>(blocks)->push_back(LOWORD(name));
    return TRUE;
}

// Every non-empty string of a PE file as the platform loads it, by identifier.
std::vector<StringRow> PlatformStrings(const std::string& path) {
    std::vector<StringRow> rows;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return rows;
    std::vector<int> blocks;
    EnumResourceNamesA(module, RT_STRING, AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::sort(blocks.begin(), blocks.end());
    std::vector<char> text(2 * 65536 + 2);
    for (int block : blocks) {
        for (int id = (block - 1) * 16; id < block * 16; ++id) {
            if (LoadStringA(module, static_cast<UINT>(id), text.data(),
                            static_cast<int>(text.size())) > 0) {
                rows.push_back(StringRow{id, text.data()});
            }
        }
    }
    FreeLibrary(module);
    return rows;
}

std::vector<StringRow> PageStrings(HWND page) {
    ChooseKind(page, kKindString);
    std::vector<StringRow> rows;
    HWND view = GetDlgItem(page, 1007);
    std::vector<char> text(2 * 65536 + 2);
    for (int row = 0; row < ListCount(page, 1007); ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM | LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = 1;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        text[0] = '\0';
        SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMA param = {};
        param.mask = LVIF_PARAM;
        param.iItem = row;
        SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&param));
        rows.push_back(StringRow{param.lParam, text.data()});
    }
    return rows;
}

void ExpectListsAgree(const FileUnderTest& file) {
    SCOPED_TRACE(file.path);
    std::vector<ListedResource> listing;
    ASSERT_TRUE(ReadWrestoolListing(file.listing, &listing)) << file.listing;
    ResourcePage open;
    PageCloser closer{&open};
    bool opened = false;
    const CapturedMessageBox box =
        CaptureMessageBox([&] { opened = OpenResourcePage(file.path, &open); });
    EXPECT_EQ(0, box.count) << box.text;
    if (!opened) {
        ADD_FAILURE() << "no page";
        CloseResourcePage(&open);
        return;
    }
    struct {
        int kind;
        ListedName type;
    } const kinds[] = {{kKindIcon, {false, 14, ""}},
                       {kKindBitmap, {false, 2, ""}},
                       {kKindCursor, {false, 12, ""}},
                       {kKindAvi, {true, 0, "AVI"}}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE("list " + std::to_string(kListOfKind[kind.kind]));
        std::vector<ListedName> listed = ListedNamesOfType(listing, kind.type);
        // Every clip is listed, even one the device cannot show.
        const std::vector<ListedName> shown = PageNames(open.page, kind.kind);
        EXPECT_EQ(static_cast<int>(listed.size()), ListCount(open.page, kListOfKind[kind.kind]));
        ExpectDisplayOrder(shown, "order");
        ExpectSameNames(shown, listed, kind.type.text);
    }
    // The rows of 16-bit files are judged against their known content below.
    if (IsDataModule(file.path)) {
        const std::vector<StringRow> expectedRows = PlatformStrings(file.path);
        const std::vector<StringRow> rows = PageStrings(open.page);
        EXPECT_EQ(expectedRows.size(), rows.size()) << "string rows";
        for (size_t i = 0; i < rows.size() && i < expectedRows.size(); ++i) {
            EXPECT_EQ(expectedRows[i].id, rows[i].id) << "row " << i;
            EXPECT_EQ(expectedRows[i].text, rows[i].text) << "row " << i;
        }
    }
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

TEST(PageContent, GeneratedFilesListWhatTheIndependentReaderLists) {
    std::vector<FileUnderTest> files = {Fixture("pe-resources.dll"), Fixture("ne-kinds.exe"),
                                        Fixture("ne-damage-base.exe")};
    for (int shift = 1; shift <= 9; ++shift)
        files.push_back(Fixture("ne-shift" + std::to_string(shift) + ".exe"));
    for (const char* extra :
         {"avi-badfirst.dll", "pe-edges.dll", "icons-100.dll", "ne-edges.exe"}) {
        if (Exists(FixturePath(extra)))
            files.push_back(Fixture(extra));
    }
    for (const FileUnderTest& file : files)
        ExpectListsAgree(file);
}

TEST(PageContent, WineLibrariesListWhatTheIndependentReaderLists) {
    for (const char* name : {"shell32.dll", "user32.dll", "comctl32.dll"})
        ExpectListsAgree(WineLibrary(name));
}

// The 64-bit shell's own library: listed like any PE32 file by the 64-bit
// build, and no page at all from the 32-bit one.
TEST(PageContent, SixtyFourBitShellLibraryOnlyInTheSixtyFourBitBuild) {
    const std::string path =
        WindowsPath("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll");
    if (!Exists(path))
        GTEST_SKIP() << "no 64-bit Wine libraries installed";
    if (sizeof(void*) == 8) {
        ExpectListsAgree(FileUnderTest{path, FixturePath("x86_64-windows/shell32.dll.wrestool")});
        return;
    }
    ResourcePage open;
    PageCloser closer{&open};
    EXPECT_FALSE(OfferResourcePage(path, &open));
}

bool ChooseNamed(HWND page, int kind, const std::string& shown);

// The clips' pictures by list index; the names are the numbers 1, 2, 3.
std::vector<uintptr_t> ClipPictures(HWND page) {
    ChooseKind(page, kKindAvi);
    std::vector<uintptr_t> pictures;
    PictureStore store;
    if (!PictureStoreOfPage(FindPageState(page), kKindAvi, &store))
        return pictures;
    HWND list = GetDlgItem(page, 1008);
    for (int i = 0; i < ListCount(page, 1008); ++i) {
        uint8_t* record =
            RecordOfItem(store, SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        pictures.push_back(record != nullptr ? DrawnPicture(page, kKindAvi, record) : 0);
    }
    return pictures;
}

TEST(PageContent, AFirstResourceThatIsNoClipHidesNothingElse) {
    const std::string path = FixturePath("avi-badfirst.dll");
    if (!Exists(path))
        GTEST_SKIP() << "avi-badfirst.dll is not generated yet";
    ResourcePage open;
    PageCloser closer{&open};
    const CapturedMessageBox box =
        CaptureMessageBox([&] { ASSERT_TRUE(OpenResourcePage(path, &open)); });
    EXPECT_EQ(0, box.count) << box.text;
    const std::vector<uintptr_t> pictures = ClipPictures(open.page);
    ASSERT_EQ(3u, pictures.size());
    EXPECT_EQ(0u, pictures[0]);
    EXPECT_NE(0u, pictures[1]);
    EXPECT_NE(0u, pictures[2]);
    ASSERT_TRUE(ChooseNamed(open.page, kKindAvi, "3"));
    EXPECT_TRUE(ControlEnabled(open.page, 1012));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

// A 16-bit file's first type entry decides alone: an empty one ends the walk,
// a second entry of the same type is never read.
TEST(PageContent, SixteenBitFilesReadOnlyTheFirstTypeEntry) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-repeated-type.exe"), &open));
    std::vector<ListedName> icons = PageNames(open.page, kKindIcon);
    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ(7, icons[0].id);
    ChooseKind(open.page, kKindAvi);
    EXPECT_EQ(1, ListCount(open.page, 1008));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));

    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-empty-type.exe"), &open));
    EXPECT_EQ(0, ListCount(open.page, 1004));
    ChooseKind(open.page, kKindAvi);
    EXPECT_EQ(1, ListCount(open.page, 1008));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

// Damaged 16-bit files show what can be read, without a word and without
// reading outside the file.
TEST(PageContent, DamagedSixteenBitFilesOpenQuietly) {
    for (const char* name :
         {"ne-bad-data-offset.exe", "ne-bad-data-length.exe", "ne-bad-name-offset.exe",
          "ne-bad-type-name.exe", "ne-truncated.exe", "ne-table-at-end.exe"}) {
        SCOPED_TRACE(name);
        ResourcePage open;
        PageCloser closer{&open};
        const CapturedMessageBox box = CaptureMessageBox([&] {
            if (OfferResourcePage(FixturePath(name), &open))
                ShowOfferedPage(&open);
        });
        EXPECT_EQ(0, box.count) << box.text;
        if (open.page != nullptr) {
            EXPECT_LE(ListCount(open.page, 1004), 3);
        }
        EXPECT_EQ(S_OK, CloseResourcePage(&open));
    }
}

// The shown entry's name as control 1002 shows it, for each entry of a list.
std::vector<std::string> ShownNames(HWND page, int kind) {
    std::vector<std::string> texts;
    ChooseKind(page, kind);
    for (int i = 0; i < ListCount(page, kListOfKind[kind]); ++i) {
        ChooseEntry(page, kListOfKind[kind], i);
        texts.push_back(ControlText(page, 1002));
    }
    return texts;
}

struct MemberSize {
    int width;
    int height;
    int bits;
    int hotX;
    int hotY;
};

// The members of list 1010 in their displayed order.
std::vector<MemberSize> ShownMembers(HWND page) {
    std::vector<MemberSize> sizes;
    const PageState* state = FindPageState(page);
    HWND list = GetDlgItem(page, 1010);
    for (int i = 0; i < ListCount(page, 1010); ++i) {
        const uint32_t index = ItemOffsetOf(
            static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        if (index >= static_cast<uint32_t>(state->memberCount)) {
            ADD_FAILURE() << "member item " << i << " names record " << index;
            continue;
        }
        const GroupMember& member = reinterpret_cast<const GroupMember*>(state->members)[index];
        sizes.push_back(MemberSize{member.width, member.height,
                                   static_cast<int>(member.bitsPerPixel), member.hotSpotX,
                                   member.hotSpotY});
    }
    return sizes;
}

// Selects the entry whose control 1002 reads shown; false when there is none.
bool ChooseNamed(HWND page, int kind, const std::string& shown) {
    ChooseKind(page, kind);
    for (int i = 0; i < ListCount(page, kListOfKind[kind]); ++i) {
        ChooseEntry(page, kListOfKind[kind], i);
        if (ControlText(page, 1002) == shown)
            return true;
    }
    return false;
}

void ExpectMembers(HWND page, int kind, const std::string& entry,
                   const std::vector<MemberSize>& expected) {
    SCOPED_TRACE(entry);
    ASSERT_TRUE(ChooseNamed(page, kind, entry));
    const std::vector<MemberSize> shown = ShownMembers(page);
    ASSERT_EQ(expected.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(expected[i].width, shown[i].width) << i;
        EXPECT_EQ(expected[i].height, shown[i].height) << i;
        EXPECT_EQ(expected[i].bits, shown[i].bits) << i;
        if (kind == kKindCursor) {
            EXPECT_EQ(expected[i].hotX, shown[i].hotX) << i;
            EXPECT_EQ(expected[i].hotY, shown[i].hotY) << i;
        }
    }
    EXPECT_EQ(0, SendMessageA(GetDlgItem(page, 1010), LB_GETCURSEL, 0, 0));
    EXPECT_TRUE(ControlEnabled(page, 1013));
}

TEST(PageContent, EntriesShowTheirNamesAndGroupsTheirMembersSmallestFirst) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-kinds.exe"), &open));
    // An empty text name is a text, shown as the pair of quotes, after numbers.
    EXPECT_EQ((std::vector<std::string>{"1", "2", "\"\"", "\"APPICON\""}),
              ShownNames(open.page, kKindIcon));
    EXPECT_EQ((std::vector<std::string>{"1", "\"Pointer\""}), ShownNames(open.page, kKindCursor));
    ExpectMembers(open.page, kKindIcon, "1",
                  {{16, 16, 4, 0, 0}, {32, 32, 4, 0, 0}, {32, 32, 8, 0, 0}});
    // Image 99 is missing from the file: the group shows the one it has.
    ExpectMembers(open.page, kKindIcon, "2", {{16, 16, 4, 0, 0}});
    ExpectMembers(open.page, kKindCursor, "\"Pointer\"", {{16, 16, 1, 0, 15}, {32, 32, 1, 5, 7}});
    EXPECT_EQ(S_OK, CloseResourcePage(&open));

    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ExpectMembers(open.page, kKindIcon, "2",
                  {{16, 16, 4, 0, 0}, {32, 32, 4, 0, 0}, {48, 48, 4, 0, 0}});
    ExpectMembers(open.page, kKindIcon, "\"MIXEDCASE\"",
                  {{32, 32, 1, 0, 0},
                   {32, 32, 4, 0, 0},
                   {32, 32, 8, 0, 0},
                   {32, 32, 24, 0, 0},
                   {32, 32, 32, 0, 0}});
    ExpectMembers(open.page, kKindIcon, "\"LIES\"", {{16, 16, 4, 0, 0}, {32, 32, 8, 0, 0}});
    ExpectMembers(open.page, kKindCursor, "\"POINTER\"", {{16, 16, 4, 0, 15}, {32, 32, 1, 16, 16}});
    ExpectMembers(open.page, kKindCursor, "\"RAWCURSOR\"", {{32, 32, 1, 9, 3}});
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

TEST(PageContent, TextNamesInThePlatformsOrderAndMembersByWidthThenHeight) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-edges.exe"), &open));
    // The file holds "B", "b", "a", "ab": neither the bytes' order nor one
    // blind to case gives this.
    EXPECT_EQ((std::vector<std::string>{"1", "\"a\"", "\"ab\"", "\"b\"", "\"B\""}),
              ShownNames(open.page, kKindIcon));
    // Stored as 32 x 32, 32 x 16, 16 x 32.
    ExpectMembers(open.page, kKindIcon, "1",
                  {{16, 32, 4, 0, 0}, {32, 16, 4, 0, 0}, {32, 32, 4, 0, 0}});
}

// The record behind the selected entry of a picture list.
const uint8_t* ChosenRecord(HWND page, int kind) {
    PictureStore store;
    if (!PictureStoreOfPage(FindPageState(page), kind, &store))
        return nullptr;
    HWND list = GetDlgItem(page, kListOfKind[kind]);
    LRESULT selection = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return RecordOfItem(store, static_cast<uintptr_t>(SendMessageA(
                                   list, LB_GETITEMDATA, static_cast<WPARAM>(selection), 0)));
}

std::string SizeLine(const uint8_t* record, int widthOffset, int heightOffset) {
    char text[32];
    WriteSizeText(text, sizeof(text), ReadRecordI32(record, widthOffset),
                  ReadRecordI32(record, heightOffset));
    return text;
}

TEST(PageContent, SizeAndLengthLinesUnderPicturesShowWhatTheResourcesHold) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-edges.dll"), &open));
    // Bitmap 3 is 52 x 22, stored top-down.
    ASSERT_TRUE(ChooseNamed(open.page, kKindBitmap, "3"));
    const uint8_t* bitmap = ChosenRecord(open.page, kKindBitmap);
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(-22, ReadRecordI32(bitmap, kBitmapHeightOffset));
    EXPECT_EQ("52x22", SizeLine(bitmap, kBitmapWidthOffset, kBitmapHeightOffset));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));

    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-edges.exe"), &open));
    ASSERT_TRUE(ChooseNamed(open.page, kKindAvi, "4"));
    const uint8_t* clip = ChosenRecord(open.page, kKindAvi);
    ASSERT_NE(nullptr, clip);
    EXPECT_EQ("80x6", SizeLine(clip, kAviFrameWidthOffset, kAviFrameHeightOffset));
    char length[32];
    WriteClipLengthText(length, sizeof(length),
                        static_cast<uint32_t>(ReadRecordI32(clip, kAviLengthOffset)));
    EXPECT_STREQ("1.05 秒", length);
}

size_t BusyHeapBlocks() {
    HANDLE heap = GetProcessHeap();
    PROCESS_HEAP_ENTRY entry = {};
    size_t busy = 0;
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    }
    HeapUnlock(heap);
    return busy;
}

TEST(PageContent, MemberCopiesOfAGroupLeftBehindAreFreed) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, kKindIcon);
    // Groups 2 and 4 have three members each.
    auto visitBoth = [&] {
        ChooseEntry(open.page, 1004, 1);
        ChooseEntry(open.page, 1004, 3);
    };
    visitBoth();
    const size_t before = BusyHeapBlocks();
    for (int i = 0; i < 20; ++i)
        visitBoth();
    EXPECT_LT(BusyHeapBlocks(), before + 20);
}

TEST(PageContent, SixteenBitStringsKeepTheirIdentifiers) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-kinds.exe"), &open));
    const std::vector<StringRow> rows = PageStrings(open.page);
    std::vector<LPARAM> ids;
    for (const StringRow& row : rows)
        ids.push_back(row.id);
    EXPECT_EQ((std::vector<LPARAM>{1, 2, 4, 15, 16, 17, 18, 1008, 1023}), ids);
    if (rows.size() == 9) {
        EXPECT_EQ("Four", rows[2].text);
        EXPECT_EQ(200u, rows[5].text.size());
        EXPECT_EQ("Block 64 last", rows[8].text);
    }
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

// The text column is measured on the few rows guessed widest; here the widest
// rows (200 letters after "String k: ", k = 227, 427, 627, 827) come long
// after the first eight.
TEST(PageContent, TheTextColumnFitsTheWidestOfManyRows) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("strings-1000.dll"), &open));
    ChooseKind(open.page, 3);
    HWND list = GetDlgItem(open.page, 1007);
    std::string widest = "String 827: ";
    for (int i = 0; i < 200; ++i)
        widest += static_cast<char>('a' + i % 26);
    const LRESULT width =
        SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(widest.c_str()));
    EXPECT_EQ(8 + width, SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

// An icon drawn over white at the system icon size, as 32-bit pixels.
std::vector<uint32_t> IconPixels(HICON icon) {
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (dc != nullptr && section != nullptr) {
        HGDIOBJ old = SelectObject(dc, section);
        RECT all = {0, 0, cx, cy};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const uint32_t* first = static_cast<const uint32_t*>(bits);
        pixels.assign(first, first + cx * cy);
        SelectObject(dc, old);
    }
    if (section != nullptr)
        DeleteObject(section);
    if (dc != nullptr)
        DeleteDC(dc);
    return pixels;
}

// The icon the platform makes for a group from the group's own images.
HICON GroupIcon(HMODULE module, ResName name) {
    HRSRC group = FindResourceA(module, name, RT_GROUP_ICON);
    void* directory = group ? LockResource(LoadResource(module, group)) : nullptr;
    if (directory == nullptr)
        return nullptr;
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    const int id = LookupIconIdFromDirectoryEx(static_cast<PBYTE>(directory), TRUE, cx, cy, 0);
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON);
    void* bytes = image ? LockResource(LoadResource(module, image)) : nullptr;
    if (bytes == nullptr)
        return nullptr;
    return CreateIconFromResourceEx(static_cast<PBYTE>(bytes), SizeofResource(module, image), TRUE,
                                    0x00030000, cx, cy, 0);
}

void ExpectIconsFromOwnGroups(const std::string& path) {
    SCOPED_TRACE(path);
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    PictureStore store;
    ASSERT_TRUE(PictureStoreOfPage(FindPageState(open.page), kKindIcon, &store));
    HWND list = GetDlgItem(open.page, 1004);
    int compared = 0;
    for (int i = 0; i < ListCount(open.page, 1004); ++i) {
        uint8_t* record =
            RecordOfItem(store, SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        ASSERT_NE(nullptr, record);
        const ResName name = ReadResName(record + store.fixedPart);
        HICON expected = GroupIcon(module, name);
        HICON shown = reinterpret_cast<HICON>(DrawnPicture(open.page, kKindIcon, record));
        if (expected == nullptr)
            continue;
        EXPECT_NE(nullptr, shown) << DescribeListedName(NameOf(name));
        if (shown != nullptr) {
            EXPECT_TRUE(IconPixels(expected) == IconPixels(shown))
                << "picture of " << DescribeListedName(NameOf(name));
            ++compared;
        }
        DestroyIcon(expected);
    }
    EXPECT_GT(compared, 0);
    FreeLibrary(module);
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

TEST(PageContent, IconPicturesComeFromTheirOwnGroups) {
    ExpectIconsFromOwnGroups(FixturePath("pe-resources.dll"));
    ExpectIconsFromOwnGroups(WindowsPath(std::string(kWineLibraries) + "shell32.dll"));
}

TEST(PageContent, AClipWithoutVideoIsListedWithoutAPicture) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, kKindAvi);
    PictureStore store;
    ASSERT_TRUE(PictureStoreOfPage(FindPageState(open.page), kKindAvi, &store));
    HWND list = GetDlgItem(open.page, 1008);
    int withoutVideo = 0;
    for (int i = 0; i < ListCount(open.page, 1008); ++i) {
        uint8_t* record =
            RecordOfItem(store, SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        ASSERT_NE(nullptr, record);
        const ListedName name = NameOf(ReadResName(record + store.fixedPart));
        SCOPED_TRACE(DescribeListedName(name));
        const int width = ReadRecordI32(record, kAviFrameWidthOffset);
        const int height = ReadRecordI32(record, kAviFrameHeightOffset);
        if (!name.isText && (name.id == 152 || name.id == 153)) {  // sound only; no clip
            ++withoutVideo;
            EXPECT_EQ(0, width);
            EXPECT_EQ(0, height);
            EXPECT_EQ(0u, DrawnPicture(open.page, kKindAvi, record));
            EXPECT_EQ(0, ReadRecordI32(record, kAviThumbWidthOffset));
            if (name.id == 152) {
                EXPECT_GT(ReadRecordI32(record, kAviLengthOffset), 0);
            }
        } else {  // 32 x 24 video
            EXPECT_EQ(32, width);
            EXPECT_EQ(24, height);
            EXPECT_NE(0u, DrawnPicture(open.page, kKindAvi, record));
            EXPECT_EQ(32, ReadRecordI32(record, kAviThumbWidthOffset));
            EXPECT_EQ(24, ReadRecordI32(record, kAviThumbHeightOffset));
        }
    }
    EXPECT_EQ(2, withoutVideo);
    // Selecting it shows its number and offers play and copy as for any clip.
    ASSERT_TRUE(ChooseNamed(open.page, kKindAvi, "152"));
    EXPECT_TRUE(ControlEnabled(open.page, 1012));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

// ---- The controls around each kind ----

struct KindView {
    int kind;
    const char* caption;        // 1003
    const char* legacyCaption;  // 1003 in legacy shell mode
    const char* entry;          // 1002, "" when hidden
    bool members;               // 1009 and 1010 shown
    bool hotSpot;               // 1011 shown
    bool play;                  // 1012 shown
};

// pe-resources.dll, each kind with its first entry selected.
const KindView kKindViews[] = {
    {kKindBitmap, "ビットマップ一覧(&L):", "ﾋﾞｯﾄﾏｯﾌﾟ一覧(&L):", "101", false, false, false},
    {kKindCursor, "カーソル一覧(&L):", "ｶｰｿﾙ一覧(&L):", "1", true, true, false},
    {kKindString, "文字列一覧(&L):", "文字列一覧(&L):", "", false, false, false},
    {kKindAvi, "AVI 一覧(&L):", "AVI 一覧(&L):", "150", false, false, true},
    {kKindIcon, "アイコン一覧(&L):", "ｱｲｺﾝ一覧(&L):", "1", true, false, false},
};

// A caption shows its whole text on one line and ends before the control that
// follows it on its row.
void ExpectCaptionOnOneLine(HWND page, int caption, int next) {
    HWND control = GetDlgItem(page, caption);
    char text[64] = {};
    GetWindowTextA(control, text, sizeof(text));
    HDC dc = GetDC(page);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
    RECT measured = {};
    DrawTextA(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(page, dc);
    RECT own = {};
    RECT following = {};
    GetWindowRect(control, &own);
    GetWindowRect(GetDlgItem(page, next), &following);
    // As wide as the text, unless that would reach into the next control.
    EXPECT_EQ(std::min<LONG>(measured.right, following.left - own.left), own.right - own.left)
        << text;
}

void ExpectKindViews(bool legacy) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    HWND page = open.page;
    EXPECT_EQ(5, SendMessageA(GetDlgItem(page, 1000), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(GetDlgItem(page, 1000), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(legacy ? "ｸﾞﾙｰﾌﾟ(&G):" : "グループ(&G):", ControlText(page, 1009));
    EXPECT_EQ(legacy ? "ｺﾋﾟｰ(&C)" : "コピー(&C)", ControlText(page, 1013));
    EXPECT_EQ("ﾎｯﾄ ｽﾎﾟｯﾄ", ControlText(page, 1011));
    // The start shows the icons with the first group and its first member.
    EXPECT_EQ(legacy ? "ｱｲｺﾝ一覧(&L):" : "アイコン一覧(&L):", ControlText(page, 1003));
    EXPECT_EQ("1", ControlText(page, 1002));
    EXPECT_EQ(2, ListCount(page, 1010));
    for (const KindView& view : kKindViews) {
        SCOPED_TRACE(view.caption);
        ChooseKind(page, view.kind);
        EXPECT_EQ(legacy ? view.legacyCaption : view.caption, ControlText(page, 1003));
        ExpectCaptionOnOneLine(page, 1003, 1001);
        if (view.members) {
            ExpectCaptionOnOneLine(page, 1009, 1011);
        }
        for (int kind = 0; kind < kKindCount; ++kind)
            EXPECT_EQ(kind == view.kind, ControlShown(page, kListOfKind[kind])) << kind;
        const bool idShown = view.kind != kKindString;
        EXPECT_EQ(idShown, ControlShown(page, 1001));
        EXPECT_EQ(idShown, ControlShown(page, 1002));
        if (idShown) {
            EXPECT_EQ(view.entry, ControlText(page, 1002));
        }
        EXPECT_EQ(view.members, ControlShown(page, 1009));
        EXPECT_EQ(view.members, ControlShown(page, 1010));
        EXPECT_EQ(view.hotSpot, ControlShown(page, 1011));
        EXPECT_EQ(view.play, ControlShown(page, 1012));
        if (view.play) {
            EXPECT_TRUE(ControlEnabled(page, 1012));
        }
        // Every first entry here has something to copy.
        EXPECT_TRUE(ControlEnabled(page, 1013));
    }
    // Copy follows the string list's selection.
    ChooseKind(page, kKindString);
    ListView_SetItemState(GetDlgItem(page, 1007), -1, 0, LVIS_SELECTED);
    ChooseKind(page, kKindIcon);
    ChooseKind(page, kKindString);
    EXPECT_FALSE(ControlEnabled(page, 1013));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

TEST(PageKinds, ControlsFollowTheChosenKind) {
    ExpectKindViews(false);
}

TEST(PageKinds, LegacyShellModeUsesItsOwnLabels) {
    EXPECT_TRUE(RunAsOlderSystem("win95", "legacy", "PageKindsChild.*"));
}

TEST(PageKindsChild, InTheReportedSystem) {
    if (OlderSystemTask() != "legacy")
        GTEST_SKIP() << "runs only as a child";
    ExpectKindViews(true);
    ReportOlderSystemResult(!::testing::Test::HasFailure());
}

// A page without entries: nothing selected, nothing to copy or play.
TEST(PageKinds, AFileWithoutPicturesShowsEmptyLists) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-shift1.exe"), &open));
    EXPECT_EQ(0, ListCount(open.page, 1006));
    ChooseKind(open.page, kKindCursor);
    EXPECT_EQ("", ControlText(open.page, 1002));
    EXPECT_FALSE(ControlEnabled(open.page, 1013));
    EXPECT_EQ(0, ListCount(open.page, 1010));
    ChooseKind(open.page, kKindAvi);
    EXPECT_TRUE(ControlShown(open.page, 1012));
    EXPECT_FALSE(ControlEnabled(open.page, 1012));
    EXPECT_FALSE(ControlEnabled(open.page, 1013));
    EXPECT_EQ(S_OK, CloseResourcePage(&open));
}

}  // namespace
