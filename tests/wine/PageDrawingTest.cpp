// Measuring, drawing and sorting of the page's lists, through a dialog made
// from the library's own page template whose state is filled here record by
// record, and drawn into a bitmap whose pixels the tests read back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "catalogue/RecordStore.h"
#include "common/ModuleState.h"
#include "formats/executables/ResourceRecords.h"
#include "formats/images/DibLayout.h"
#include "module/ShellExtension.h"
#include "page/lists/PageDrawing.h"
#include "page/state/PageStores.h"
#include "page/state/TargetIdentity.h"
#include "support/ExtensionServer.h"
#include "support/TestPaths.h"

namespace {

INT_PTR CALLBACK DrawingProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            return TRUE;
        case WM_MEASUREITEM:
            MeasurePageItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_DRAWITEM:
            DrawPageItem(dialog, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_COMPAREITEM:
            return ComparePageItems(dialog, reinterpret_cast<COMPAREITEMSTRUCT*>(lParam));
        default:
            return FALSE;
    }
}

// A 32-bit top-down bitmap in a memory context; items are drawn into it.
struct Canvas {
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void* data = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &data, nullptr, 0);
        bits = static_cast<uint32_t*>(data);
        previous = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear(uint32_t value) {
        GdiFlush();
        std::fill(bits, bits + kWidth * kHeight, value);
    }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        uint32_t value = bits[y * kWidth + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    static const int kWidth = 120;
    static const int kHeight = 160;
    HDC dc;
    HBITMAP bitmap;
    uint32_t* bits;
    HGDIOBJ previous;
};

const uint32_t kMarker = 0x00ABCDEF;  // colour no drawing produces

// An icon or cursor image copy as the member list keeps it: header with the
// colour image's height, colour table, colour bits, mask bits.
HGLOBAL MemberCopy(int side, int bitCount, const std::vector<uint32_t>& table,
                   const std::vector<uint8_t>& colourBits, const std::vector<uint8_t>& maskBits) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = side;
    header.biHeight = side;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biClrUsed = static_cast<DWORD>(table.size());
    size_t size = sizeof(header) + table.size() * 4 + colourBits.size() + maskBits.size();
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(copy));
    memcpy(bytes, &header, sizeof(header));
    memcpy(bytes + sizeof(header), table.data(), table.size() * 4);
    memcpy(bytes + sizeof(header) + table.size() * 4, colourBits.data(), colourBits.size());
    memcpy(bytes + size - maskBits.size(), maskBits.data(), maskBits.size());
    GlobalUnlock(copy);
    return copy;
}

// A 16 x 16 image whose columns 0-7 are transparent (mask 1) and whose columns
// 8-15 show colour, one 32-bit pixel of colour bits written by put.
template <typename Put>
HGLOBAL HalfTransparentCopy(int bitCount, const std::vector<uint32_t>& table, Put put) {
    const int stride = ((bitCount * 16 + 31) / 32) * 4;
    std::vector<uint8_t> colour(stride * 16, 0);
    std::vector<uint8_t> mask(4 * 16, 0);
    for (int row = 0; row < 16; ++row) {
        mask[row * 4] = 0xFF;
        for (int x = 0; x < 16; ++x)
            put(colour.data() + row * stride, x);
    }
    return MemberCopy(16, bitCount, table, colour, mask);
}

bool LayoutReadable(HGLOBAL copy) {
    MemberImageLayout layout;
    bool readable = ReadMemberImageLayout(static_cast<const uint8_t*>(GlobalLock(copy)),
                                          GlobalSize(copy), false, &layout);
    GlobalUnlock(copy);
    return readable;
}

class PageDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        ASSERT_TRUE(LoadExtensionServer(&server));
        theModule.iconHeight = 1000;  // beyond what a list item can be
        theModule.cursorHeight = 32;
        theModule.textHeight = 12;
        theModule.legacyShellMode = false;
        theModule.themedPlatform = false;
        theModule.theme = ThemeApi{};

        object = new ShellExtension();
        object->AddRef();
        page = &object->pageState;
        page->iconStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 128));
        page->bitmapStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 320));
        page->cursorStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 128));
        page->aviStore = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 448));
        page->members = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, 10 * sizeof(GroupMember)));
        page->textBuffer = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 256));
        page->textBufferSize = 256;
        page->playingIndex = -1;
        page->currentKind = kKindIcon;

        description.dwSize = sizeof(description);
        description.lParam = PageParameterOf(object);
        parent = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 600, 500, nullptr, nullptr,
                               nullptr, nullptr);
        dialog = CreateDialogParamA(server.library, MAKEINTRESOURCEA(101), parent, DrawingProc,
                                    reinterpret_cast<LPARAM>(&description));
        ASSERT_NE(nullptr, dialog);
    }

    void TearDown() override {
        for (int kind : {kKindIcon, kKindBitmap}) {
            PictureStore store;
            PictureStoreOfPage(page, kind, &store);
            FreeListPictures(store, GetDlgItem(dialog, 1004 + kind));
        }
        FreeGroupMembers(MemberArrayOfPage(page));
        if (dialog != nullptr)
            DestroyWindow(dialog);
        DestroyWindow(parent);
        for (void* block :
             {static_cast<void*>(page->iconStore), static_cast<void*>(page->bitmapStore),
              static_cast<void*>(page->cursorStore), static_cast<void*>(page->aviStore),
              static_cast<void*>(page->members), static_cast<void*>(page->textBuffer)}) {
            GlobalFree(block);
        }
        object->Release();
        UnloadExtensionServer(&server);
    }

    // Appends a record for name to the kind's store and list; its item value.
    uintptr_t AddRecord(int kind, ResName name, uintptr_t picture = 0) {
        PictureStore store;
        PictureStoreOfPage(page, kind, &store);
        uint32_t size = 0;
        uint8_t* record = BeginRecord(store, TextBufferOfPage(page), name, &size);
        EXPECT_NE(nullptr, record);
        WritePictureField(record, picture);
        if (kind == kKindBitmap) {
            WriteRecordI32(record, kBitmapWidthOffset, 40);
            WriteRecordI32(record, kBitmapHeightOffset, 20);
            WriteRecordI32(record, kBitmapBitsPerPixelOffset, 8);
        }
        uintptr_t value = ItemValueOf(static_cast<uint32_t>(*store.used));
        EXPECT_EQ(0, AddRecordToList(store, GetDlgItem(dialog, 1004 + kind), size));
        return value;
    }

    // Appends a member and lists it; its item value.
    uintptr_t AddMember(uint16_t side, uint32_t bitsPerPixel, HGLOBAL copy = nullptr) {
        auto* members = reinterpret_cast<GroupMember*>(page->members);
        GroupMember& member = members[page->memberCount];
        member = GroupMember{};
        member.width = side;
        member.height = side;
        member.bitsPerPixel = bitsPerPixel;
        member.imageCopy = copy;
        // Counted first, listed after: the order the member list is filled in.
        uintptr_t value = ItemValueOf(static_cast<uint32_t>(page->memberCount++));
        SendMessageA(GetDlgItem(dialog, 1010), LB_ADDSTRING, 0, static_cast<LPARAM>(value));
        return value;
    }

    void Draw(int id, UINT type, uintptr_t value, bool selected = false, UINT itemId = 0) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = type;
        item.CtlID = static_cast<UINT>(id);
        item.itemID = itemId;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = selected ? ODS_SELECTED : 0;
        item.hwndItem = GetDlgItem(dialog, id);
        item.hDC = canvas.dc;
        item.rcItem = RECT{0, 0, Canvas::kWidth,
                           id == 1005   ? Canvas::kHeight
                           : id == 1002 ? 20
                                        : 40};
        // Each item starts unclipped, as a list box hands it over.
        SelectClipRgn(canvas.dc, nullptr);
        item.itemData = value;
        DrawPageItem(dialog, &item);
    }

    std::vector<uintptr_t> ListOrder(int id) {
        HWND list = GetDlgItem(dialog, id);
        std::vector<uintptr_t> values;
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i)
            values.push_back(static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, i, 0)));
        return values;
    }

    ExtensionServer server = {};
    ShellExtension* object = nullptr;
    PageState* page = nullptr;
    PROPSHEETPAGEA description = {};
    HWND parent = nullptr;
    HWND dialog = nullptr;
    Canvas canvas;
};

