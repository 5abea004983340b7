// The records behind the entries of the picture lists and of the member list,
// and the arithmetic of their stores. Records are written at byte offsets into a
// store block; the picture handle is pointer-sized (4 bytes on i686, 8 on x64),
// every other field of a picture record is 32-bit little-endian, and the
// resource's name is kept in a name slot after the fixed part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/bytes/ResName.h"

// ---- Name slots ----

// Bytes that StoreResName writes for name: 4 for an identifier or the empty
// text, else the text with its NUL rounded up to a multiple of 4.
uint32_t ResNameSlotSize(ResName name);

// Writes name into a slot of ResNameSlotSize(name) bytes: an identifier as
// 0x0000 and its 16-bit value, the empty text as 0x00 0x01, any other text
// copied with its NUL. Bytes beyond those written are left as they were.
void StoreResName(uint8_t* slot, ResName name);

// The name a slot holds: an identifier as MakeIntResName, a text pointing into
// the slot, the empty text as a static "".
ResName ReadResName(const uint8_t* slot);

// ---- Picture records ----

const uint32_t kPictureFieldSize = sizeof(uintptr_t);

// Fixed parts; the name slot follows at this offset.
const uint32_t kIconFixedPart = kPictureFieldSize;
const uint32_t kCursorFixedPart = kPictureFieldSize;
const uint32_t kBitmapFixedPart = kPictureFieldSize + 12;
const uint32_t kAviFixedPart = kPictureFieldSize + 20;

// Field offsets inside a record (the picture is at 0).
const uint32_t kBitmapWidthOffset = kPictureFieldSize;
const uint32_t kBitmapHeightOffset = kPictureFieldSize + 4;
const uint32_t kBitmapBitsPerPixelOffset = kPictureFieldSize + 8;
const uint32_t kAviFrameWidthOffset = kPictureFieldSize;
const uint32_t kAviFrameHeightOffset = kPictureFieldSize + 4;
const uint32_t kAviLengthOffset = kPictureFieldSize + 8;  // hundredths of a second
const uint32_t kAviThumbWidthOffset = kPictureFieldSize + 12;
const uint32_t kAviThumbHeightOffset = kPictureFieldSize + 16;

// With 32-bit handles every field is 32-bit: the layouts other readers expect.
static_assert(sizeof(uintptr_t) != 4 || (kIconFixedPart == 4 && kBitmapFixedPart == 16 &&
                                         kCursorFixedPart == 4 && kAviFixedPart == 24),
              "i686 record layouts");
static_assert(kBitmapFixedPart % 4 == 0 && kAviFixedPart % 4 == 0,
              "records start on 4-byte boundaries");

// The picture field holds 0 while the entry's picture is not made yet (it is
// made when the entry is first drawn, and again after it was freed to make
// room), a handle once made, and this value when it cannot be made: such an
// entry is drawn without one and not tried again.
const uintptr_t kPictureUnavailable = ~uintptr_t{0};

inline bool PictureMade(uintptr_t field) {
    return field != 0 && field != kPictureUnavailable;
}

inline uintptr_t ReadPictureField(const uint8_t* record) {
    uintptr_t handle;
    memcpy(&handle, record, sizeof(handle));
    return handle;
}

inline void WritePictureField(uint8_t* record, uintptr_t handle) {
    memcpy(record, &handle, sizeof(handle));
}

inline int32_t ReadRecordI32(const uint8_t* record, uint32_t offset) {
    return static_cast<int32_t>(PeekU32(record + offset));
}

inline void WriteRecordI32(uint8_t* record, uint32_t offset, int32_t value) {
    PokeU32(record + offset, static_cast<uint32_t>(value));
}

// ---- Item values ----

inline uint32_t ItemValueOf(uint32_t offsetOrIndex) {
    return offsetOrIndex | 0x80000000u;
}

// Item data as a list hands it back (pointer-sized); only the low 31 bits count.
inline uint32_t ItemOffsetOf(uintptr_t itemValue) {
    return static_cast<uint32_t>(itemValue) & 0x7FFFFFFFu;
}

// ---- Store growth ----

const int32_t kIconStoreSlack = 128;
const int32_t kBitmapStoreSlack = 320;
const int32_t kCursorStoreSlack = 128;
const int32_t kAviStoreSlack = 448;

// The size a store block must be resized to before a record of recordSize
// bytes is appended at used: 0 when blockSize already holds it, else
// used + recordSize + slack; -1 when that size would not fit a signed 32-bit
// count.
int64_t StoreGrowthSize(uint64_t blockSize, int32_t used, uint32_t recordSize, int32_t slack);

// Bytes the text buffer must hold to show name in double quotes with a NUL:
// length + 3 for a text, 0 for an identifier.
int32_t TextNameBufferBytes(ResName name);

// True when a text buffer of currentSize bytes must grow to hold wanted bytes.
inline bool TextBufferMustGrow(int32_t currentSize, int32_t wanted) {
    return wanted > currentSize;
}

// ---- Group members ----

// One member image of an icon or cursor group (list 1010). The member array is
// an array of these; the item value is the index with the top bit set.
struct GroupMember {
    uint16_t imageId;
    void* imageCopy;  // movable global block with the image bytes, or null
    uint16_t width;
    uint16_t height;  // the colour image's, without the mask
    uint32_t bitsPerPixel;
    uint16_t hotSpotX;  // cursor members only
    uint16_t hotSpotY;
};

const int32_t kInitialMemberRoom = 10;

// Bytes of a member array with room for count records; -1 past a 32-bit count.
int64_t MemberArrayBytes(int32_t count);
