#include "catalogue/GroupDirectory.h"

uint32_t GroupEntryCount(const uint8_t*, size_t) {
    return 0;
}

bool ReadGroupEntry(const uint8_t*, size_t, uint32_t, GroupEntry*) {
    return false;
}

size_t LookupDirectoryBytes(uint32_t count) {
    return kGroupHeaderBytes + size_t{count} * kGroupEntryBytes;
}

void WriteLookupDirectory(const uint8_t*, size_t, uint32_t, bool, bool, uint8_t*) {}
