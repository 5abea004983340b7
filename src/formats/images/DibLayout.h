// Layouts of device-independent bitmaps inside resources: bitmap resources
// (packed DIBs), icon and cursor images (a DIB with colour and mask bits, or a
// PNG stream), and the thumbnail box. Every offset and size is checked against
// the resource's own size in 64-bit arithmetic before it is reported usable.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Shared arithmetic ----

// Colour-table entries a depth implies: 2, 16, 256, or none above 8 bits.
uint32_t ColourEntriesByDepth(uint32_t bitCount);

// Bytes of one row of width pixels at bitCount bits, padded to 4 bytes.
uint64_t PaddedRowBytes(uint64_t width, uint32_t bitCount);

// ---- Bitmap resources ----

struct BitmapLayout {
    // The values a bitmap entry shows: the header's own (0 when no header).
    int32_t width;
    int32_t height;  // signed: negative for a top-down bitmap
    uint16_t bitCount;
    // Set only when the bytes can be drawn as they stand: a core (12) or info
    // (40, 52, 56, 108, 124) header, width > 0, height != 0, a depth in
    // {1, 4, 8, 16, 24, 32}, a colour table and pixel bits inside the bytes, an
    // image size for compressed forms.
    bool drawable;
    uint32_t headerSize;
    uint32_t compression;
    uint32_t colorTableBytes;  // bytes between the header and the pixel bits
    uint32_t bitsOffset;       // headerSize + colorTableBytes
    uint32_t imageBytes;       // pixel bytes the bitmap needs from bitsOffset
};

// Reads a bitmap resource's header. Returns layout->drawable.
bool ReadBitmapLayout(const uint8_t* data, size_t size, BitmapLayout* layout);

// Where a bitmap resource's pixel bits start and where its own bytes end, for
// any resource, drawable or not. A drawable one: its layout's bits and image
// size. Otherwise the header is read as far as it goes: a core or information
// header's colour table (and a 40-byte header's masks) when they lie inside the
// bytes, uncompressed rows or a compressed image size when they fit, else
// everything after the header. Both values lie inside size; size must be
// below 4 GB.
struct BitmapExtent {
    uint32_t bitsOffset;
    uint32_t ownBytes;
};
BitmapExtent ReadBitmapExtent(const uint8_t* data, size_t size);

// ---- Icon and cursor images ----

struct MemberImageLayout {
    bool isPng;  // a PNG stream: drawn by the platform, never modified
    uint32_t width;
    uint32_t height;  // the colour image's, without the mask
    uint16_t bitCount;
    // DIB images only:
    uint32_t headerSize;
    uint32_t colorEntries;  // entries of 4 bytes after the header
    uint32_t colorBitsOffset;
    uint32_t colorBitsBytes;
    uint32_t maskOffset;
    uint32_t maskBytes;
    // Bytes the image occupies from its start (for a PNG: size as given).
    uint32_t imageBytes;
};

// True when the bytes start with the PNG signature.
bool IsPngImage(const uint8_t* data, size_t size);

// Reads an icon or cursor image (after any hot spot). heightHoldsMask: the
// header height counts colour image and mask, as in a resource; false for a
// member copy whose header height was already halved. False when the image is
// not usable: header size not 40 or more (and at most size), planes not 1,
// depth not in {1, 4, 8, 16, 24, 32}, zero width or height, colour table,
// colour bits or mask bits outside size; a PNG needs its IHDR chunk.
bool ReadMemberImageLayout(const uint8_t* data, size_t size, bool heightHoldsMask,
                           MemberImageLayout* layout);

// ---- Thumbnails ----

// The square box every thumbnail fits at 96 dpi, and the cell the page draws
// it in; it grows with the screen's density (EntryCells.h).
const int32_t kThumbnailSide = 80;

struct ThumbnailSize {
    int32_t width;
    int32_t height;
};

// Fits width x |height| into 80 x 80 with the proportions kept (each side at
// least 1); a picture that fits keeps its size. 0 x 0 when either side is 0 or
// the width is negative.
ThumbnailSize FitThumbnail(int64_t width, int64_t height);

// The same for a box of boxSide (0 x 0 when it is not positive).
ThumbnailSize FitToBox(int64_t width, int64_t height, int32_t boxSide);

// The thumbnail at a screen density: the picture's sides scaled by the
// density (ScreenDensity.h), fitted into boxSide, the box at that density. A
// picture that fits the 80 x 80 box is drawn at its size times the density.
ThumbnailSize FitThumbnailAt(int64_t width, int64_t height, int32_t boxSide, int64_t density);
