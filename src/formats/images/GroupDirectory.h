// Icon and cursor group directories (RT_GROUP_ICON, RT_GROUP_CURSOR data):
// a 6-byte header with the entry count at 4, then 14-byte entries. Only entries
// that lie wholly inside the group's bytes are ever read.
#pragma once

#include <cstddef>
#include <cstdint>

const uint32_t kGroupHeaderBytes = 6;
const uint32_t kGroupEntryBytes = 14;
// No group lists more members than this, whatever its count says.
const uint32_t kMaxGroupEntries = 1024;

struct GroupEntry {
    uint32_t imageBytes;  // 32-bit at 8: the image's size as the directory gives it
    uint16_t imageId;     // 16-bit at 12: integer name of the RT_ICON / RT_CURSOR image
};

// Entries that lie wholly inside size bytes, at most the count at offset 4 and
// at most kMaxGroupEntries; 0 when size < 6.
uint32_t GroupEntryCount(const uint8_t* data, size_t size);

// Entry index; false when it does not lie wholly inside size bytes.
bool ReadGroupEntry(const uint8_t* data, size_t size, uint32_t index, GroupEntry* entry);

// Bytes of the directory that WriteLookupDirectory writes for count entries.
size_t LookupDirectoryBytes(uint32_t count);

// Writes a directory for the platform's image choice (LookupIconIdFromDirectoryEx)
// from the first count entries of a group (count <= GroupEntryCount): reserved
// 0, type 1 for icons or 2 for cursors, count, the entries as they are (a
// cursor entry's height counts the mask in 16-bit files as in 32-bit ones).
// dst holds LookupDirectoryBytes(count) bytes.
void WriteLookupDirectory(const uint8_t* data, size_t size, uint32_t count, bool cursor,
                          uint8_t* dst);
