// What the copy command leaves on the clipboard, through the real page: member
// images over white per depth, bitmaps as stored or converted, string rows,
// and a clip's first frame and sound; and the user's clipboard untouched where
// nothing may be copied. Wine drops the clipboard with the process, so every
// check reads it while the sheet is open.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ResourceRecords.h"
#include "page/commands/CopyMemberImage.h"
#include "page/state/PageStores.h"
#include "support/ClipboardContent.h"
#include "support/MessageBoxCapture.h"
#include "support/ResourcePage.h"
#include "support/TestPaths.h"

namespace {

const int kListOfKind[] = {1004, 1005, 1006, 1007, 1008};

void ExpectSentinelIntact() {
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
    EXPECT_STREQ(kSentinel, std::string(text.begin(), text.end()).c_str());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_WAVE));
}

void PressCopy(HWND page) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1013)));
}

// Selects the entry of a picture list whose record carries name.
bool ChooseByName(HWND page, int kind, ResName name) {
    ChooseKind(page, kind);
    PictureStore store;
    if (!PictureStoreOfPage(FindPageState(page), kind, &store))
        return false;
    HWND list = GetDlgItem(page, kListOfKind[kind]);
    for (int i = 0; i < ListCount(page, kListOfKind[kind]); ++i) {
        const uint8_t* record =
            RecordOfItem(store, SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        ResName shown = record != nullptr ? ReadResName(record + store.fixedPart) : nullptr;
        if (record != nullptr &&
            (IsIntResName(name) ? shown == name
                                : !IsIntResName(shown) && lstrcmpA(shown, name) == 0)) {
            ChooseEntry(page, kListOfKind[kind], i);
            return true;
        }
    }
    return false;
}

const GroupMember* SelectedMember(HWND page) {
    HWND list = GetDlgItem(page, 1010);
    LRESULT selection = SendMessageA(list, LB_GETCURSEL, 0, 0);
    const PageState* state = FindPageState(page);
    uint32_t index = ItemOffsetOf(static_cast<uintptr_t>(
        SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(selection), 0)));
    if (selection < 0 || index >= static_cast<uint32_t>(state->memberCount))
        return nullptr;
    return reinterpret_cast<const GroupMember*>(state->members) + index;
}

// Colour 0xRRGGBB of pixel (x, y from the top) of a packed bottom-up DIB.
uint32_t PixelOf(const std::vector<uint8_t>& dib, int x, int y) {
    const uint32_t headerSize = PeekU32(&dib[0]);
    const int width = static_cast<int>(PeekU32(&dib[4]));
    const int height = static_cast<int>(PeekU32(&dib[8]));
    const int bits = PeekU16(&dib[14]);
    uint32_t entries = PeekU32(&dib[32]);
    if (entries == 0 && bits <= 8)
        entries = 1u << bits;
    const size_t row = ((width * bits + 31) / 32) * 4;
    const uint8_t* line = &dib[headerSize + entries * 4 + row * (height - 1 - y)];
    uint32_t index = 0;
    switch (bits) {
        case 1:
            index = (line[x / 8] >> (7 - x % 8)) & 1;
            break;
        case 4:
            index = (line[x / 2] >> (x % 2 ? 0 : 4)) & 15;
            break;
        case 8:
            index = line[x];
            break;
        default: {
            const uint8_t* p = line + x * (bits / 8);
            return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
        }
    }
    return PeekU32(&dib[headerSize + index * 4]) & 0xFFFFFF;
}

// The member's own picture: its image copy, mask left out.
std::vector<uint8_t> MemberBytes(const GroupMember& member) {
    const uint8_t* data = static_cast<const uint8_t*>(GlobalLock(member.imageCopy));
    std::vector<uint8_t> bytes(data, data + GlobalSize(member.imageCopy));
    GlobalUnlock(member.imageCopy);
    return bytes;
}

struct MemberCase {
    int kind;
    ResName group;
    int sourceBits;
    int copiedBits;
};

