// Header arithmetic for bitmaps, icon and cursor images. Sizes are computed in
// 64 bits from fields of at most 32 bits, and products that could still pass
// 64 bits (a row of 2^33 bytes times 2^31 rows) are compared by division, so no
// hostile header can make a layout claim bytes that are not there.
#include "formats/images/DibLayout.h"

#include "formats/bytes/LittleEndian.h"
#include "formats/images/ScreenDensity.h"

namespace {

const uint32_t kCoreHeaderBytes = 12;
const uint32_t kInfoHeaderBytes = 40;
const uint32_t kMaskEntries = 3;  // the 40-byte header's BI_BITFIELDS masks
const uint32_t kBiRgb = 0;
const uint32_t kBiRle8 = 1;
const uint32_t kBiRle4 = 2;
const uint32_t kBiBitfields = 3;
// Records keep 16-bit sides.
const uint32_t kMaxMemberSide = 65535;

const uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
const size_t kPngIhdrType = 12;
const size_t kPngWidth = 16;
const size_t kPngHeight = 20;
const size_t kPngBitDepth = 24;
const size_t kPngColourType = 25;

bool IsDibDepth(uint32_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

bool IsInfoHeaderSize(uint32_t headerSize) {
    return headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
           headerSize == 124;
}

// True when rows of rowBytes each fit into room bytes; the product is never
// formed, so it cannot wrap.
bool RowsFit(uint64_t rowBytes, uint64_t rows, uint64_t room) {
    return rowBytes == 0 || rows <= room / rowBytes;
}

uint32_t BigEndianU32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// floor(part * side / whole) for 0 <= part <= whole, whole > 0, by repeated
// addition: exact for any 64-bit side, where the product could wrap.
int32_t ScaleToThumbnail(uint64_t part, uint64_t whole, int32_t side) {
    int32_t quotient = 0;
    uint64_t remainder = 0;
    for (int32_t i = 0; i < side; ++i) {
        // remainder < whole and part <= whole: the sum stays below 2^64.
        remainder += part;
        if (remainder >= whole) {
            remainder -= whole;
            ++quotient;
        }
    }
    return quotient;
}

bool ReadPngLayout(const uint8_t* data, size_t size, MemberImageLayout* layout) {
    if (size < kPngColourType + 1 || size > UINT32_MAX)
        return false;
    if (data[kPngIhdrType] != 'I' || data[kPngIhdrType + 1] != 'H' ||
        data[kPngIhdrType + 2] != 'D' || data[kPngIhdrType + 3] != 'R') {
        return false;
    }
    uint32_t width = BigEndianU32(data + kPngWidth);
    uint32_t height = BigEndianU32(data + kPngHeight);
    if (width == 0 || height == 0 || width > kMaxMemberSide || height > kMaxMemberSide)
        return false;
    uint32_t channels = 0;
    switch (data[kPngColourType]) {
        case 0:
        case 3:
            channels = 1;
            break;
        case 2:
            channels = 3;
            break;
        case 4:
            channels = 2;
            break;
        case 6:
            channels = 4;
            break;
        default:
            return false;
    }
    layout->isPng = true;
    layout->width = width;
    layout->height = height;
    layout->bitCount = static_cast<uint16_t>(data[kPngBitDepth] * channels);
    layout->imageBytes = static_cast<uint32_t>(size);
    return true;
}

// Pixel bytes of a bitmap resource from bitsOffset, or false when the form
// cannot be drawn as it stands.
bool BitmapImageBytes(const BitmapLayout& layout, uint32_t imageSizeField, uint64_t* bytes) {
    uint64_t rows = layout.height < 0 ? 0 - int64_t{layout.height} : int64_t{layout.height};
    uint64_t rowBytes = PaddedRowBytes(static_cast<uint64_t>(layout.width), layout.bitCount);
    bool uncompressed =
        layout.compression == kBiRgb ||
        (layout.compression == kBiBitfields && (layout.bitCount == 16 || layout.bitCount == 32));
    if (uncompressed) {
        if (!RowsFit(rowBytes, rows, UINT64_MAX))
            return false;
        *bytes = rowBytes * rows;
        return true;
    }
    // Run-length bits are decoded bottom-up, each form at its own depth, and
    // only as far as the image size says.
    bool rle = (layout.compression == kBiRle8 && layout.bitCount == 8) ||
               (layout.compression == kBiRle4 && layout.bitCount == 4);
    if (!rle || layout.height < 0 || imageSizeField == 0)
        return false;
    *bytes = imageSizeField;
    return true;
}

}  // namespace

uint32_t ColourEntriesByDepth(uint32_t bitCount) {
    if (bitCount <= 1)
        return 2;
    if (bitCount <= 4)
        return 16;
    if (bitCount <= 8)
        return 256;
    return 0;
}

uint64_t PaddedRowBytes(uint64_t width, uint32_t bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

bool ReadBitmapLayout(const uint8_t* data, size_t size, BitmapLayout* layout) {
    *layout = BitmapLayout{};
    uint32_t headerSize = 0;
    if (!ReadU32(data, size, 0, &headerSize) || headerSize > size || headerSize == 0)
        return false;

    uint64_t colorTableBytes = 0;
    uint32_t imageSizeField = 0;
    bool knownHeader = false;
    if (headerSize == kCoreHeaderBytes) {
        layout->width = PeekU16(data + 4);
        layout->height = PeekU16(data + 6);
        layout->bitCount = PeekU16(data + 10);
        colorTableBytes = uint64_t{ColourEntriesByDepth(layout->bitCount)} * 3;
        knownHeader = true;
    } else {
        // Any other size is an information header, whose values show once its
        // first 40 bytes are there; only the sizes below can be drawn.
        if (size < kInfoHeaderBytes)
            return false;
        layout->width = static_cast<int32_t>(PeekU32(data + 4));
        layout->height = static_cast<int32_t>(PeekU32(data + 8));
        layout->bitCount = PeekU16(data + 14);
        layout->compression = PeekU32(data + 16);
        imageSizeField = PeekU32(data + 20);
        uint32_t colorsUsed = PeekU32(data + 32);
        uint64_t entries = ColourEntriesByDepth(layout->bitCount);
        if (colorsUsed != 0) {
            entries = colorsUsed;
            if (layout->bitCount <= 8 && entries > (uint64_t{1} << layout->bitCount))
                entries = uint64_t{1} << layout->bitCount;
        }
        // The longer headers carry their masks inside themselves.
        if (headerSize == kInfoHeaderBytes && layout->compression == kBiBitfields)
            entries += kMaskEntries;
        colorTableBytes = entries * 4;
        knownHeader = IsInfoHeaderSize(headerSize);
    }
    layout->headerSize = headerSize;

    if (!knownHeader || layout->width <= 0 || layout->height == 0 ||
        !IsDibDepth(layout->bitCount)) {
        return false;
    }
    uint32_t compression = layout->compression;
    if (compression != kBiRgb && compression != kBiRle8 && compression != kBiRle4 &&
        compression != kBiBitfields) {
        return false;
    }
    uint64_t bitsOffset = uint64_t{headerSize} + colorTableBytes;
    uint64_t imageBytes = 0;
    if (!BitmapImageBytes(*layout, imageSizeField, &imageBytes))
        return false;
    if (bitsOffset > size || imageBytes > size - bitsOffset || bitsOffset + imageBytes > UINT32_MAX)
        return false;
    layout->colorTableBytes = static_cast<uint32_t>(colorTableBytes);
    layout->bitsOffset = static_cast<uint32_t>(bitsOffset);
    layout->imageBytes = static_cast<uint32_t>(imageBytes);
    layout->drawable = true;
    return true;
}

namespace {

const uint32_t kBiAlphaBitfields = 6;

// Colour-table entries of a header that need not be drawable: none at depth 0
// (an embedded JPEG or PNG stream), a stated count capped by the depth.
uint64_t LooseTableEntries(uint32_t bitCount, uint32_t colorsUsed) {
    uint64_t entries = bitCount == 0 ? 0 : ColourEntriesByDepth(bitCount);
    if (colorsUsed != 0) {
        entries = colorsUsed;
        if (bitCount <= 8 && entries > (uint64_t{1} << bitCount))
            entries = uint64_t{1} << bitCount;
    }
    return entries;
}

}  // namespace

BitmapExtent ReadBitmapExtent(const uint8_t* data, size_t size) {
    BitmapLayout layout;
    if (ReadBitmapLayout(data, size, &layout))
        return BitmapExtent{layout.bitsOffset, layout.bitsOffset + layout.imageBytes};
    const uint32_t whole = static_cast<uint32_t>(size);
    uint32_t headerSize = 0;
    if (!ReadU32(data, size, 0, &headerSize) || headerSize == 0 || headerSize > size)
        return BitmapExtent{whole, whole};
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t imageSizeField = 0;
    uint64_t tableBytes = 0;
    if (headerSize == kCoreHeaderBytes) {
        width = PeekU16(data + 4);
        height = PeekU16(data + 6);
        bitCount = PeekU16(data + 10);
        tableBytes = LooseTableEntries(bitCount, 0) * 3;
    } else if (headerSize >= kInfoHeaderBytes) {
        width = static_cast<int32_t>(PeekU32(data + 4));
        height = static_cast<int32_t>(PeekU32(data + 8));
        bitCount = PeekU16(data + 14);
        compression = PeekU32(data + 16);
        imageSizeField = PeekU32(data + 20);
        uint64_t entries = LooseTableEntries(bitCount, PeekU32(data + 32));
        if (headerSize == kInfoHeaderBytes && compression == kBiBitfields)
            entries += kMaskEntries;
        if (headerSize == kInfoHeaderBytes && compression == kBiAlphaBitfields)
            entries += kMaskEntries + 1;
        tableBytes = entries * 4;
    } else {
        return BitmapExtent{headerSize, whole};
    }
    uint64_t bitsOffset = headerSize;
    if (tableBytes <= size - bitsOffset)
        bitsOffset += tableBytes;
    const uint64_t room = size - bitsOffset;
    uint64_t pixelBytes = room;
    if (compression == kBiRgb && width > 0 && height != 0 && bitCount != 0 && bitCount <= 32) {
        uint64_t rows = height < 0 ? static_cast<uint64_t>(-height) : static_cast<uint64_t>(height);
        uint64_t rowBytes = PaddedRowBytes(static_cast<uint64_t>(width), bitCount);
        if (RowsFit(rowBytes, rows, room))
            pixelBytes = rowBytes * rows;
    } else if (compression != kBiRgb && imageSizeField != 0 && imageSizeField <= room) {
        pixelBytes = imageSizeField;
    }
    return BitmapExtent{static_cast<uint32_t>(bitsOffset),
                        static_cast<uint32_t>(bitsOffset + pixelBytes)};
}

bool IsPngImage(const uint8_t* data, size_t size) {
    if (size < sizeof(kPngSignature))
        return false;
    for (size_t i = 0; i < sizeof(kPngSignature); ++i) {
        if (data[i] != kPngSignature[i])
            return false;
    }
    return true;
}

bool ReadMemberImageLayout(const uint8_t* data, size_t size, bool heightHoldsMask,
                           MemberImageLayout* layout) {
    *layout = MemberImageLayout{};
    if (IsPngImage(data, size)) {
        if (ReadPngLayout(data, size, layout))
            return true;
        *layout = MemberImageLayout{};
        return false;
    }
    uint32_t headerSize = 0;
    if (!ReadU32(data, size, 0, &headerSize) || headerSize < kInfoHeaderBytes ||
        headerSize > size) {
        return false;
    }
    int32_t width = static_cast<int32_t>(PeekU32(data + 4));
    int32_t headerHeight = static_cast<int32_t>(PeekU32(data + 8));
    uint16_t planes = PeekU16(data + 12);
    uint16_t bitCount = PeekU16(data + 14);
    uint32_t colorsUsed = PeekU32(data + 32);
    if (width <= 0 || headerHeight <= 0 || planes != 1 || !IsDibDepth(bitCount))
        return false;
    int32_t height = heightHoldsMask ? headerHeight / 2 : headerHeight;
    if (height <= 0 || static_cast<uint32_t>(width) > kMaxMemberSide ||
        static_cast<uint32_t>(height) > kMaxMemberSide) {
        return false;
    }
    // A short colour table is legal: the bits follow the entries it has.
    uint32_t entries = 0;
    if (bitCount <= 8) {
        uint32_t full = uint32_t{1} << bitCount;
        entries = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
    }
    // Sides of at most 65535 keep every sum far below 2^64.
    uint64_t colorBitsOffset = uint64_t{headerSize} + uint64_t{entries} * 4;
    uint64_t colorBitsBytes = PaddedRowBytes(static_cast<uint64_t>(width), bitCount) * height;
    uint64_t maskOffset = colorBitsOffset + colorBitsBytes;
    uint64_t maskBytes = PaddedRowBytes(static_cast<uint64_t>(width), 1) * height;
    uint64_t imageBytes = maskOffset + maskBytes;
    if (imageBytes > size)
        return false;
    layout->width = static_cast<uint32_t>(width);
    layout->height = static_cast<uint32_t>(height);
    layout->bitCount = bitCount;
    layout->headerSize = headerSize;
    layout->colorEntries = entries;
    layout->colorBitsOffset = static_cast<uint32_t>(colorBitsOffset);
    layout->colorBitsBytes = static_cast<uint32_t>(colorBitsBytes);
    layout->maskOffset = static_cast<uint32_t>(maskOffset);
    layout->maskBytes = static_cast<uint32_t>(maskBytes);
    layout->imageBytes = static_cast<uint32_t>(imageBytes);
    return true;
}

ThumbnailSize FitToBox(int64_t width, int64_t height, int32_t boxSide) {
    if (width <= 0 || height == 0 || boxSide <= 0)
        return ThumbnailSize{0, 0};
    uint64_t w = static_cast<uint64_t>(width);
    // The magnitude of a top-down height, INT64_MIN included.
    uint64_t h = height < 0 ? 0 - static_cast<uint64_t>(height) : static_cast<uint64_t>(height);
    const uint64_t side = static_cast<uint64_t>(boxSide);
    if (w > h && w > side) {
        int32_t th = ScaleToThumbnail(h, w, boxSide);
        return ThumbnailSize{boxSide, th < 1 ? 1 : th};
    }
    if (w <= h && h > side) {
        int32_t tw = ScaleToThumbnail(w, h, boxSide);
        return ThumbnailSize{tw < 1 ? 1 : tw, boxSide};
    }
    // Both sides are at most the box's here.
    return ThumbnailSize{static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

ThumbnailSize FitThumbnail(int64_t width, int64_t height) {
    return FitToBox(width, height, kThumbnailSide);
}

ThumbnailSize FitThumbnailAt(int64_t width, int64_t height, int32_t boxSide, int64_t density) {
    if (width <= 0 || height == 0)
        return ThumbnailSize{0, 0};
    return FitToBox(ScaleToDensity(width, density), ScaleToDensity(height, density), boxSide);
}
