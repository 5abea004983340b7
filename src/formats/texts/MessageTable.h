// Message tables (resource type 11) as stored in a target: a count of blocks,
// then per block its lowest and highest message ID and the offset of its
// entries (three u32), each entry a u16 length (header included), a u16 flag
// and the text, one entry per ID from the lowest to the highest, in a row.
// Nothing is copied: each row says where its text lies in the resource.
//
// What is listed, and what is not, of a table that is not sound:
// - a block whose count of IDs is reversed (highest below lowest), or whose
//   entries start inside the block headers or past the resource, lists
//   nothing;
// - a block's entries end at the first one that does not fit whole in the
//   resource, or whose length is below its own 4-byte header: the entries
//   before it are listed;
// - blocks that claim the same bytes (entries overlap) are all dropped whole:
//   neither reading can be told right from the other;
// - an entry whose flag is none of the three encodings lists nothing, the
//   entries after it still do (its length still says where the next lies);
// - a count of blocks past what the resource holds takes the headers that
//   fit whole; they then cover where the entries lie, so such a table lists
//   nothing unless some block's entries lie after all of them.
// An ID that two blocks of one table list is given once, from the block that
// comes first in the table, the one the platform's message lookup finds.
// Each table is read on its own: where two tables (two names, or two
// languages) list the same ID, each table's row stands with its own text, and
// a list that shows several tables together keeps them in table order among
// rows of the same ID (SortMessageRows).
#pragma once

#include <cstddef>
#include <cstdint>

enum MessageEncoding : uint32_t {
    kMessageAnsi = 0,     // the code page of the table's language
    kMessageUnicode = 1,  // UTF-16LE
    kMessageUtf8 = 2,
};

// The reader reads at most this many entries across all blocks (blocks that
// point at the same entries are read once each); a larger table is refused.
constexpr uint32_t kMaxMessageEntries = 1048576;

struct MessageRow {
    uint32_t id;
    uint32_t encoding;    // MessageEncoding
    uint32_t textOffset;  // in the resource
    uint32_t textBytes;   // up to the first NUL character (a whole unit for UTF-16)
    uint32_t table;       // as given to ReadMessageTable
    uint32_t block;       // the block's place in its table
};

// How many rows the reader needs room for with a resource of size bytes: one
// per 4 bytes. The reader also uses them as its working room.
uint32_t MessageRowsBound(size_t size);

// Fills rows with the table's sound rows, sorted by ID, and *count with how
// many. Returns 0; -1 when the resource is too short to hold its count of
// blocks; -2 when capacity is below MessageRowsBound(size) or the table has
// more than kMaxMessageEntries entries (then no rows). The resource is read up
// to 4 GB.
int ReadMessageTable(const uint8_t* data, size_t size, uint32_t table, MessageRow* rows,
                     uint32_t capacity, uint32_t* count);

// Orders rows of several tables by ID, then table, then block (a stable order
// for rows read by ReadMessageTable).
void SortMessageRows(MessageRow* rows, uint32_t count);

// The ID as the platform's tools show it: decimal, or "0x%08X" when it has
// bits above 0xFFFF (HRESULT and NTSTATUS values). Always terminated; at most
// 11 bytes with the terminator.
void MessageIdText(uint32_t id, char* buffer, size_t capacity);

// The text's length in bytes without the line break that ends every message
// (CR LF or LF, one of them), which a list does not draw.
uint32_t MessageTextWithoutBreak(const uint8_t* text, uint32_t bytes, uint32_t encoding);
