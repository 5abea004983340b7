// Any bytes as an icon or cursor group: count, read each entry, and write the
// look-up directory into a block of exactly the size it asks for, so that
// AddressSanitizer catches a write past it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/images/GroupDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t count = GroupEntryCount(data, size);
    if (count > kMaxGroupEntries)
        __builtin_trap();
    uint32_t sum = 0;
    GroupEntry entry;
    for (uint32_t i = 0; i <= count; ++i) {
        bool read = ReadGroupEntry(data, size, i, &entry);
        // Exactly the counted entries are readable.
        if (read != (i < count))
            __builtin_trap();
        if (read)
            sum += entry.imageBytes + entry.imageId;
    }
    for (int form = 0; form < 2; ++form) {
        std::vector<uint8_t> directory(LookupDirectoryBytes(count));
        WriteLookupDirectory(data, size, count, form != 0, directory.data());
        sum += directory[directory.size() - 1];
    }
    // A caller asking for more than the bytes hold still writes only its block.
    std::vector<uint8_t> more(LookupDirectoryBytes(count + 1));
    WriteLookupDirectory(data, size, count + 1, true, more.data());
    return static_cast<int>(sum & 0);
}
