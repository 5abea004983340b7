// The texts the picture and member lists show, the samples that size the
// member list's text columns, and a record's name as its list shows it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "catalogue/RecordStore.h"
#include "formats/BoundedName.h"

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

// "<width>x<height>" under pictures and in the member list, each side as a
// magnitude.
void WriteSizeText(char* buffer, size_t capacity, int32_t width, int32_t height);

// A clip's length from hundredths of a second: "4.56 秒".
void WriteClipLengthText(char* buffer, size_t capacity, uint32_t hundredths);
