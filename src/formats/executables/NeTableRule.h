// Where a 16-bit image's resource table may lie. The target check and the NE
// reader both ask this one question, so that every file that gets a page also
// gets its table read: a file the check accepts is never refused later.
#pragma once

#include <cstdint>

const uint32_t kNeHeaderBytes = 64;
const uint32_t kNeResourceTableField = 0x24;  // 16-bit, from the NE header

// True when the whole NE header at neHeaderOffset lies inside fileSize bytes,
// tableField (the header's 16-bit value at 0x24) names a table, and that
// table's alignment word lies inside too. A table of nothing more than its
// alignment word is an empty table. Sums in 64 bits: nothing can wrap.
inline bool NeResourceTableInFile(uint64_t fileSize, uint64_t neHeaderOffset, uint16_t tableField) {
    if (tableField == 0)
        return false;
    if (neHeaderOffset > fileSize || kNeHeaderBytes > fileSize - neHeaderOffset)
        return false;
    return uint64_t{tableField} + 2 <= fileSize - neHeaderOffset;
}
