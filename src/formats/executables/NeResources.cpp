// The NE resource walk over bytes in memory. Positions are file offsets in
// size_t or 64-bit arithmetic; each is tested with BytesInside before any read,
// so a hostile table can end the walk but never move it outside [base, end).
#include "formats/executables/NeResources.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/NeTableRule.h"

namespace {

const size_t kLfanewOffset = 0x3C;
const uint16_t kNeSignature = 0x454E;
const size_t kTypeEntrySize = 8;
const size_t kResourceEntrySize = 12;
const uint16_t kIntegerIdFlag = 0x8000;
// Shifts above 31 would be undefined for the original 32-bit arithmetic; only
// the low five bits ever took effect.
const uint16_t kShiftMask = 0x1F;

// Copies the length-prefixed name at tableOffset + nameOffset into buffer
// (256 bytes, always terminated). False when the length byte or the last
// character lies outside.
bool CopyTableName(const uint8_t* base, size_t size, size_t tableOffset, uint16_t nameOffset,
                   char (&buffer)[256]) {
    if (nameOffset > size || tableOffset > size - nameOffset)
        return false;
    size_t at = tableOffset + nameOffset;
    uint8_t length = 0;
    if (!ReadU8(base, size, at, &length))
        return false;
    if (!BytesInside(size, at + 1, length))
        return false;
    memcpy(buffer, base + at + 1, length);
    buffer[length] = '\0';
    return true;
}

bool TypeMatches(const uint8_t* base, size_t size, size_t tableOffset, uint16_t typeId,
                 ResName wanted, char (&buffer)[256]) {
    if (IsIntResName(wanted)) {
        return typeId == static_cast<uint16_t>(ResNameId(wanted) | kIntegerIdFlag);
    }
    if (typeId & kIntegerIdFlag)
        return false;
    if (!CopyTableName(base, size, tableOffset, typeId, buffer))
        return false;
    return strcmp(buffer, wanted) == 0;
}

}  // namespace

bool LocateNeResourceTable(const uint8_t* base, size_t size, MappedNeImage* image) {
    // A file of no more than an MZ header cannot also hold an NE header.
    if (size <= kNeHeaderBytes)
        return false;
    uint32_t lfanew = 0;
    if (!ReadU32(base, size, kLfanewOffset, &lfanew))
        return false;
    if (!BytesInside(size, lfanew, kNeHeaderBytes))
        return false;
    if (PeekU16(base + lfanew) != kNeSignature)
        return false;
    uint16_t tableField = PeekU16(base + lfanew + kNeResourceTableField);
    // The target check's rule: a file that got a page has its table read, even
    // one that is no more than the alignment word at the end of the file.
    if (!NeResourceTableInFile(size, lfanew, tableField))
        return false;
    image->base = base;
    image->end = base + size;
    image->resourceTable = base + lfanew + tableField;
    return true;
}

void EnumNeResources(const MappedNeImage& image, ResName type, NeResourceCallback callback,
                     void* user) {
    const uint8_t* base = image.base;
    if (base == nullptr || image.end < base || image.resourceTable < base)
        return;
    size_t size = static_cast<size_t>(image.end - base);
    size_t tableOffset = static_cast<size_t>(image.resourceTable - base);
    uint16_t shiftWord = 0;
    if (!ReadU16(base, size, tableOffset, &shiftWord))
        return;
    unsigned shift = shiftWord & kShiftMask;
    char buffer[256];

    size_t entry = tableOffset + 2;
    uint16_t count = 0;
    for (;;) {
        if (!BytesInside(size, entry, kTypeEntrySize))
            return;
        uint16_t typeId = PeekU16(base + entry);
        if (typeId == 0)
            return;
        count = PeekU16(base + entry + 2);
        if (TypeMatches(base, size, tableOffset, typeId, type, buffer))
            break;
        size_t skip = kTypeEntrySize + kResourceEntrySize * size_t{count};
        if (skip > size - entry)
            return;
        entry += skip;
    }

    // Entries past the end of the bytes end the walk: walk only those inside.
    entry += kTypeEntrySize;
    size_t inside = entry <= size ? (size - entry) / kResourceEntrySize : 0;
    if (inside > count)
        inside = count;
    for (const uint8_t* at = base + entry; inside > 0; --inside, at += kResourceEntrySize) {
        uint64_t offset = uint64_t{PeekU16(at)} << shift;
        uint64_t length = uint64_t{PeekU16(at + 2)} << shift;
        uint16_t id = PeekU16(at + 6);
        ResName name;
        if (id & kIntegerIdFlag) {
            name = MakeIntResName(static_cast<uint16_t>(id & ~kIntegerIdFlag));
        } else {
            if (!CopyTableName(base, size, tableOffset, id, buffer))
                return;
            name = buffer;
        }
        if (offset > size || length > size - offset || length > UINT32_MAX)
            return;
        if (!callback(name, base + offset, static_cast<uint32_t>(length), user))
            return;
    }
}

int FindNamedResource(ResName name, const uint8_t* data, uint32_t size, void* user) {
    ResourceLookup* lookup = static_cast<ResourceLookup*>(user);
    bool match;
    if (!IsIntResName(name)) {
        match = !IsIntResName(lookup->wantedName) && strcmp(name, lookup->wantedName) == 0;
    } else {
        match =
            IsIntResName(lookup->wantedName) && ResNameId(name) == ResNameId(lookup->wantedName);
    }
    if (!match)
        return 1;
    lookup->foundData = data;
    lookup->foundSize = size;
    return 0;
}
