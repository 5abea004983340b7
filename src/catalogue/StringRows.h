// The rows of the string list as the page keeps them while the list holds
// none of its own: the identifiers in row order, read from the target's string
// tables without a single text; each row's text is read from the target when
// the row is drawn or copied.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"

// The page's identifier block (GMEM_FIXED, uint16_t per row) and its rows.
struct StringRowArray {
    uint8_t** block;
    int32_t* count;
};

// The rows the width of the text column is taken from: the few that the
// width guess puts widest, of all rows.
constexpr int kWidestRowsMeasured = 8;

struct WidestRows {
    uint16_t ids[kWidestRowsMeasured];
    uint32_t guesses[kWidestRowsMeasured];
    int32_t count;
};

// Fills rows with one identifier per non-empty string of blocks 1-4096,
// sorted, and widest with the rows to measure. 0, or -1 when memory ran out
// (the thread's last error set; rows then holds none).
int ReadStringRows(const ResourceSource& source, const StringRowArray& rows, WidestRows* widest);

// The text of the string id from the open source, in text's buffer (grown to
// hold it whole) with its length in bytes; null when the target has no such
// string or memory ran out. A 32-bit file's text is converted to the ANSI code
// page as the platform loads it, a 16-bit file's bytes are its own.
const char* ReadStringRowText(const ResourceSource& source, uint16_t id, const TextBuffer& text,
                              int32_t* length);

// Bytes of the ANSI code page per UTF-16 unit at worst: 2 in a double-byte
// code page, more where the system code page is UTF-8.
int32_t AnsiBytesPerUnit();

// The identifier of row, or false when rows has no such row.
inline bool StringRowId(const uint8_t* block, int32_t count, int64_t row, uint16_t* id) {
    if (block == nullptr || row < 0 || row >= count)
        return false;
    *id = reinterpret_cast<const uint16_t*>(block)[row];
    return true;
}