TEST(PageCopy, MembersAreDrawnOverWhiteAtADepthThatHoldsWhite) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    const MemberCase cases[] = {
        {0, MAKEINTRESOURCEA(1), 1, 4},   {0, MAKEINTRESOURCEA(2), 4, 8}, {0, "APPICON", 8, 32},
        {0, MAKEINTRESOURCEA(4), 32, 32}, {2, MAKEINTRESOURCEA(1), 1, 4},
    };
    for (const MemberCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.sourceBits));
        ASSERT_TRUE(ChooseByName(open.page, c.kind, c.group));
        const GroupMember* member = SelectedMember(open.page);
        ASSERT_NE(nullptr, member);
        ASSERT_EQ(c.sourceBits, static_cast<int>(member->bitsPerPixel));
        SeedClipboard();
        PressCopy(open.page);
        std::vector<uint8_t> dib = ClipboardBytes(CF_DIB);
        ASSERT_GE(dib.size(), 40u);
        const int w = member->width;
        const int h = member->height;
        EXPECT_EQ(40u, PeekU32(&dib[0]));
        EXPECT_EQ(w, static_cast<int>(PeekU32(&dib[4])));
        EXPECT_EQ(h, static_cast<int>(PeekU32(&dib[8])));
        EXPECT_EQ(c.copiedBits, PeekU16(&dib[14]));
        const size_t entries = c.copiedBits <= 8 ? size_t{1} << c.copiedBits : 0;
        ASSERT_GE(dib.size(), 40 + entries * 4 + ((w * c.copiedBits + 31) / 32) * 4 * h);
        // Opaque pixels (outside the top-left quarter) keep the image's colour.
        const std::vector<uint8_t> own = MemberBytes(*member);
        for (int y : {h / 2, h - 1}) {
            for (int x : {0, w / 2, w - 1})
                EXPECT_EQ(PixelOf(own, x, y), PixelOf(dib, x, y)) << x << "," << y;
        }
        // The transparent quarter: white where alpha says so, otherwise the
        // colour bits inverted over white.
        if (c.sourceBits == 32) {
            EXPECT_EQ(0xFFFFFFu, PixelOf(dib, 0, 0));
        } else if (c.copiedBits == 32) {
            EXPECT_EQ(PixelOf(own, 1, 1) ^ 0xFFFFFFu, PixelOf(dib, 1, 1));
        }
    }
}

TEST(PageCopy, EveryDrawnMemberCopiesAndTheCopyStateFollowsTheMember) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-edges.dll"), &open));
    // Group 1 ends with a 256 x 256 PNG member: over white like an alpha member.
    ASSERT_TRUE(ChooseByName(open.page, 0, MakeIntResName(1)));
    ASSERT_EQ(3, ListCount(open.page, 1010));
    ChooseEntry(open.page, 1010, 2);
    ASSERT_EQ(256, SelectedMember(open.page)->width);
    ASSERT_TRUE(ControlEnabled(open.page, 1013));
    SeedClipboard();
    CapturedMessageBox box = CaptureMessageBox([&] { PressCopy(open.page); });
    EXPECT_EQ(0, box.count) << box.text;
    std::vector<uint8_t> dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), 40u + 256 * 256 * 4);
    EXPECT_EQ(256u, PeekU32(&dib[4]));
    EXPECT_EQ(256u, PeekU32(&dib[8]));
    EXPECT_EQ(32, PeekU16(&dib[14]));
    // The picture's red is x and its green y; its top-left quarter is clear.
    EXPECT_EQ(0xC8C82Bu, PixelOf(dib, 200, 200));
    EXPECT_EQ(0x40C82Bu, PixelOf(dib, 64, 200));
    EXPECT_EQ(0xFFFFFFu, PixelOf(dib, 10, 10));
    EXPECT_EQ(0, dib[40 + 3]);

    // SIZES: image 212's entry is 100 bytes short, so it has no copy. The
    // button follows each member chosen, and a kind switch brings back the
    // member with its state.
    ASSERT_TRUE(ChooseByName(open.page, 0, "SIZES"));
    int uncopyable = -1;
    for (int i = 0; i < ListCount(open.page, 1010); ++i) {
        ChooseEntry(open.page, 1010, i);
        const GroupMember* member = SelectedMember(open.page);
        ASSERT_NE(nullptr, member);
        EXPECT_EQ(member->imageCopy != nullptr, ControlEnabled(open.page, 1013)) << i;
        if (member->imageCopy == nullptr)
            uncopyable = i;
    }
    ASSERT_GE(uncopyable, 0);
    ChooseEntry(open.page, 1010, uncopyable);
    ChooseKind(open.page, 1);
    ChooseKind(open.page, 0);
    EXPECT_EQ(uncopyable, SendDlgItemMessageA(open.page, 1010, LB_GETCURSEL, 0, 0));
    EXPECT_FALSE(ControlEnabled(open.page, 1013));
    SeedClipboard();
    box = CaptureMessageBox([&] { SendMessageA(GetDlgItem(open.page, 1010), WM_CHAR, 3, 0); });
    EXPECT_EQ(0, box.count) << box.text;
    ExpectSentinelIntact();
}

