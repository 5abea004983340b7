// The files a save writes from a resource: an icon or cursor group (or one of
// its members) as an .ico or .cur file, a bitmap as a .bmp file, and string
// rows as text. Every image and text is written byte for byte as the target
// stores it; only the headers around them are made here. Each file is planned
// first, with every input checked, and then written into a block of exactly
// the planned size. No file passes 2 GB (0x7FFFFFFF bytes), so that readers
// that take the 32-bit sizes and offsets as signed still read them. A clip is
// saved as its own bytes.
//
// This header stays free of the group directory's types, so that the tests can
// include the fixture writers beside it.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Icon and cursor files ----

// A member's image as the caller found it: the RT_ICON or RT_CURSOR data. A
// null data pointer is a member that could not be read; it is left out.
struct MemberBytes {
    const uint8_t* data;
    size_t size;
};

// An RT_GROUP_ICON or RT_GROUP_CURSOR directory and where it comes from.
struct SavedIconGroup {
    const uint8_t* directory;
    size_t directorySize;
    bool cursor;  // cursor images lead with their hot spot (x, y: 16 bits each)
    // A 16-bit file: its table stores lengths in alignment units, so a
    // member's bytes may run past its image.
    bool paddedLengths;
};

// Which entries go into the file and how long it is.
struct IconFilePlan {
    uint32_t firstEntry;  // members[k] is the image of entry firstEntry + k
    uint32_t entryCount;
    uint32_t written;  // members that can be read: the file's entries
    uint32_t fileBytes;
};

// The whole group: members holds memberCount images, one per directory entry
// in order; entries past either count are left out. The file takes each entry
// that has an image, in the group's order: for icons the entry's width,
// height, colour count, planes and bit count, for cursors the image's own
// width and height without the mask (the directory's width and half its
// height where the image cannot be read; 256 and more written as 0), colour
// count 0 and the hot spot as planes and bit count. Each image's size is what
// is written (the cursor's without its hot spot; with padded lengths, no more
// than its header implies), never the directory's word. False when no member
// can be read (an empty image, a cursor image of 4 bytes or fewer) or when the
// file would pass 2 GB.
bool PlanGroupFile(const SavedIconGroup& group, const MemberBytes* members, uint32_t memberCount,
                   IconFilePlan* plan);

// A file of one member, entry of the group, whose image is *member. False,
// besides the refusals above, when the group holds no such entry.
bool PlanMemberFile(const SavedIconGroup& group, uint32_t entry, const MemberBytes* member,
                    IconFilePlan* plan);

// Writes plan.fileBytes bytes from the group and members that were planned
// (for one member, the same single image).
void WriteIconFile(const SavedIconGroup& group, const MemberBytes* members,
                   const IconFilePlan& plan, uint8_t* out);

// ---- Bitmap files ----

const uint32_t kBmpFileHeaderBytes = 14;

struct BmpFilePlan {
    uint32_t bitsOffset;     // in the file: the header, the table and any masks before it
    uint32_t resourceBytes;  // of the resource, from its start
    uint32_t fileBytes;      // kBmpFileHeaderBytes + resourceBytes
};

// Any bitmap resource is saved, drawable or not: a file header over its bytes,
// pointing where its header places the bits (ReadBitmapExtent). With padded
// lengths only the bitmap's own bytes are taken. False when there are no
// bytes or when the file would pass 2 GB.
bool PlanBmpFile(const uint8_t* data, size_t size, bool paddedLength, BmpFilePlan* plan);

// Writes the file header and then the planned bytes of the resource unchanged.
void WriteBmpFile(const uint8_t* data, const BmpFilePlan& plan, uint8_t* out);

// ---- Clips ----

// Bytes of a clip resource that a file takes: with a padded length, the RIFF
// form's own 8 + size bytes where they lie inside size; otherwise (and for
// bytes that are no RIFF form) all size bytes. size must be below 4 GB.
uint32_t ClipFileBytes(const uint8_t* data, size_t size, bool paddedLength);

// ---- String tables as text ----

// One row: the identifier in decimal, a tab, the text, CR LF. A 32-bit file's
// text is its stored UTF-16LE (2 * length bytes) and the file UTF-16LE after
// the byte-order mark; a 16-bit file's text is its stored bytes (length) and
// the row's other characters single bytes, without a mark.
struct StringRow {
    uint16_t id;
    const uint8_t* text;
    uint32_t length;  // UTF-16 units, or bytes in a 16-bit file
};

// Bytes in front of the first row: 2 (the mark) or 0.
uint32_t StringTextStartBytes(bool neFile);

uint64_t StringRowBytes(bool neFile, const StringRow& row);

// Adds a row to a size planned from StringTextStartBytes. False, with
// *fileBytes unchanged, when the file would pass 2 GB.
bool PlanStringRow(bool neFile, const StringRow& row, uint32_t* fileBytes);

// Writes the mark (if any) at the start of file; returns the offset of the
// first row.
size_t WriteStringTextStart(bool neFile, uint8_t* file);

// Writes a planned row at file + offset; returns the offset after it.
size_t WriteStringRow(bool neFile, const StringRow& row, uint8_t* file, size_t offset);
