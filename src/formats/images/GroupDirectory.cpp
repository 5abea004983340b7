// Group directories are read entry by entry from the resource's own bytes; a
// count that claims more than the bytes hold only shortens the group.
#include "formats/images/GroupDirectory.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"

namespace {

const size_t kCountOffset = 4;
const size_t kImageBytesOffset = 8;
const size_t kImageIdOffset = 12;
const uint16_t kIconType = 1;
const uint16_t kCursorType = 2;

}  // namespace

uint32_t GroupEntryCount(const uint8_t* data, size_t size) {
    uint16_t count = 0;
    if (size < kGroupHeaderBytes || !ReadU16(data, size, kCountOffset, &count))
        return 0;
    size_t inside = (size - kGroupHeaderBytes) / kGroupEntryBytes;
    uint32_t entries = count;
    if (entries > inside)
        entries = static_cast<uint32_t>(inside);
    if (entries > kMaxGroupEntries)
        entries = kMaxGroupEntries;
    return entries;
}

bool ReadGroupEntry(const uint8_t* data, size_t size, uint32_t index, GroupEntry* entry) {
    if (index >= GroupEntryCount(data, size))
        return false;
    size_t at = kGroupHeaderBytes + size_t{index} * kGroupEntryBytes;
    entry->imageBytes = PeekU32(data + at + kImageBytesOffset);
    entry->imageId = PeekU16(data + at + kImageIdOffset);
    return true;
}

size_t LookupDirectoryBytes(uint32_t count) {
    return kGroupHeaderBytes + size_t{count} * kGroupEntryBytes;
}

void WriteLookupDirectory(const uint8_t* data, size_t size, uint32_t count, bool cursor,
                          uint8_t* dst) {
    // A caller's count above what the bytes hold writes only the entries that
    // exist, and says so in the count field.
    uint32_t available = GroupEntryCount(data, size);
    if (count > available)
        count = available;
    PokeU16(dst, 0);
    PokeU16(dst + 2, cursor ? kCursorType : kIconType);
    PokeU16(dst + kCountOffset, static_cast<uint16_t>(count));
    const size_t entryBytes = size_t{count} * kGroupEntryBytes;
    memcpy(dst + kGroupHeaderBytes, data + kGroupHeaderBytes, entryBytes);
}