TEST(PageCopy, AFailedMemberCopyGivesTheFailuresOwnCode) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ASSERT_TRUE(ChooseByName(open.page, 0, MAKEINTRESOURCEA(1)));
    const GroupMember* member = SelectedMember(open.page);
    ASSERT_NE(nullptr, member);
    // A 1-bit member is drawn through a window's device context; a window that
    // is gone has none.
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    SetLastError(0);
    GetDC(gone);
    const DWORD expected = GetLastError() != 0 ? GetLastError() : ERROR_DC_NOT_FOUND;
    DWORD failure = 0;
    EXPECT_EQ(nullptr, MemberImageBlock(gone, *member, &failure));
    EXPECT_EQ(expected, failure);
    EXPECT_EQ(0, GlobalFlags(member->imageCopy) & GMEM_LOCKCOUNT);
}

std::vector<uint8_t> ResourceBytes(const std::string& path, int id, LPCSTR type) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    std::vector<uint8_t> bytes(data, data + SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

TEST(PageCopy, BitmapsAsStoredCoreHeadersConvertedBrokenOnesNotAtAll) {
    const std::string path = FixturePath("pe-resources.dll");
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));

    const std::vector<uint8_t> info = ResourceBytes(path, 113, RT_BITMAP);
    ASSERT_TRUE(ChooseByName(open.page, 1, MAKEINTRESOURCEA(113)));
    PressCopy(open.page);
    std::vector<uint8_t> dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), info.size());
    EXPECT_TRUE(std::equal(info.begin(), info.end(), dib.begin()));

    const std::vector<uint8_t> core = ResourceBytes(path, 103, RT_BITMAP);  // 8 bits
    ASSERT_TRUE(ChooseByName(open.page, 1, MAKEINTRESOURCEA(103)));
    PressCopy(open.page);
    dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), core.size() + 284);
    EXPECT_EQ(40u, PeekU32(&dib[0]));
    EXPECT_EQ(PeekU16(&core[4]), PeekU32(&dib[4]));
    EXPECT_EQ(PeekU16(&core[6]), PeekU32(&dib[8]));
    EXPECT_EQ(8, PeekU16(&dib[14]));
    EXPECT_TRUE(std::equal(core.begin() + 12 + 768, core.end(), dib.begin() + 40 + 1024));

    // 131 lost half its rows, 132 all of them: no thumbnail, no copy.
    for (int broken : {131, 132}) {
        ASSERT_TRUE(ChooseByName(open.page, 1, MAKEINTRESOURCEA(broken)));
        EXPECT_FALSE(ControlEnabled(open.page, 1013));
        SeedClipboard();
        PressCopy(open.page);
        ExpectSentinelIntact();
    }
}

void ClearSelection(HWND list) {
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
}

void SelectRow(HWND list, int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
}

int RowOfId(HWND list, LPARAM id) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = id;
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

TEST(PageCopy, StringRowsEachEndWithALineBreakAndTheBlockWithItsNul) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-resources.dll"), &open));
    ChooseKind(open.page, 3);
    HWND list = GetDlgItem(open.page, 1007);
    ClearSelection(list);
    SelectRow(list, RowOfId(list, 2));
    SelectRow(list, RowOfId(list, 1));
    // Ctrl+C in the list copies as the button does.
    SendMessageA(list, WM_CHAR, 3, 0);
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);
    EXPECT_EQ(std::string("One\r\nTwo\r\n", 11),
              std::string(text.begin(), text.end()).substr(0, 11));
    CloseResourcePage(&open);

    ASSERT_TRUE(OpenResourcePage(FixturePath("pe-edges.dll"), &open));
    ChooseKind(open.page, 3);
    list = GetDlgItem(open.page, 1007);
    ClearSelection(list);
    SelectRow(list, RowOfId(list, 150));
    PressCopy(open.page);
    text = ClipboardBytes(CF_TEXT);
    ASSERT_GE(text.size(), 65538u);
    std::string expected;
    for (int i = 0; i < 65535; ++i)
        expected += static_cast<char>('a' + i % 26);
    EXPECT_TRUE(std::string(text.begin(), text.begin() + 65535) == expected);
    EXPECT_EQ(std::string("\r\n", 3), std::string(text.begin() + 65535, text.begin() + 65538));
}

