#include "page/lists/MemberPicture.h"

#include <cstring>

#include "common/GdiOwners.h"
#include "common/PlainDib.h"
#include "formats/bytes/LittleEndian.h"
#include "formats/images/DibLayout.h"
#include "formats/images/MemberPixels.h"
#include "formats/images/ScreenDensity.h"

namespace {

// Where a member's picture goes: its pixels times the screen's density.
struct Placement {
    int x;
    int y;
    int width;
    int height;
};

// Nearest-neighbour stretching for as long as it lives, so that a scaled
// member keeps sharp pixels (at 150% some rows and columns are doubled).
class SharpStretch {
public:
    explicit SharpStretch(HDC dc) : dc_(dc), previous_(SetStretchBltMode(dc, COLORONCOLOR)) {}
    ~SharpStretch() {
        if (previous_ != 0)
            SetStretchBltMode(dc_, previous_);
    }
    SharpStretch(const SharpStretch&) = delete;
    SharpStretch& operator=(const SharpStretch&) = delete;

private:
    HDC dc_;
    int previous_;
};

// Larger pictures would not fit any item (items are at most 255 high) and
// keep every size below in int range.
const uint32_t kMaxSide = 0x7FFF;

// True when rows of bitCount pixels, height of them, lie at offset inside a
// copy of size bytes and inside the part the layout gives them.
bool RowsInside(size_t size, uint32_t offset, uint32_t partBytes, uint32_t bitCount,
                const MemberImageLayout& layout) {
    uint64_t bytes = PaddedRowBytes(layout.width, bitCount) * layout.height;
    return bytes <= partBytes && BytesInside(size, offset, partBytes);
}

void DrawPngMember(HDC dc, const Placement& place, const uint8_t* bytes, size_t size,
                   const MemberImageLayout& layout) {
    IconHandle icon(CreatePngMemberIcon(bytes, size, layout));
    if (icon.get() != nullptr)
        DrawIconEx(dc, place.x, place.y, icon.get(), place.width, place.height, 0, nullptr,
                   DI_NORMAL);
}

// A 32-bit image carries its own transparency: each pixel is weighed against
// the background by its alpha.
void DrawBlendedMember(HDC dc, const Placement& place, const uint8_t* bytes,
                       const MemberImageLayout& layout, COLORREF background) {
    size_t pixels = static_cast<size_t>(layout.width) * layout.height;
    HGLOBAL buffer = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, pixels * 4);
    if (buffer == nullptr)
        return;
    BlendOverBackground(bytes + layout.colorBitsOffset, pixels, background,
                        static_cast<uint8_t*>(buffer));
    BITMAPINFO info = {};
    info.bmiHeader = PlainDibHeader(layout.width, layout.height, 32);
    int w = static_cast<int>(layout.width);
    int h = static_cast<int>(layout.height);
    StretchDIBits(dc, place.x, place.y, place.width, place.height, 0, 0, w, h, buffer, &info,
                  DIB_RGB_COLORS, SRCCOPY);
    GlobalFree(buffer);
}

struct MaskInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

struct ColourInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// The image's colours as the platform draws them: the copy's own table (a
// short one as short as it is), always as uncompressed rows.
bool MakeColourInfo(const uint8_t* bytes, size_t size, const MemberImageLayout& layout,
                    ColourInfo* info) {
    *info = ColourInfo{};
    info->header = PlainDibHeader(layout.width, layout.height, layout.bitCount);
    if (layout.bitCount > 8)
        return true;
    uint32_t entries = layout.colorEntries;
    if (entries > (1u << layout.bitCount))
        entries = 1u << layout.bitCount;
    if (!BytesInside(size, layout.headerSize, size_t{entries} * 4))
        return false;
    memcpy(info->colours, bytes + layout.headerSize, size_t{entries} * 4);
    info->header.biClrUsed = entries;
    return true;
}

