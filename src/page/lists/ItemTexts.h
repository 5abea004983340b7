// The texts the picture and member lists show, the samples that size the
// member list's text columns, and a record's name as its list shows it. The
// drawing and what a screen reader is told both take them from here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "catalogue/RecordStore.h"
#include "formats/bytes/BoundedName.h"
#include "formats/executables/ResourceRecords.h"

// Colour depth of a bit count, compared as a signed value: 0 and 1 are
// monochrome.
const char* ColourDepthText(int32_t bitsPerPixel, bool legacyShellMode);

// The widest colour-depth text of the mode; the column's width is its extent
// plus 20 pixels.
const char* DepthColumnSample(bool legacyShellMode);
extern const char kSizeColumnSample[];     // widest "%ux%u" the column allows
extern const char kHotSpotColumnSample[];  // widest "(%u,%u)"; plus 20 pixels

// The name slot of a record that RecordOfItem gave for store, bounded by the
// bytes the store counts.
bool ReadRecordName(const PictureStore& store, const uint8_t* record, BoundedName* name);

// A text name in double quotes, an identifier as its number; cut to size.
void FormatRecordName(const BoundedName& name, char* buffer, size_t size);

// The same without the quotes: what a screen reader speaks as the name.
void FormatBareRecordName(const BoundedName& name, char* buffer, size_t size);

// "<width>x<height>" under pictures and in the member list, each side as a
// magnitude.
void WriteSizeText(char* buffer, size_t capacity, int32_t width, int32_t height);

// A clip's length from hundredths of a second: "4.56 秒".
void WriteClipLengthText(char* buffer, size_t capacity, uint32_t hundredths);

// The lines under a bitmap's or clip's picture box: the size when both sides
// are known, then the depth (a bitmap's, when it has one) or the length (a
// clip's, always). An empty line is not drawn.
struct PictureLines {
    char size[32];
    char second[32];
};
void ReadPictureLines(int32_t kind, const uint8_t* record, bool legacyShellMode,
                      PictureLines* lines);

// The member list's columns from right to left: depth, size and, for cursor
// members, the hot spot "(x,y)" (empty for icon members).
struct MemberColumns {
    const char* depth;
    char size[32];
    char hotSpot[32];
};
void ReadMemberColumns(const GroupMember& member, bool cursor, bool legacyShellMode,
                       MemberColumns* columns);