TEST_F(PageDrawing, ListsSortNumbersBeforeTextsAndMembersBySizeThenDepth) {
    uintptr_t n100 = AddRecord(kKindIcon, MakeIntResName(100));
    uintptr_t b = AddRecord(kKindIcon, "B");
    uintptr_t n2 = AddRecord(kKindIcon, MakeIntResName(2));
    uintptr_t a = AddRecord(kKindIcon, "A");
    uintptr_t n10 = AddRecord(kKindIcon, MakeIntResName(10));
    EXPECT_EQ((std::vector<uintptr_t>{n2, n10, n100, a, b}), ListOrder(1004));

    uintptr_t small4 = AddMember(16, 4);
    uintptr_t large8 = AddMember(32, 8);
    uintptr_t small8 = AddMember(16, 8);
    EXPECT_EQ((std::vector<uintptr_t>{small4, small8, large8}), ListOrder(1010));
}

TEST_F(PageDrawing, ItemHeightsFollowTheirPicturesAndStayWithinWhatListsTake) {
    HWND members = GetDlgItem(dialog, 1010);
    AddMember(32, 8);
    AddMember(300, 8);
    LRESULT cursorItem = SendMessageA(GetDlgItem(dialog, 1006), LB_GETITEMHEIGHT, 0, 0);
    LRESULT bitmapItem = SendMessageA(GetDlgItem(dialog, 1005), LB_GETITEMHEIGHT, 0, 0);
    const int t = static_cast<int>(cursorItem) - 32 - 12;  // the dialog font's height
    ASSERT_GT(t, 0);
    EXPECT_EQ(3 * t + 100, bitmapItem);
    EXPECT_EQ(255, SendMessageA(GetDlgItem(dialog, 1004), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(std::max(32, t) + 4, SendMessageA(members, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(255, SendMessageA(members, LB_GETITEMHEIGHT, 1, 0));
}

TEST_F(PageDrawing, TranslucentMemberBlendsOverTheBackgroundOfItsState) {
    // Left half alpha 0 in a colour that must not show, right half opaque.
    HGLOBAL copy = HalfTransparentCopy(32, {}, [](uint8_t* row, int x) {
        const uint8_t pixel[4] = {0x56, 0x34, 0x12, static_cast<uint8_t>(x < 8 ? 0 : 255)};
        const uint8_t hidden[4] = {0x00, 0x00, 0xFF, 0};
        memcpy(row + x * 4, x < 8 ? hidden : pixel, 4);
    });
    if (!LayoutReadable(copy)) {
        GlobalFree(copy);
        GTEST_SKIP() << "member image layouts are not readable in this build";
    }
    uintptr_t value = AddMember(16, 32, copy);
    for (bool selected : {false, true}) {
        canvas.Clear(kMarker);
        Draw(1010, ODT_LISTBOX, value, selected);
        COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        EXPECT_EQ(background, canvas.Pixel(8 + 3, 2 + 5)) << selected;
        EXPECT_EQ(RGB(0x12, 0x34, 0x56), canvas.Pixel(8 + 12, 2 + 5)) << selected;
    }
}

TEST_F(PageDrawing, MembersWithoutAlphaShowThroughTheirMask) {
    // 32-bit colour bits with no alpha at all: the mask decides.
    HGLOBAL flat = HalfTransparentCopy(32, {}, [](uint8_t* row, int x) {
        const uint8_t pixel[4] = {0x56, 0x34, 0x12, 0};
        if (x >= 8)
            memcpy(row + x * 4, pixel, 4);
    });
    // 4-bit, with a table of two entries: index 1 is the picture's colour.
    HGLOBAL indexed = HalfTransparentCopy(4, {0x000000, 0x00A0B0C0}, [](uint8_t* row, int x) {
        if (x >= 8)
            row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? 0x10 : 0x01);
    });
    if (!LayoutReadable(flat) || !LayoutReadable(indexed)) {
        GlobalFree(flat);
        GlobalFree(indexed);
        GTEST_SKIP() << "member image layouts are not readable in this build";
    }
    uintptr_t flatValue = AddMember(16, 32, flat);
    uintptr_t indexedValue = AddMember(16, 4, indexed);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const struct {
        uintptr_t value;
        COLORREF colour;
    } cases[] = {{flatValue, RGB(0x12, 0x34, 0x56)}, {indexedValue, RGB(0xA0, 0xB0, 0xC0)}};
    for (const auto& expected : cases) {
        canvas.Clear(kMarker);
        Draw(1010, ODT_LISTBOX, expected.value);
        EXPECT_EQ(background, canvas.Pixel(8 + 2, 2 + 9)) << expected.value;
        EXPECT_EQ(expected.colour, canvas.Pixel(8 + 13, 2 + 9)) << expected.value;
    }
}

TEST_F(PageDrawing, ATopDownBitmapsThumbnailStandsTheRightWayUp) {
    // Bitmap 3 of pe-edges.dll, 52 x 22 stored top-down: blue 34, red 0 at
    // the left, green 0 in the picture's top row and 255 in its bottom row.
    const std::string path = FixturePath("pe-edges.dll");
    page->target = NarrowTarget(path);
    // The page's lists are now this file's: the page takes it as unchanged.
    ReadTargetIdentity(page->target, &page->identity);
    const uintptr_t value = AddRecord(kKindBitmap, MakeIntResName(3));
    canvas.Clear(kMarker);
    Draw(1005, ODT_LISTBOX, value);
    const int left = 5 + (80 - 52) / 2;
    const int top = theModule.textHeight + 8 + (80 - 22) / 2;
    EXPECT_EQ(RGB(0, 0, 34), canvas.Pixel(left, top));
    EXPECT_EQ(RGB(0, 255, 34), canvas.Pixel(left, top + 21));
}

TEST_F(PageDrawing, ValuesNamingNoRecordDrawOnlyTheBackground) {
    AddRecord(kKindIcon, "A");
    AddMember(16, 4);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const uintptr_t strangers[][2] = {{1004, ItemValueOf(4000)},
                                      {1004, 0x7FFFFFFF},
                                      {1005, ItemValueOf(0)},  // the bitmap store is empty
                                      {1010, ItemValueOf(1)},
                                      {1010, 0xFFFFFFFF}};
    for (const auto& stranger : strangers) {
        canvas.Clear(kMarker);
        Draw(static_cast<int>(stranger[0]), ODT_LISTBOX, stranger[1]);
        for (int y = 0; y < 40; y += 3) {
            for (int x = 0; x < Canvas::kWidth; x += 7)
                ASSERT_EQ(background, canvas.Pixel(x, y)) << stranger[0] << " " << stranger[1];
        }
    }
    // An empty list's item -1 is not an item at all.
    canvas.Clear(kMarker);
    Draw(1004, ODT_LISTBOX, 0, false, static_cast<UINT>(-1));
    EXPECT_EQ(RGB(0xAB, 0xCD, 0xEF), canvas.Pixel(20, 20));
}

// The group box's border colour of the style (as the fake style below has it).
const COLORREF kStyleBorder = RGB(0x11, 0x88, 0x22);
BOOL WINAPI FakeIsAppThemed() {
    return TRUE;
}
HANDLE WINAPI FakeOpenThemeData(HWND, LPCWSTR className) {
    return lstrcmpW(className, L"Button") == 0 ? reinterpret_cast<HANDLE>(0x1234) : nullptr;
}
HRESULT WINAPI FakeCloseThemeData(HANDLE) {
    return S_OK;
}
HRESULT WINAPI FakeGetThemeColor(HANDLE, int part, int state, int property, COLORREF* colour) {
    if (part != 4 || state != 1 || property != 3822)
        return E_FAIL;
    *colour = kStyleBorder;
    return S_OK;
}

// Slots of the handle table that the next count GDI objects take. Freed
// slots are taken again last-freed first, so work that frees everything it
// made leaves the same slots on top; a leaked object takes one away.
std::set<uint16_t> NextGdiSlots(int count) {
    std::vector<HBRUSH> brushes;
    std::set<uint16_t> slots;
    for (int i = 0; i < count; ++i) {
        brushes.push_back(CreateSolidBrush(RGB(1, 2, 3)));
        slots.insert(LOWORD(reinterpret_cast<uintptr_t>(brushes.back())));
    }
    for (auto it = brushes.rbegin(); it != brushes.rend(); ++it)
        DeleteObject(*it);
    return slots;
}

TEST_F(PageDrawing, RepaintingLeaksNoGdiObject) {
    HGLOBAL translucent = HalfTransparentCopy(
        32, {}, [](uint8_t* row, int x) { row[x * 4 + 3] = static_cast<uint8_t>(x * 16); });
    HGLOBAL masked =
        HalfTransparentCopy(4, {0, 0xFFFFFF}, [](uint8_t* row, int x) { row[x / 2] = 0x11; });
    uintptr_t members[] = {AddMember(16, 32, translucent), AddMember(16, 4, masked)};
    uint32_t white[40 * 20];
    std::fill(std::begin(white), std::end(white), 0xFFFFFFu);
    HBITMAP thumbnail = CreateBitmap(40, 20, 1, 32, white);
    uintptr_t bitmapItem =
        AddRecord(kKindBitmap, "PICTURE", reinterpret_cast<uintptr_t>(thumbnail));
    uintptr_t iconItem =
        AddRecord(kKindIcon, MakeIntResName(7),
                  reinterpret_cast<uintptr_t>(CopyIcon(LoadIconA(nullptr, IDI_WARNING))));
    SetDlgItemTextA(dialog, 1002, "\"PICTURE\"");
    theModule.themedPlatform = true;
    theModule.theme.IsAppThemed = FakeIsAppThemed;
    theModule.theme.OpenThemeData = FakeOpenThemeData;
    theModule.theme.CloseThemeData = FakeCloseThemeData;
    theModule.theme.GetThemeColor = FakeGetThemeColor;

    auto paintAll = [&] {
        for (uintptr_t member : members)
            Draw(1010, ODT_LISTBOX, member);
        Draw(1005, ODT_LISTBOX, bitmapItem, true);
        Draw(1004, ODT_LISTBOX, iconItem);
        Draw(1002, ODT_STATIC, 0);
        MEASUREITEMSTRUCT measure = {ODT_LISTBOX, 1005, 0, 0, 0, 0};
        MeasurePageItem(dialog, &measure);
    };
    // Once over everything, so that the platform's own caches are filled.
    for (int round = 0; round < 3; ++round)
        paintAll();
    canvas.Clear(kMarker);
    Draw(1002, ODT_STATIC, 0);
    EXPECT_EQ(kStyleBorder, canvas.Pixel(0, 10)) << "themed frame";
    int named = 0;
    for (int x = 0; x < Canvas::kWidth; ++x) {
        for (int y = 0; y < 20; ++y)
            named += canvas.Pixel(x, y) == GetSysColor(COLOR_BTNTEXT);
    }
    EXPECT_GT(named, 20) << "the name in the buttons' text colour";
    // The thumbnail was excluded before the fill: it stays white. A 40 x 20
    // picture centred in the 80 x 80 box of a bitmap item.
    canvas.Clear(kMarker);
    Draw(1005, ODT_LISTBOX, bitmapItem, true);
    const int nameBottom = theModule.textHeight + 7;
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(25, nameBottom + 31));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), canvas.Pixel(24, nameBottom + 31));

    std::set<uint16_t> before = NextGdiSlots(300);
    for (int round = 0; round < 100; ++round)
        paintAll();
    std::set<uint16_t> after = NextGdiSlots(300);
    size_t lost = 0;
    for (uint16_t slot : before)
        lost += after.count(slot) == 0 ? 1 : 0;
    // A leak in any repaint loses a slot a round; the platform's own caches
    // may move one or two once.
    EXPECT_LT(lost, 10u);
}

}  // namespace
