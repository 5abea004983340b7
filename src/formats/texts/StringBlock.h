// String table blocks as stored in a target: 16 counted strings in a row. A
// block's name is its number b (1-4096) and string i of it has the identifier
// (b - 1) * 16 + i, so the identifiers fill exactly the 16-bit range.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/bytes/ResName.h"

constexpr uint32_t kStringsPerBlock = 16;
constexpr uint32_t kLastStringBlock = 4096;

// Where one string of a block lies: its text's offset in the block and its
// stored length (bytes in a 16-bit image, UTF-16 units in a 32-bit one). A
// length of 0 is an absent string.
struct StoredString {
    size_t offset;
    uint32_t length;
};

// The identifier of the block's first string. False for any name that is not
// a block number 1-4096: larger numbers would wrap into the identifiers of the
// first blocks, and a text name gives no identifiers at all.
bool StringBlockFirstId(ResName name, uint16_t* firstId);

// Reads the block's counted strings in order, each length and text wholly
// inside size bytes. Returns how many strings were read; a length or text that
// does not fit ends the block there. Every slot from the returned count on is
// absent.
uint32_t ReadNeStringBlock(const uint8_t* data, size_t size,
                           StoredString strings[kStringsPerBlock]);  // u8 length, bytes
uint32_t ReadPeStringBlock(const uint8_t* data, size_t size,
                           StoredString strings[kStringsPerBlock]);  // u16 length, UTF-16

// How wide a UTF-16 string of a block draws, in half-width characters at a
// guess: 1 for a unit below 0x80, 2 for any other (a full-width character, or
// the two bytes it takes in a double-byte code page). It picks the few rows
// worth measuring when the list's column is sized without measuring them all.
uint32_t PeStringWidthGuess(const uint8_t* text, uint32_t length);