TEST(PageCopy, ASelectionOfRowsNeverShownCopiesEveryRowInOrder) {
    const std::string path = FixturePath("strings-1000.dll");
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(path, &open));
    ChooseKind(open.page, 3);
    HWND list = GetDlgItem(open.page, 1007);
    ASSERT_EQ(1000, ListCount(open.page, 1007));
    ClearSelection(list);
    // From a row on screen to rows far below it, none of them drawn since.
    for (int row = 2; row < 990; ++row)
        SelectRow(list, row);
    PressCopy(open.page);
    std::vector<uint8_t> text = ClipboardBytes(CF_TEXT);

    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    std::string expected;
    char row[512];
    for (int id = 3; id <= 990; ++id) {
        ASSERT_GT(LoadStringA(module, static_cast<UINT>(id), row, sizeof(row)), 0) << id;
        expected += std::string(row) + "\r\n";
    }
    FreeLibrary(module);
    const std::string copied(text.begin(), std::find(text.begin(), text.end(), 0));
    EXPECT_EQ(expected.size(), copied.size());
    EXPECT_TRUE(copied == expected);
}

TEST(PageCopy, ClipsGiveTheirFirstFrameAndTheirWholeSound) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("avi-badfirst.dll"), &open));

    // 2: 40 x 30 at 24 bits, 4 frames of 1102 mono 8-bit samples.
    ASSERT_TRUE(ChooseByName(open.page, 4, MAKEINTRESOURCEA(2)));
    SeedClipboard();
    PressCopy(open.page);
    std::vector<uint8_t> dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(40, static_cast<int>(PeekU32(&dib[4])));
    EXPECT_EQ(30, static_cast<int>(PeekU32(&dib[8])));
    std::vector<uint8_t> wave = ClipboardBytes(CF_WAVE);
    ASSERT_GE(wave.size(), 44u);
    EXPECT_EQ(0, memcmp(wave.data(), "RIFF", 4));
    EXPECT_EQ(0, memcmp(&wave[8], "WAVEfmt ", 8));
    const uint32_t format = PeekU32(&wave[16]);
    ASSERT_EQ(18u, format);
    EXPECT_EQ(11025u, PeekU32(&wave[24]));
    EXPECT_EQ(0, memcmp(&wave[20 + format], "data", 4));
    const uint32_t data = PeekU32(&wave[24 + format]);
    EXPECT_EQ(4u * 1102, data);
    EXPECT_EQ(20 + format + data, PeekU32(&wave[4]));
    EXPECT_GE(wave.size(), 28 + format + data);

    // 3: video only, 32 x 24 at 32 bits; its first frame's left bar is red.
    ASSERT_TRUE(ChooseByName(open.page, 4, MAKEINTRESOURCEA(3)));
    SeedClipboard();
    PressCopy(open.page);
    dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(32, static_cast<int>(PeekU32(&dib[4])));
    ASSERT_GE(dib.size(), 40u + 32 * 24 * PeekU16(&dib[14]) / 8);
    EXPECT_EQ(0xFF0000u, PixelOf(dib, 1, 1));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_WAVE));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));

    // 1 is text, not a clip: an error, and the clipboard as it was.
    ASSERT_TRUE(ChooseByName(open.page, 4, MAKEINTRESOURCEA(1)));
    SeedClipboard();
    CapturedMessageBox box = CaptureMessageBox([&] { PressCopy(open.page); });
    EXPECT_EQ(1, box.count);
    ExpectSentinelIntact();
}

TEST(PageCopy, AClipWhoseFormatClaimsMoreThanItsFramesHoldCopiesNothing) {
    ResourcePage open;
    PageCloser closer{&open};
    ASSERT_TRUE(OpenResourcePage(FixturePath("ne-edges.exe"), &open));
    // Frames of 32 x 24 at 24 bits under formats of 2000 x 2000, of 32 x 32,
    // and of 8 bits without their palette.
    for (int clip : {1, 2, 3}) {
        SCOPED_TRACE(clip);
        ASSERT_TRUE(ChooseByName(open.page, 4, MAKEINTRESOURCEA(clip)));
        SeedClipboard();
        CapturedMessageBox box = CaptureMessageBox([&] { PressCopy(open.page); });
        EXPECT_EQ(1, box.count);
        ExpectSentinelIntact();
    }
}

}  // namespace