// Any other image: the mask paints opaque pixels black and transparent ones
// the background, and the colour bits inverted over it give the picture.
void DrawMaskedMember(HDC dc, const Placement& place, const uint8_t* bytes, size_t size,
                      const MemberImageLayout& layout, COLORREF background) {
    if (!RowsInside(size, layout.maskOffset, layout.maskBytes, 1, layout))
        return;
    ColourInfo colour;
    if (!MakeColourInfo(bytes, size, layout, &colour))
        return;
    MaskInfo mask = {};
    mask.header = PlainDibHeader(layout.width, layout.height, 1);
    mask.colours[1].rgbRed = GetRValue(background);
    mask.colours[1].rgbGreen = GetGValue(background);
    mask.colours[1].rgbBlue = GetBValue(background);

    int w = static_cast<int>(layout.width);
    int h = static_cast<int>(layout.height);
    MemoryDC memory(dc);
    if (memory.get() == nullptr)
        return;
    GdiObject bitmap(CreateCompatibleBitmap(dc, w, h));
    if (bitmap.get() == nullptr)
        return;
    DCSelection selection(memory.get(), bitmap.get());
    if (!selection.selected())
        return;
    if (!StretchSucceeded(
            StretchDIBits(memory.get(), 0, 0, w, h, 0, 0, w, h, bytes + layout.maskOffset,
                          reinterpret_cast<const BITMAPINFO*>(&mask), DIB_RGB_COLORS, SRCCOPY))) {
        return;
    }
    if (!StretchSucceeded(StretchDIBits(
            memory.get(), 0, 0, w, h, 0, 0, w, h, bytes + layout.colorBitsOffset,
            reinterpret_cast<const BITMAPINFO*>(&colour), DIB_RGB_COLORS, SRCINVERT))) {
        return;
    }
    if (place.width == w && place.height == h)
        BitBlt(dc, place.x, place.y, w, h, memory.get(), 0, 0, SRCCOPY);
    else
        StretchBlt(dc, place.x, place.y, place.width, place.height, memory.get(), 0, 0, w, h,
                   SRCCOPY);
}

}  // namespace

HICON CreatePngMemberIcon(const uint8_t* bytes, size_t size, const MemberImageLayout& layout) {
    if (!layout.isPng || layout.width == 0 || layout.height == 0 || layout.width > kMaxSide ||
        layout.height > kMaxSide) {
        return nullptr;
    }
    DWORD imageBytes = static_cast<DWORD>(layout.imageBytes < size ? layout.imageBytes : size);
    return CreateIconFromResourceEx(const_cast<PBYTE>(bytes), imageBytes, TRUE, 0x00030000,
                                    static_cast<int>(layout.width), static_cast<int>(layout.height),
                                    LR_DEFAULTCOLOR);
}

void DrawMemberPicture(HDC dc, int x, int y, const GroupMember& member, int density,
                       COLORREF background) {
    GlobalLockScope lock(member.imageCopy);
    const uint8_t* bytes = static_cast<const uint8_t*>(lock.get());
    if (bytes == nullptr)
        return;
    size_t size = lock.size();
    MemberImageLayout layout;
    if (!ReadMemberImageLayout(bytes, size, false, &layout))
        return;
    if (layout.width == 0 || layout.height == 0 || layout.width > kMaxSide ||
        layout.height > kMaxSide) {
        return;
    }
    const Placement place = {x, y, ScaleToDensity(layout.width, density),
                             ScaleToDensity(layout.height, density)};
    SharpStretch sharp(dc);
    if (layout.isPng) {
        DrawPngMember(dc, place, bytes, size, layout);
        return;
    }
    if (!RowsInside(size, layout.colorBitsOffset, layout.colorBitsBytes, layout.bitCount, layout))
        return;
    size_t pixels = static_cast<size_t>(layout.width) * layout.height;
    if (layout.bitCount == 32 && !AlphaAllZero(bytes + layout.colorBitsOffset, pixels)) {
        DrawBlendedMember(dc, place, bytes, layout, background);
        return;
    }
    DrawMaskedMember(dc, place, bytes, size, layout, background);
}
