// The string list's rows as a list of identifiers in row order: a row found by
// its identifier as a list with rows of its own finds it, the window of rows
// read together when one row's text is asked for, and a row's text cut or
// ended at a whole character of a double-byte code page.
#pragma once

#include <cstddef>
#include <cstdint>

// The row after start (from the first row when start is -1) whose identifier
// is id; with wrap, the search goes on from the first row up to start itself.
// -1 when there is none, and for a start past the last row without wrap.
int32_t FindRowOfId(const uint16_t* ids, int32_t count, int32_t start, uint32_t id, bool wrap);

// The row whose identifier is id in rows sorted by identifier, by halving;
// -1 when there is none.
int32_t FindRowOfSortedId(const uint16_t* ids, int32_t count, uint32_t id);

// The rows whose texts are read together with row's: a few before it, for a
// list read upwards, and the rest after it, at most windowRows in all.
struct RowWindow {
    int32_t first;
    int32_t count;
};
RowWindow RowWindowAround(int32_t row, int32_t rowCount, int32_t windowRows);

// The lead-byte ranges of a double-byte code page, as the platform reports
// them: pairs of first and last byte, ended by a pair of zeros.
struct LeadBytes {
    uint8_t ranges[12];
};

bool IsLeadByteOf(const LeadBytes& lead, uint8_t byte);

// How many of text's length bytes can be kept without splitting a character:
// at most maxBytes bytes and maxCharacters characters. A lead byte without a
// byte after it counts as one character.
size_t WholeCharacterPrefix(const char* text, size_t length, size_t maxBytes, size_t maxCharacters,
                            const LeadBytes& lead);

// True when text ends in a lead byte with nothing after it: half a character,
// which would take the byte that follows (a CR) as its second half.
bool EndsInLoneLeadByte(const char* text, size_t length, const LeadBytes& lead);
