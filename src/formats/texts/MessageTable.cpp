// The message table reader. It works in the caller's rows alone: while the
// blocks are checked, one record per block sits at the end of the rows, and
// the rows of sound blocks, which never need the room the block headers and
// overlapping entries take, are written from the front.
#include "formats/texts/MessageTable.h"

#include "formats/bytes/LittleEndian.h"
#include "formats/bytes/TextWriter.h"

namespace {

const size_t kCountBytes = 4;
const size_t kBlockHeaderBytes = 12;
const size_t kEntryHeaderBytes = 4;
const uint32_t kLastEncoding = kMessageUtf8;
const uint32_t kUnsound = 0;
const uint32_t kSound = 1;
const uint32_t kOverlapping = 2;

// A block's record while the table is checked, kept in a MessageRow: the
// bytes its whole entries take, and whether it may be listed.
struct BlockRecord {
    static uint32_t Start(const MessageRow& r) { return r.textOffset; }
    static uint32_t End(const MessageRow& r) { return r.textOffset + r.textBytes; }
    // Sound blocks with entries claim bytes; only those that share none list.
    static bool Claims(const MessageRow& r) { return r.encoding != kUnsound && r.textBytes != 0; }
    static bool Lists(const MessageRow& r) { return r.encoding == kSound && r.textBytes != 0; }
};

typedef bool (*RowBefore)(const MessageRow& a, const MessageRow& b);

void SiftDown(MessageRow* rows, uint32_t root, uint32_t count, RowBefore before) {
    for (;;) {
        uint32_t child = root * 2 + 1;
        if (child >= count)
            return;
        if (child + 1 < count && before(rows[child], rows[child + 1]))
            ++child;
        if (!before(rows[root], rows[child]))
            return;
        const MessageRow held = rows[root];
        rows[root] = rows[child];
        rows[child] = held;
        root = child;
    }
}

// A heap sort: in place, no recursion, n log n whatever the table holds.
void SortRows(MessageRow* rows, uint32_t count, RowBefore before) {
    for (uint32_t i = count / 2; i > 0; --i)
        SiftDown(rows, i - 1, count, before);
    for (uint32_t last = count; last > 1; --last) {
        const MessageRow held = rows[0];
        rows[0] = rows[last - 1];
        rows[last - 1] = held;
        SiftDown(rows, 0, last - 1, before);
    }
}

bool StartsBefore(const MessageRow& a, const MessageRow& b) {
    return BlockRecord::Start(a) < BlockRecord::Start(b) ||
           (BlockRecord::Start(a) == BlockRecord::Start(b) && a.block < b.block);
}

bool IdBefore(const MessageRow& a, const MessageRow& b) {
    if (a.id != b.id)
        return a.id < b.id;
    if (a.table != b.table)
        return a.table < b.table;
    return a.block < b.block;
}

// Where the block's entries end: after the last one that fits whole, walking
// no more than ids entries. False when the walk would pass the cap.
bool EntriesEnd(const uint8_t* data, size_t size, size_t start, uint64_t ids, uint32_t* walked,
                size_t* end) {
    size_t at = start;
    for (uint64_t i = 0; i < ids; ++i) {
        uint16_t length = 0;
        if (!ReadU16(data, size, at, &length) || length < kEntryHeaderBytes ||
            !BytesInside(size, at, length)) {
            break;
        }
        if (*walked >= kMaxMessageEntries)
            return false;
        ++*walked;
        at += length;
    }
    *end = at;
    return true;
}

uint32_t TextBytes(const uint8_t* text, uint32_t room, uint32_t encoding) {
    uint32_t bytes = 0;
    if (encoding == kMessageUnicode) {
        while (bytes + 2 <= room && PeekU16(text + bytes) != 0)
            bytes += 2;
    } else {
        while (bytes < room && text[bytes] != 0)
            ++bytes;
    }
    return bytes;
}

// Writes the rows of the block whose entries lie at [start, end), from row
// place on; returns the row after the last.
uint32_t ListBlock(const uint8_t* data, size_t start, size_t end, uint32_t lowId, uint32_t table,
                   uint32_t block, MessageRow* rows, uint32_t place) {
    uint32_t id = lowId;
    for (size_t at = start; at < end; ++id) {
        const uint16_t length = PeekU16(data + at);
        const uint16_t flags = PeekU16(data + at + 2);
        if (flags <= kLastEncoding) {
            MessageRow& row = rows[place++];
            row.id = id;
            row.encoding = flags;
            row.textOffset = static_cast<uint32_t>(at + kEntryHeaderBytes);
            row.textBytes = TextBytes(data + at + kEntryHeaderBytes,
                                      static_cast<uint32_t>(length - kEntryHeaderBytes), flags);
            row.table = table;
            row.block = block;
        }
        at += length;
    }
    return place;
}

}  // namespace

