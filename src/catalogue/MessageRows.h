// The rows of the message list: one per message of the target's message
// tables, sorted by ID, read without a single text. Each row's text is read
// from the target when the row is drawn, asked for, copied or saved, found
// again by its table's name and language.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"
#include "formats/texts/MessageTable.h"

// Bytes of a table's text name kept, terminator included; a table with a
// longer name is not listed.
constexpr int kMessageTableNameBytes = 64;
// Tables read past this many are not listed, nor a table whose rows would
// take the list past kMaxMessageRows, nor any once the tables read come to
// kMaxMessageTableBytes: a hostile directory can name thousands of tables that
// are all one large table, and listing each would hold the shell for minutes.
constexpr int32_t kMaxMessageTables = 4096;
constexpr int32_t kMaxMessageRows = 1048576;
constexpr uint32_t kMaxMessageTableBytes = 64u << 20;

// One message table as the page found it: what finds it again, and the code
// page its ANSI entries are written in (that of its language).
struct MessageTableRef {
    uint16_t id;  // the name's number, when text is empty
    uint16_t language;
    uint32_t codePage;
    char text[kMessageTableNameBytes];
};

// The page's blocks: MessageRow records and MessageTableRef records
// (GMEM_FIXED each, null when empty).
struct MessageRowArray {
    uint8_t** rows;
    int32_t* rowCount;
    uint8_t** tables;
    int32_t* tableCount;
};

// Reads every message table of a PE target, each name in the language the
// platform picks for it, into rows sorted by ID (rows of two tables with the
// same ID stay apart, in table order). What the arrays held is freed first. A
// 16-bit target has none. 0, or -1 when memory ran out (the arrays are then
// empty, the thread's last error set).
int ReadMessageRows(const ResourceSource& source, const MessageRowArray& rows);

// Whether the target holds any message table, found without reading one: what
// lists the kind before its rows are read. A 16-bit target holds none.
bool HoldsMessageTables(const ResourceSource& source);

void FreeMessageRows(const MessageRowArray& rows);

// The row's record, or null when there is no such row.
const MessageRow* MessageRowAt(const MessageRowArray& rows, int32_t row);

// The text of row as UTF-16 in text's buffer (grown to hold it), in *units;
// without the line break that ends it unless withBreak. Null when the table or
// the row's bytes are not in the target as it is now, or memory ran out.
const wchar_t* ReadMessageRowText(const ResourceSource& source, const MessageRowArray& rows,
                                  int32_t row, bool withBreak, const TextBuffer& text,
                                  int32_t* units);