uint32_t MessageRowsBound(size_t size) {
    const size_t bound = size / kEntryHeaderBytes;
    return bound < UINT32_MAX ? static_cast<uint32_t>(bound) : UINT32_MAX;
}

int ReadMessageTable(const uint8_t* data, size_t size, uint32_t table, MessageRow* rows,
                     uint32_t capacity, uint32_t* count) {
    *count = 0;
    uint32_t listed = 0;
    if (!ReadU32(data, size, 0, &listed))
        return -1;
    if (size > size_t{kMaxMessageEntries} * kEntryHeaderBytes || capacity < MessageRowsBound(size))
        return -2;
    const size_t fit = (size - kCountBytes) / kBlockHeaderBytes;
    const uint32_t blocks = listed < fit ? listed : static_cast<uint32_t>(fit);
    const size_t headersEnd = kCountBytes + size_t{blocks} * kBlockHeaderBytes;
    MessageRow* records = rows + (capacity - blocks);

    uint32_t walked = 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        const uint8_t* header = data + kCountBytes + size_t{i} * kBlockHeaderBytes;
        const uint32_t lowId = PeekU32(header);
        const uint32_t highId = PeekU32(header + 4);
        const uint32_t start = PeekU32(header + 8);
        MessageRow& record = records[i];
        record = MessageRow{};
        record.block = i;
        if (highId < lowId || start < headersEnd || start >= size)
            continue;
        size_t end = start;
        if (!EntriesEnd(data, size, start, uint64_t{highId - lowId} + 1, &walked, &end))
            return -2;
        record.textOffset = start;
        record.textBytes = static_cast<uint32_t>(end - start);
        record.encoding = kSound;
    }

    // In the order of their first byte, a block overlaps another when it
    // starts before an earlier one ends, or ends after the next one starts.
    SortRows(records, blocks, StartsBefore);
    uint64_t furthest = 0;
    uint32_t previous = blocks;
    for (uint32_t i = 0; i < blocks; ++i) {
        MessageRow& record = records[i];
        if (!BlockRecord::Claims(record))
            continue;
        if (BlockRecord::Start(record) < furthest)
            record.encoding = kOverlapping;
        if (previous < blocks && BlockRecord::End(records[previous]) > BlockRecord::Start(record))
            records[previous].encoding = kOverlapping;
        if (BlockRecord::End(record) > furthest)
            furthest = BlockRecord::End(record);
        previous = i;
    }

    uint32_t written = 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        const MessageRow record = records[i];
        if (!BlockRecord::Lists(record))
            continue;
        const uint32_t lowId =
            PeekU32(data + kCountBytes + size_t{record.block} * kBlockHeaderBytes);
        written = ListBlock(data, BlockRecord::Start(record), BlockRecord::End(record), lowId,
                            table, record.block, rows, written);
    }

    // One row per ID, from the first block that lists it.
    SortRows(rows, written, IdBefore);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < written; ++i) {
        if (kept > 0 && rows[kept - 1].id == rows[i].id)
            continue;
        rows[kept++] = rows[i];
    }
    *count = kept;
    return 0;
}

void SortMessageRows(MessageRow* rows, uint32_t count) {
    SortRows(rows, count, IdBefore);
}

void MessageIdText(uint32_t id, char* buffer, size_t capacity) {
    TextWriter writer = StartText(buffer, capacity);
    if (id <= 0xFFFF) {
        AppendDecimal(&writer, id);
        return;
    }
    char hex[10] = {'0', 'x'};
    for (int i = 0; i < 8; ++i)
        hex[2 + i] = "0123456789ABCDEF"[(id >> (28 - 4 * i)) & 0xF];
    AppendChars(&writer, hex, sizeof hex);
}

uint32_t MessageTextWithoutBreak(const uint8_t* text, uint32_t bytes, uint32_t encoding) {
    const uint32_t unit = encoding == kMessageUnicode ? 2 : 1;
    const auto last = [&](uint8_t c) {
        return bytes >= unit && text[bytes - unit] == c && (unit == 1 || text[bytes - 1] == 0);
    };
    if (!last('\n'))
        return bytes;
    bytes -= unit;
    if (last('\r'))
        bytes -= unit;
    return bytes;
}
